#pragma once

#include "preset/presettypes.h"

#include <QString>
#include <cstdint>
#include <optional>

// How the preset editor's grid cells read and write the preset tables.

inline constexpr int kTpColumnFrequency = 1;
inline constexpr int kTpColumnSymbolRate = 2;
inline constexpr int kTpColumnFec = 3;
inline constexpr int kTpColumnPolarization = 4;

// The text of transponder grid row (1 to 512) and column (1 to 4) for entry row-1 of list; no value past the
// list's end (the first frequency 0).
[[nodiscard]] std::optional<QString> TransponderCellText(const TpList& list, int row, int column);

// What a cell takes from the keyboard or a paste: the text to store (a list entry in its full form, a
// number without blanks) or, when refused, nothing and the reason for the status line. An empty text is
// always taken: it blanks the cell.
struct CellVerdict {
    QString text;
    QString refusal;
};
[[nodiscard]] CellVerdict AdmitTransponderText(int column, const QString& text);
[[nodiscard]] CellVerdict AdmitLnbText(const QString& text);

// The FEC (column 3) or polarization (column 4) code of a cell text, letter case ignored: an entry, the one
// entry the text begins, or for polarization the whole words Horizontal and Vertical. Anything else (an
// empty cell) counts as automatic.
[[nodiscard]] std::uint8_t CellTextToCode(const QString& text, int column);

// A cell's whole number from 0 to 65535, blanks around it allowed; an empty cell is 0.
[[nodiscard]] std::optional<std::uint16_t> CellNumber(const QString& text);

// A slot's name as stored (Latin-1, up to its NUL).
[[nodiscard]] QString SatelliteName(const pre_sat_t& sat);
// Stores a name of at most 13 characters; a longer text is refused and the old name kept.
bool StoreSatelliteName(const QString& text, pre_sat_t& sat);

// The LNB Type cell of a named slot: "Universal", or a Standard LNB's oscillator in decimal.
[[nodiscard]] QString LnbCellText(const pre_lnb_t& lnb);
// A number is a Standard LNB's oscillator; anything else means Universal (10600 and 9750 for an LNB that
// was Standard).
void StoreLnbText(const QString& text, pre_lnb_t& lnb);
