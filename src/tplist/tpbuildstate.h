#pragma once

#include <array>

inline constexpr int kMaxSelectedSats = 310;
inline constexpr int kMaxTpLists = 310;

// Texts are fixed buffers: the longest is a source path such as "SatcoDx9/3592.txt".
struct SelectedSat {
    char sourcePath[32] {};
    char posText[8] {};
    char shortName[16] {};
};

struct TpListRecord {
    char sourcePath[32] {};
    char band[2] {};
    char satName[16] {};
    char includeName[16] {};
};

// What "List File" builds: the selection, the lists of the last conversion and its totals.
// The list table keeps rows beyond listCount from earlier runs; only rows below listCount count.
struct TpBuildState {
    int lastFreq = 0;
    int symbolRate = 0;
    const char* polarName = "POL_Auto";
    std::array<SelectedSat, kMaxSelectedSats> selected {};
    std::array<TpListRecord, kMaxTpLists> lists {};
    int tpCount = 0;
    int listCount = 0;
    int selectedCount = 0;
};
