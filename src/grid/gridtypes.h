#pragma once

#include <QEvent>
#include <QFont>
#include <QString>
#include <cstdint>

// Cell positions, blocks and the item exchange record shared by the grid, its in-place
// editors and the grids derived from it.

struct GridPos {
    int row = -1;
    int column = -1;

    friend bool operator==(const GridPos&, const GridPos&) = default;
};

struct GridBlock {
    int minRow = -1;
    int minColumn = -1;
    int maxRow = -1;
    int maxColumn = -1;

    [[nodiscard]] bool Contains(int row, int column) const
    {
        return row >= minRow && row <= maxRow && column >= minColumn && column <= maxColumn;
    }
    friend bool operator==(const GridBlock&, const GridBlock&) = default;
};

// Colours are QRgb values; this one, which no real cell colour uses, stands for "the grid's
// colour for this kind of cell".
inline constexpr std::uint32_t kGridDefaultColor = 0x00000000u;

enum GridCellState : std::uint32_t {
    GVIS_FOCUSED = 0x01,
    GVIS_SELECTED = 0x02,
    GVIS_DROPHILITED = 0x04,
    GVIS_READONLY = 0x08,
    GVIS_MODIFIED = 0x20,
};

enum GridItemMask : unsigned {
    GVIF_TEXT = 0x01,
    GVIF_IMAGE = 0x02,
    GVIF_PARAM = 0x04,
    GVIF_STATE = 0x08,
    GVIF_BKCLR = 0x10,
    GVIF_FGCLR = 0x20,
    GVIF_FORMAT = 0x40,
    GVIF_FONT = 0x80,
};

// Text layout flags of a cell, with the values owners already store in their data.
enum GridTextFormat : std::uint32_t {
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_NOPREFIX = 0x800,
    DT_END_ELLIPSIS = 0x8000,
};

enum GridLines : int { GVL_NONE = 0, GVL_HORZ = 1, GVL_VERT = 2, GVL_BOTH = 3 };

enum GridNotifyCode : int {
    GVN_SELCHANGING = -100,
    GVN_SELCHANGED = -101,
    GVN_BEGINLABELEDIT = -105,
    GVN_ENDLABELEDIT = -106,
    GVN_BEGINDRAG = -109,
};

// Keys as the grid and its editors exchange them: typed characters are their code points;
// the navigation keys sit above the Unicode range so that a typed "$" or "(" is never taken
// for a navigation key.
enum GridKey : unsigned {
    GK_MOUSE = 1,
    GK_BACK = 8,
    GK_TAB = 9,
    GK_RETURN = 13,
    GK_ESCAPE = 27,
    GK_SPACE = 32,
    GK_NAV = 0x110000,
    GK_PRIOR = GK_NAV + 33,
    GK_NEXT = GK_NAV + 34,
    GK_END = GK_NAV + 35,
    GK_HOME = GK_NAV + 36,
    GK_LEFT = GK_NAV + 37,
    GK_UP = GK_NAV + 38,
    GK_RIGHT = GK_NAV + 39,
    GK_DOWN = GK_NAV + 40,
    GK_DELETE = GK_NAV + 46,
};

[[nodiscard]] inline bool IsGridNavKey(unsigned key)
{
    return key >= GK_PRIOR && key <= GK_DOWN;
}

// Sent by the grid to itself after the user moves the current cell; an event filter on the
// grid is how an owner hooks it.
inline constexpr QEvent::Type WM_GRID_SELCHANGED = static_cast<QEvent::Type>(QEvent::User + 2);

inline constexpr int kInPlaceControlId = 8;

struct GridItemInfo {
    int row = 0;
    int column = 0;
    unsigned mask = 0;
    std::uint32_t state = 0;
    std::uint32_t format = 0;
    QString text;
    int image = -1;
    std::uint32_t backColor = kGridDefaultColor;
    std::uint32_t textColor = kGridDefaultColor;
    std::uint32_t param = 0;
    QFont font;
};

// What an in-place editor hands back when it closes: the cell, the final text (mask text and
// user value) and, as user value, the key that ended the edit (0 when the focus went elsewhere).
struct GridEditNotify {
    int controlId = kInPlaceControlId;
    int code = GVN_ENDLABELEDIT;
    GridItemInfo item;
    Qt::KeyboardModifiers modifiers;
};
