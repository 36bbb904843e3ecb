#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>

class CSatelliteCatalog;
class QString;
struct TpBuildState;

// Receives the status-line texts of a conversion ("Create File \"...\"").
using TpStatusSink = std::function<void(const QString& text)>;

inline constexpr int kSatcoDxLineLimit = 999;

// The fields of a SatcoDX T/R line that the conversion uses.
struct SatcoDxRecord {
    int freq = 0;
    long long symbolRate = 0;
    long long field12 = 0;
    const char* polarName = "POL_Auto";
};

// Reads one line of at most kSatcoDxLineLimit characters into buffer (zero-terminated), without its
// line end; CR LF counts as one line end. A longer line is cut and its rest comes as the next line.
// Returns the length, or -1 when the file has nothing more.
[[nodiscard]] int ReadSatcoDxLine(std::FILE* in, char (&buffer)[kSatcoDxLineLimit + 1]);

// False for lines that are no transponder record: not starting with T or R, fewer than 13 fields,
// a frequency that is not a number of 1 to 65535 MHz, or a symbol rate below 0 or above 65535.
[[nodiscard]] bool ParseSatcoDxLine(const char* line, std::size_t length, SatcoDxRecord& record);

// One pass over an open SatcoDX file (positioned after its heading) for band 'C' or 'K': writes the
// band's transponder lines to out, numbered from 1, and returns how many it wrote, or -1 when writing
// failed. A line cut off by the end of the file is not converted. state.lastFreq goes on from the
// previous pass, file or run.
int ConvertSatcoDxPass(std::FILE* in, std::FILE* out, char band, int listIndex, TpBuildState& state);

// Converts the SatcoDX file of every row of the selection table into the lists TP_List/PPPP_C.tp and
// TP_List/PPPP_K.tp (making TP_List when it is missing) and registers every list that got a
// transponder. A failure is shown as a message box and changes no file and nothing of state; the
// result names the file or folder that failed and why, and is empty for a complete run.
[[nodiscard]] QString ConvertSatcoDxFiles(
    const CSatelliteCatalog& catalog, TpBuildState& state, const TpStatusSink& status);
