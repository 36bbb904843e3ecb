#pragma once

#include "grid/cgridctrl.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <tuple>
#include <vector>

// Records the grid's notifications and the selection-change events it sends itself.
class GridLog : public QObject {
public:
    explicit GridLog(CGridCtrl& grid)
    {
        grid.installEventFilter(this);
        connect(&grid, &CGridCtrl::gridNotify, this,
            [this](int code, int row, int column) { notes.emplace_back(code, row, column); });
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == WM_GRID_SELCHANGED)
            ++selChanged;
        return false;
    }

    [[nodiscard]] int Count(int code) const
    {
        int n = 0;
        for (const auto& note : notes)
            n += std::get<0>(note) == code ? 1 : 0;
        return n;
    }

    void Clear()
    {
        notes.clear();
        selChanged = 0;
    }

    std::vector<std::tuple<int, int, int>> notes;
    int selChanged = 0;
};

// A grid with uniform sizes, every cell holding "r,c", its viewport exactly the widget.
inline void SetUpGrid(CGridCtrl& grid, int rows, int columns, int fixedRows = 1, int fixedColumns = 1,
    int rowHeight = 20, int columnWidth = 60)
{
    grid.setFrameShape(QFrame::NoFrame);
    grid.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid.SetRows(rows);
    grid.SetColumns(columns);
    grid.SetFixedRows(fixedRows);
    grid.SetFixedColumns(fixedColumns);
    for (int r = 0; r < rows; ++r) {
        grid.SetRowHeightAt(r, rowHeight);
        for (int c = 0; c < columns; ++c)
            grid.SetCellText(r, c, QStringLiteral("%1,%2").arg(r).arg(c));
    }
    for (int c = 0; c < columns; ++c)
        grid.SetColumnWidthAt(c, columnWidth);
}

[[nodiscard]] inline bool ShowGrid(CGridCtrl& grid, QSize size)
{
    grid.resize(size);
    grid.show();
    grid.activateWindow();
    grid.setFocus();
    grid.RecalcScrollBars();
    return QTest::qWaitForWindowActive(&grid);
}

// The grid most tests use: 6 x 4 cells with one heading row and column, all of it in view.
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

inline void HoverTo(CGridCtrl& grid, QPoint point)
{
    QMouseEvent move(
        QEvent::MouseMove, point, grid.viewport()->mapToGlobal(point), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &move);
}

inline void DragTo(CGridCtrl& grid, QPoint point)
{
    QMouseEvent move(
        QEvent::MouseMove, point, grid.viewport()->mapToGlobal(point), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &move);
}
