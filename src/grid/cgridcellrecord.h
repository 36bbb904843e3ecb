#pragma once

#include "grid/gridtypes.h"

#include <QString>
#include <cstdint>
#include <vector>

// One cell. Cells are stored by value, row by row, so a 513 x 5 grid is a handful of
// allocations; the font is an index into the grid's small table of distinct fonts.
struct CGridCellRecord {
    std::uint32_t state = 0;
    std::uint32_t format = 0;
    QString text;
    int image = -1;
    std::uint32_t backColor = kGridDefaultColor;
    std::uint32_t textColor = kGridDefaultColor;
    std::uint16_t font = 0;
    std::uint32_t param = 0;
};

using CGridRowArray = std::vector<CGridCellRecord>;
