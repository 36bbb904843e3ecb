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

// The text of transponder grid row (1 to 512) and column (1 to 4) for entry row-1 of list; no value for a
// frequency or symbol rate of 0, where the shown list ends.
[[nodiscard]] std::optional<QString> TransponderCellText(const TpList& list, int row, int column);

// The FEC (column 3) or polarization (column 4) code of a cell text, letter case ignored; unknown texts
// count as automatic.
[[nodiscard]] std::uint8_t CellTextToCode(const QString& text, int column);

// The cell's leading decimal number (leading blanks and one sign allowed, 0 without one), low 16 bits.
[[nodiscard]] std::uint16_t CellNumber(const QString& text);

// A slot's name as stored (Latin-1, up to its NUL).
[[nodiscard]] QString SatelliteName(const pre_sat_t& sat);
// Stores a name of at most 13 characters; a longer text is refused and the old name kept.
bool StoreSatelliteName(const QString& text, pre_sat_t& sat);

// The LNB Type cell of a named slot: "Universal", or a Standard LNB's oscillator in decimal.
[[nodiscard]] QString LnbCellText(const pre_lnb_t& lnb);
// A text of 4 or 5 characters is a Standard LNB's oscillator; anything else means Universal.
void StoreLnbText(const QString& text, pre_lnb_t& lnb);
