// The current cell, the selection and sorting.
#include "grid/cgridaccessible.h"
#include "grid/cgridctrl.h"
#include "grid/gridinternal.h"

#include <QGuiApplication>
#include <algorithm>

using namespace gridimpl;

// ---------------------------------------------------------------- selection

GridPos CGridCtrl::SetCurrentCell(int row, int column)
{
    const GridPos old = m_currentCell;
    const GridPos next { row, column };
    if (next == old)
        return old;
    m_currentCell = next;
    if (IsValid(old)) {
        NotifyParent(old.row, old.column, GVN_SELCHANGING);
        SetCellState(old.row, old.column, CellState(old.row, old.column) & ~std::uint32_t(GVIS_FOCUSED));
        RedrawOneCell(old.row, old.column);
        RedrawFixedOf(old.row, old.column, old.row != row, old.column != column);
    }
    if (IsValid(next)) {
        SetCellState(row, column, CellState(row, column) | GVIS_FOCUSED);
        RedrawOneCell(row, column);
        RedrawFixedOf(row, column, old.row != row, old.column != column);
        NotifyParent(row, column, GVN_SELCHANGED);
        NotifyGridCurrentCell(*this);
    }
    return old;
}

void CGridCtrl::SelectBlock(int minRow, int minColumn, int maxRow, int maxColumn, bool)
{
    if (!m_bEnableSelection)
        return;
    const GridBlock block { minRow, minColumn, maxRow, maxColumn };
    const bool valid = IsValid(block);
    const QSet<qint64> before = m_selected;
    for (const qint64 key : before) {
        const int r = KeyRow(key);
        const int c = KeyColumn(key);
        SetCellState(r, c, CellState(r, c) & ~std::uint32_t(GVIS_SELECTED));
        if (!valid || !block.Contains(r, c))
            RedrawOneCell(r, c);
    }
    if (!m_bSingleRowSelection) {
        for (const qint64 key : std::as_const(m_kept)) {
            const int r = KeyRow(key);
            const int c = KeyColumn(key);
            if (SetCellState(r, c, CellState(r, c) | GVIS_SELECTED))
                RedrawOneCell(r, c);
        }
    }
    if (!valid)
        return;
    for (int r = minRow; r <= maxRow; ++r)
        for (int c = minColumn; c <= maxColumn; ++c) {
            const std::uint32_t state = CellState(r, c);
            if (!(state & GVIS_SELECTED)) {
                SetCellState(r, c, state | GVIS_SELECTED);
                RedrawOneCell(r, c);
            }
        }
}

void CGridCtrl::ClearSelection()
{
    SelectBlock(-1, -1, -1, -1, false);
    SetCurrentCell(-1, -1);
}

GridBlock CGridCtrl::SelectedBlock() const
{
    GridBlock block { m_nRows, m_nColumns, -1, -1 };
    for (const qint64 key : m_selected) {
        block.minRow = std::min(block.minRow, KeyRow(key));
        block.minColumn = std::min(block.minColumn, KeyColumn(key));
        block.maxRow = std::max(block.maxRow, KeyRow(key));
        block.maxColumn = std::max(block.maxColumn, KeyColumn(key));
    }
    return block;
}

void CGridCtrl::SelectEveryCell()
{
    if (!m_bEnableSelection)
        return;
    SelectBlock(m_nFixedRows, m_nFixedColumns, m_nRows - 1, m_nColumns - 1, false);
}

void CGridCtrl::SelectAllCommand()
{
    SelectEveryCell();
}

void CGridCtrl::SelectColumnsTo(const GridPos& pos)
{
    if (!m_bEnableSelection || !IsValid(pos) || pos.column < m_nFixedColumns)
        return;
    const int from = m_selectionStartCell.column;
    SelectBlock(m_nFixedRows, std::min(from, pos.column), m_nRows - 1, std::max(from, pos.column), false);
}

void CGridCtrl::SelectRowsTo(const GridPos& pos)
{
    if (!m_bEnableSelection || !IsValid(pos) || pos.row < m_nFixedRows)
        return;
    if (m_bListMode && m_bSingleRowSelection) {
        SelectBlock(pos.row, m_nFixedColumns, pos.row, m_nColumns - 1, false);
        return;
    }
    const int from = m_selectionStartCell.row;
    SelectBlock(std::min(from, pos.row), m_nFixedColumns, std::max(from, pos.row), m_nColumns - 1, false);
}

