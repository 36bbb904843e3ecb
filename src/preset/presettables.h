#pragma once

#include "preset/presettypes.h"

// The one copy of the preset data, alive for the whole run; only the GUI thread touches it.
extern LnbTable g_LnbTable;
extern SatTable g_SatTable;
extern TpTable g_TpTable;

// Puts the three tables back to their content at program start.
void ResetPresetTables();

// Copies satellite sat's transponders, in table order, into the zero-filled start of list.
void GetSatTransponders(std::uint8_t sat, TpList& list);

// Replaces satellite sat's transponders by the entries of list before its first zero frequency, keeping the
// table grouped by satellite. Over 512 transponders in all it shows "ERROR  TOTAL TRANSPONDER", leaves the
// table as it was and returns false.
bool ReplaceSatTransponders(const TpList& list, std::uint8_t sat);

// Number of leading entries whose frequency is not 0.
[[nodiscard]] int CountTransponders(const TpTable& table);
// Number of leading slots with a name.
[[nodiscard]] int CountNamedSatellites(const SatTable& table);
