#pragma once

#include "grid/cgridctrl.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <algorithm>
#include <tuple>
#include <vector>

using Note = std::tuple<int, int, int>;

// Records the grid's notifications and the selection-change events it sends itself.
class GridLog : public QObject {
public:
    explicit GridLog(CGridCtrl& grid)
    {
        grid.installEventFilter(this);
        connect(&grid, &CGridCtrl::gridNotify, this, [this](int n, int r, int c) { notes.emplace_back(n, r, c); });
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        selChanged += event->type() == WM_GRID_SELCHANGED ? 1 : 0;
        return false;
    }
    [[nodiscard]] int Count(int code) const
    {
        return int(std::count_if(notes.begin(), notes.end(), [code](const Note& n) { return std::get<0>(n) == code; }));
    }
    std::vector<Note> notes;
    int selChanged = 0;
};

// A grid of 60 x 20 cells, one heading row and column, every cell holding "r,c", its viewport exactly the
// widget (no frame, no visible scroll bars).
inline void SetUpGrid(CGridCtrl& grid, int rows, int columns)
{
    grid.setFrameShape(QFrame::NoFrame);
    grid.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid.SetRows(rows);
    grid.SetColumns(columns);
    grid.SetFixedRows(1);
    grid.SetFixedColumns(1);
    for (int r = 0; r < rows; ++r) {
        grid.SetRowHeightAt(r, 20);
        for (int c = 0; c < columns; ++c)
            grid.SetCellText(r, c, QStringLiteral("%1,%2").arg(r).arg(c));
    }
    for (int c = 0; c < columns; ++c)
        grid.SetColumnWidthAt(c, 60);
}

[[nodiscard]] inline bool ShowGrid(CGridCtrl& grid, QSize size = { 240, 200 })
{
    grid.resize(size);
    grid.show();
    grid.activateWindow();
    grid.setFocus();
    grid.RecalcScrollBars();
    return QTest::qWaitForWindowActive(&grid);
}

// 6 x 4 cells by default, all of them in view.
[[nodiscard]] inline bool ShowStandardGrid(CGridCtrl& grid, int rows = 6, int columns = 4, QSize size = { 240, 200 })
{
    SetUpGrid(grid, rows, columns);
    return ShowGrid(grid, size);
}

[[nodiscard]] inline QPoint Centre(const CGridCtrl& grid, int row, int column)
{
    QRect rect;
    return grid.CellRect(row, column, rect) ? rect.center() : QPoint(-1, -1);
}

inline void Click(CGridCtrl& grid, int row, int column, Qt::KeyboardModifiers modifiers = {})
{
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, modifiers, Centre(grid, row, column));
}

// A mouse move, hovering or (with the left button) dragging.
inline void MoveTo(CGridCtrl& grid, QPoint point, Qt::MouseButtons buttons = Qt::NoButton)
{
    QMouseEvent move(QEvent::MouseMove, point, grid.viewport()->mapToGlobal(point), Qt::NoButton, buttons, {});
    QApplication::sendEvent(grid.viewport(), &move);
}