void CGridCtrl::SelectCellsTo(const GridPos& pos)
{
    if (!m_bEnableSelection || !IsValid(pos) || pos.row < m_nFixedRows || pos.column < m_nFixedColumns)
        return;
    const GridPos& from = m_selectionStartCell;
    SelectBlock(std::min(from.row, pos.row), std::min(from.column, pos.column), std::max(from.row, pos.row),
        std::max(from.column, pos.column), false);
}

void CGridCtrl::ExtendSelection(const GridPos& pos)
{
    switch (m_nMouseMode) {
    case MOUSE_SELECT_ALL:
        SelectEveryCell();
        break;
    case MOUSE_SELECT_COL:
        SelectColumnsTo(pos);
        break;
    case MOUSE_SELECT_ROW:
        SelectRowsTo(pos);
        break;
    case MOUSE_SELECT_CELLS:
        SelectCellsTo(pos);
        break;
    default:
        break;
    }
}

void CGridCtrl::FixedRowClicked(const GridPos& pos)
{
    if (!IsValid(pos))
        return;
    if (!m_bListMode) {
        m_nMouseMode = pos.column < m_nFixedColumns ? MOUSE_SELECT_ALL : MOUSE_SELECT_COL;
        ExtendSelection(pos);
    } else if (m_bSortOnClick) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        if (pos.column != m_nSortColumn) {
            m_bSortAscending = true;
            m_nSortColumn = pos.column;
        } else {
            m_bSortAscending = !m_bSortAscending;
        }
        SortByColumn(pos.column, m_bSortAscending);
        QGuiApplication::restoreOverrideCursor();
    }
}

void CGridCtrl::FixedColumnClicked(const GridPos& pos)
{
    if (!IsValid(pos))
        return;
    m_nMouseMode = pos.row < m_nFixedRows ? MOUSE_SELECT_ALL : MOUSE_SELECT_ROW;
    ExtendSelection(pos);
}

void CGridCtrl::SwapRows(int a, int b)
{
    std::swap(m_rows[static_cast<size_t>(a)], m_rows[static_cast<size_t>(b)]);
    std::swap(m_rowHeights[static_cast<size_t>(a)], m_rowHeights[static_cast<size_t>(b)]);
}

bool CGridCtrl::SortRowsByColumn(int column, bool ascending, int low, int high)
{
    if (column < 0 || column >= m_nColumns || low < 0)
        return false;
    if (high == -1)
        high = m_nRows - 1;
    if (high <= low || high >= m_nRows)
        return false;
    auto text = [this, column](int row) -> const QString& {
        return m_rows[static_cast<size_t>(row)][static_cast<size_t>(column)].text;
    };
    const QString pivot = text((low + high) / 2);
    int i = low;
    int j = high;
    while (i <= j) {
        if (ascending) {
            while (i < high && text(i) < pivot)
                ++i;
            while (j > low && text(j) > pivot)
                --j;
        } else {
            while (i < high && text(i) > pivot)
                ++i;
            while (j > low && text(j) < pivot)
                --j;
        }
        if (i <= j) {
            if (text(i) != text(j))
                SwapRows(i, j);
            ++i;
            --j;
        }
    }
    if (low < j)
        SortRowsByColumn(column, ascending, low, j);
    if (i < high)
        SortRowsByColumn(column, ascending, i, high);
    if (!m_selected.isEmpty()) {
        // Selected flags travel with their cells; the set follows them.
        m_selected.clear();
        for (int r = 0; r < m_nRows; ++r)
            for (int c = 0; c < m_nColumns; ++c)
                if (m_rows[static_cast<size_t>(r)][static_cast<size_t>(c)].state & GVIS_SELECTED)
                    m_selected.insert(CellKey(r, c));
    }
    return true;
}

void CGridCtrl::SortByColumn(int column, bool ascending)
{
    ClearSelection();
    SetCurrentCell(-1, -1);
    SortRowsByColumn(column, ascending, m_nFixedRows, -1);
    viewport()->update();
}
