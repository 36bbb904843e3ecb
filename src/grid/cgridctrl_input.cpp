// Keys and the mouse: moving the current cell, selecting, sizing by the mouse.
#include "grid/cgridctrl.h"
#include "grid/gridinplace.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>
#include <optional>

namespace {

unsigned GridKeyOf(const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return GK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return GK_RETURN;
    case Qt::Key_Escape:
        return GK_ESCAPE;
    case Qt::Key_Backspace:
        return GK_BACK;
    case Qt::Key_Delete:
        return GK_DELETE;
    default:
        break;
    }
    if (event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z)
        return static_cast<unsigned>(event.key());
    return GridNavKeyOf(event.key());
}

} // namespace

// ---------------------------------------------------------------- keyboard

bool CGridCtrl::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && m_bHandleTabKey
            && !(key->modifiers() & Qt::ControlModifier)) {
            keyPressEvent(key);
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void CGridCtrl::keyPressEvent(QKeyEvent* event)
{
    const EditBatch batch(*this);
    HideTitleTip();
    // A grid has nothing of its own to cancel: Escape is its window's.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->ignore();
        return;
    }
    Qt::KeyboardModifiers modifiers = event->modifiers();
    if (event->key() == Qt::Key_Backtab)
        modifiers |= Qt::ShiftModifier;
    if (const unsigned key = GridKeyOf(*event))
        OnKeyDown(key, modifiers);
    const QString text = event->text();
    // Alt combinations are the dialog's mnemonics, never typing.
    if (!text.isEmpty() && !(modifiers & Qt::AltModifier)) {
        const char16_t ch = text.at(0).unicode();
        if ((ch >= 32 && ch != 127) || ch == GK_BACK)
            OnChar(ch, modifiers);
    }
    event->accept();
}

void CGridCtrl::OnKeyDown(unsigned key, Qt::KeyboardModifiers modifiers)
{
    if (!IsValid(m_currentCell))
        return;
    if (modifiers & Qt::ControlModifier)
        RunClipboardKey(key);
    if (key == GK_RETURN || key == GK_DELETE) {
        EditKey(key);
        return;
    }
    const bool shift = modifiers & Qt::ShiftModifier;
    bool changeLine = false;
    const std::optional<GridPos> next = NavigationTarget(key, shift, changeLine);
    if (next && *next != m_currentCell)
        MoveCurrentCell(*next, key, shift, changeLine);
}

void CGridCtrl::RunClipboardKey(unsigned key)
{
    switch (key) {
    case 'A':
        SelectAllCommand();
        break;
    case 'C':
        CopyCommand();
        break;
    case 'V':
        PasteCommand();
        break;
    case 'X':
        CutCommand();
        break;
    default:
        break;
    }
}

// Return writes the column's Enter text or opens the editor; Delete empties an editable cell.
void CGridCtrl::EditKey(unsigned key)
{
    const GridPos at = m_currentCell;
    if (key == GK_RETURN) {
        if (const QString text = EnterText(at.column); !text.isEmpty()) {
            NotifyParent(at.row, at.column, GVN_BEGINLABELEDIT);
            SetCellText(at.row, at.column, text);
            NotifyParent(at.row, at.column, GVN_ENDLABELEDIT);
            // Shown at the next paint, so the new text is never left stale on screen.
            InvalidateOneCell(at);
        } else {
            EditCellAt(at.row, at.column, GK_RETURN);
        }
        return;
    }
    if (CanEditCell(at.row, at.column)) {
        NotifyParent(at.row, at.column, GVN_BEGINLABELEDIT);
        SetCellText(at.row, at.column, QString());
        MarkModified(true, at.row, at.column);
        NotifyParent(at.row, at.column, GVN_ENDLABELEDIT);
        RedrawOneCell(at.row, at.column);
    }
}

// The cell a navigation key moves to (paging scrolls on the way); nothing for other keys and for a Tab
// past the grid's ends. changeLine: a Tab that wrapped to another row.
std::optional<GridPos> CGridCtrl::NavigationTarget(unsigned key, bool shift, bool& changeLine)
{
    GridPos next = m_currentCell;
    const int lastRow = m_nRows - 1;
    switch (key) {
    case GK_TAB:
        if (!shift && next.column < m_nColumns - 1) {
            ++next.column;
        } else if (!shift && next.row < lastRow) {
            ++next.row;
            next.column = m_nFixedColumns;
            changeLine = true;
        } else if (shift && next.column > m_nFixedColumns) {
            --next.column;
        } else if (shift && next.column == m_nFixedColumns && next.row > m_nFixedRows) {
            --next.row;
            next.column = m_nColumns - 1;
            changeLine = true;
        } else {
            return std::nullopt;
        }
        break;
    case GK_PRIOR:
    case GK_NEXT: {
        const int topBefore = TopLeftScrolledCell().row;
        OnVScroll(key == GK_PRIOR ? SB_PAGEUP : SB_PAGEDOWN);
        const int moved = TopLeftScrolledCell().row - topBefore;
        if (key == GK_PRIOR)
            next.row = moved != 0 ? std::max(m_nFixedRows, next.row + moved) : m_nFixedRows;
        else
            next.row = moved != 0 ? std::min(lastRow, next.row + moved) : lastRow;
        break;
    }
    case GK_END:
        OnVScroll(SB_BOTTOM);
        next.row = lastRow;
        break;
    case GK_HOME:
        OnVScroll(SB_TOP);
        next.row = m_nFixedRows;
        break;
    case GK_LEFT:
        if (next.column > m_nFixedColumns)
            --next.column;
        break;
    case GK_UP:
        if (next.row > m_nFixedRows)
            --next.row;
        break;
    case GK_RIGHT:
        if (next.column < m_nColumns - 1)
            ++next.column;
        break;
    case GK_DOWN:
        if (next.row < lastRow)
            ++next.row;
        break;
    default:
        return std::nullopt;
    }
    return next;
}

// Selects and shows the cell a key moved to, scrolling by a line where the cell is still not in view.
void CGridCtrl::MoveCurrentCell(GridPos next, unsigned key, bool shift, bool changeLine)
{
    if (m_nMouseMode == MOUSE_NOTHING) {
        m_kept.clear();
        m_nMouseMode = m_bListMode ? MOUSE_SELECT_ROW : MOUSE_SELECT_CELLS;
        if (!shift || key == GK_TAB)
            m_selectionStartCell = next;
        else if (!IsValid(m_selectionStartCell))
            m_selectionStartCell = m_currentCell; // a current cell the owner set is the anchor
        ExtendSelection(next);
        m_nMouseMode = MOUSE_NOTHING;
    }
    SetCurrentCell(next.row, next.column);
    SendSelChanged();
    if (IsCellShown(next.row, next.column))
        return;
    ScrollCellIntoView(next.row, next.column);
    // Once the cell is wholly in view, a further line would only scroll away what was just
    // typed (the row above, or the first column).
    if (QRect rect; CellRect(next.row, next.column, rect) && ClientRect().contains(rect)) {
        viewport()->update();
        return;
    }
    switch (key) {
    case GK_TAB:
        if (changeLine) {
            OnVScroll(shift ? SB_LINEUP : SB_LINEDOWN);
            SetScrollPos(Qt::Horizontal, shift ? horizontalScrollBar()->maximum() : 0);
        } else {
            OnHScroll(shift ? SB_LINEUP : SB_LINEDOWN);
        }
        break;
    case GK_LEFT:
    case GK_RIGHT:
        OnHScroll(key == GK_LEFT ? SB_LINEUP : SB_LINEDOWN);
        break;
    case GK_UP:
    case GK_DOWN:
        OnVScroll(key == GK_UP ? SB_LINEUP : SB_LINEDOWN);
        break;
    default:
        break;
    }
    viewport()->update();
}

void CGridCtrl::OnChar(unsigned character, Qt::KeyboardModifiers modifiers)
{
    if ((modifiers & Qt::ControlModifier) || m_nMouseMode != MOUSE_NOTHING)
        return;
    if (character == GK_TAB && m_bHandleTabKey)
        return;
    EditCellAt(m_currentCell.row, m_currentCell.column, character);
}

void CGridCtrl::SendSelChanged()
{
    QEvent selChanged(WM_GRID_SELCHANGED);
    QCoreApplication::sendEvent(this, &selChanged);
}

// ---------------------------------------------------------------- mouse

void CGridCtrl::UpdateHover(QPoint point)
{
    if (m_bAllowColumnResize && IsOverColumnDivider(point)) {
        viewport()->setCursor(Qt::SizeHorCursor);
        m_nMouseMode = MOUSE_OVER_COL_DIVIDE;
    } else if (m_bAllowRowResize && IsOverRowDivider(point)) {
        viewport()->setCursor(Qt::SizeVerCursor);
        m_nMouseMode = MOUSE_OVER_ROW_DIVIDE;
    } else if (m_nMouseMode != MOUSE_NOTHING) {
        viewport()->setCursor(Qt::ArrowCursor);
        m_nMouseMode = MOUSE_NOTHING;
    }
}

void CGridCtrl::StartSizing(QPoint point)
{
    const bool columns = m_nMouseMode == MOUSE_OVER_COL_DIVIDE;
    const GridPos cell = CellFromPoint(point, true);
    QPoint origin;
    if (!CellOrigin(cell.row, cell.column, origin))
        return;
    const int at = columns ? point.x() : point.y();
    const int start = columns ? origin.x() : origin.y();
    const int index = columns ? cell.column : cell.row;
    m_nSizingIndex = at - start <= m_nResizeCaptureRange ? std::max(0, index - 1) : index;
    m_nMouseMode = columns ? MOUSE_SIZING_COL : MOUSE_SIZING_ROW;
    m_nTrackingLine = at;
    viewport()->update();
}

void CGridCtrl::CancelTrackingLine()
{
    if (m_nTrackingLine >= 0) {
        m_nTrackingLine = -1;
        viewport()->update();
    }
}

void CGridCtrl::FinishSizing(QPoint point)
{
    const bool columns = m_nMouseMode == MOUSE_SIZING_COL;
    CancelTrackingLine();
    if (point == m_leftClickDownPoint)
        return;
    QPoint origin;
    const bool found = columns ? CellOrigin(m_leftClickDownCell.row, m_nSizingIndex, origin)
                               : CellOrigin(m_nSizingIndex, m_leftClickDownCell.column, origin);
    if (!found)
        return;
    if (columns)
        SetColumnWidthAt(m_nSizingIndex, std::max(0, point.x() - origin.x()));
    else
        SetRowHeightAt(m_nSizingIndex, std::max(0, point.y() - origin.y()));
    RecalcScrollBars();
    viewport()->update();
}

void CGridCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool hadFocus = hasFocus();
    HideTitleTip();
    m_leftClickDownPoint = point;
    m_cursorPoint = point;
    m_leftClickDownCell = CellFromPoint(point, true);
    if (!IsValid(m_leftClickDownCell))
        return;
    m_selectionStartCell = (modifiers & Qt::ShiftModifier) ? m_currentCell : m_leftClickDownCell;
    setFocus(Qt::MouseFocusReason);
    if (m_leftClickDownCell == m_currentCell) {
        m_nMouseMode = MOUSE_PREPARE_EDIT;
        return;
    }
    if (m_nMouseMode != MOUSE_OVER_COL_DIVIDE && m_nMouseMode != MOUSE_OVER_ROW_DIVIDE) {
        SetCurrentCell(-1, -1);
        SetCurrentCell(
            std::max(m_leftClickDownCell.row, m_nFixedRows), std::max(m_leftClickDownCell.column, m_nFixedColumns));
    }
    if (m_bDragAndDrop && hadFocus
        && (CellState(m_leftClickDownCell.row, m_leftClickDownCell.column) & GVIS_SELECTED)) {
        m_nMouseMode = MOUSE_PREPARE_DRAG;
        return;
    }
    m_bCaptured = true;
    if (m_nMouseMode == MOUSE_NOTHING)
        UpdateHover(point);
    if (m_nMouseMode == MOUSE_OVER_COL_DIVIDE || m_nMouseMode == MOUSE_OVER_ROW_DIVIDE) {
        StartSizing(point);
    } else {
        m_kept.clear();
        if (modifiers & Qt::ControlModifier)
            m_kept = m_selected;
        const GridPos& cell = m_leftClickDownCell;
        if (cell.row < m_nFixedRows) {
            FixedRowClicked(cell);
        } else if (cell.column >= m_nFixedColumns) {
            m_nMouseMode = m_bListMode ? MOUSE_SELECT_ROW : MOUSE_SELECT_CELLS;
            ExtendSelection(cell);
        } else {
            FixedColumnClicked(cell);
        }
        m_autoScrollTimer.start(m_nTimerInterval, this);
    }
    m_lastMousePoint = point;
}

void CGridCtrl::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    m_cursorPoint = point;
    if (m_nMouseMode != MOUSE_DRAGGING && !ClientRect().contains(point))
        return;
    if ((event->buttons() & Qt::LeftButton) && m_nMouseMode != MOUSE_NOTHING) {
        if (!IsValid(m_leftClickDownCell))
            return;
        switch (m_nMouseMode) {
        case MOUSE_SELECT_ALL:
        case MOUSE_SELECT_COL:
        case MOUSE_SELECT_ROW:
        case MOUSE_SELECT_CELLS: {
            const GridPos cell = CellFromPoint(point, true);
            if (!IsValid(cell))
                return;
            if (cell == m_currentCell)
                break;
            ExtendSelection(cell);
            if (cell.row >= m_nFixedRows && cell.column >= m_nFixedColumns)
                SetCurrentCell(cell.row, cell.column);
            break;
        }
        case MOUSE_SIZING_COL:
        case MOUSE_SIZING_ROW: {
            // The line cannot go past the start of the row or column being sized.
            QPoint origin;
            const bool columns = m_nMouseMode == MOUSE_SIZING_COL;
            const bool found = columns ? CellOrigin(m_leftClickDownCell.row, m_nSizingIndex, origin)
                                       : CellOrigin(m_nSizingIndex, m_leftClickDownCell.column, origin);
            const int at = columns ? point.x() : point.y();
            m_nTrackingLine = found ? std::max(at, columns ? origin.x() : origin.y()) : at;
            viewport()->update();
            break;
        }
        case MOUSE_PREPARE_DRAG:
            StartDrag();
            break;
        default:
            break;
        }
    } else {
        UpdateHover(point);
        if (m_nMouseMode == MOUSE_NOTHING)
            OfferTitleTip(point);
        else
            HideTitleTip();
    }
    m_lastMousePoint = point;
}

void CGridCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    if (m_bCaptured) {
        m_bCaptured = false;
        m_autoScrollTimer.stop();
        SendSelChanged();
    }
    switch (m_nMouseMode) {
    case MOUSE_PREPARE_EDIT:
        m_nMouseMode = MOUSE_NOTHING;
        EditCellAt(m_currentCell.row, MouseEditColumn(), GK_MOUSE);
        break;
    case MOUSE_PREPARE_DRAG:
        ClearSelection();
        break;
    case MOUSE_SIZING_COL:
    case MOUSE_SIZING_ROW:
        FinishSizing(point);
        break;
    default:
        break;
    }
    m_nMouseMode = MOUSE_NOTHING;
    viewport()->setCursor(Qt::ArrowCursor);
    if (IsValid(m_leftClickDownCell))
        QMetaObject::invokeMethod(this, &CGridCtrl::commandNotify, Qt::QueuedConnection);
}

void CGridCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    // The second press of a double click may already have started sizing; a double click on a
    // border fits instead. Where no press came between, the first release left the mode idle,
    // so the border is looked for again here.
    if (m_nMouseMode == MOUSE_SIZING_COL || m_nMouseMode == MOUSE_SIZING_ROW) {
        CancelTrackingLine();
        m_nMouseMode = m_nMouseMode == MOUSE_SIZING_COL ? MOUSE_OVER_COL_DIVIDE : MOUSE_OVER_ROW_DIVIDE;
    } else if (m_nMouseMode == MOUSE_NOTHING) {
        UpdateHover(point);
    }
    if (m_nMouseMode == MOUSE_OVER_COL_DIVIDE || m_nMouseMode == MOUSE_OVER_ROW_DIVIDE) {
        const bool columns = m_nMouseMode == MOUSE_OVER_COL_DIVIDE;
        const GridPos cell = CellFromPoint(point, true);
        QPoint origin;
        if (CellOrigin(cell.row, cell.column, origin)) {
            const int at = columns ? point.x() - origin.x() : point.y() - origin.y();
            const int index = columns ? cell.column : cell.row;
            const int target = at <= m_nResizeCaptureRange ? std::max(0, index - 1) : index;
            if (columns)
                FitColumn(target);
            else
                FitRow(target);
            viewport()->update();
        }
        m_nMouseMode = MOUSE_NOTHING;
        return;
    }
    if (m_nMouseMode != MOUSE_NOTHING && m_nMouseMode != MOUSE_PREPARE_EDIT)
        return;
    m_nMouseMode = MOUSE_NOTHING;
    const GridPos& cell = m_leftClickDownCell;
    if (!IsValid(cell))
        return;
    if (cell.row >= m_nFixedRows && cell.column >= m_nFixedColumns) {
        EditCellAt(m_currentCell.row, MouseEditColumn(), GK_MOUSE);
    } else if (m_bListMode && cell.column < m_nFixedColumns && cell.row >= m_nFixedRows) {
        EditCellAt(cell.row, cell.column, GK_MOUSE);
    }
}

void CGridCtrl::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_autoScrollTimer.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    const QPoint point = m_cursorPoint;
    const QRect client = ClientRect();
    const int x = std::clamp(point.x(), 0, client.width());
    const int y = std::clamp(point.y(), 0, client.height());
    const int fixedHeight = FixedRowsHeight();
    const int fixedWidth = FixedColumnsWidth();
    if (point.y() > client.bottom()) {
        OnKeyDown(GK_DOWN, Qt::NoModifier);
        ExtendSelection(CellFromPoint(QPoint(x, client.bottom()), true));
    } else if (point.y() < fixedHeight) {
        OnKeyDown(GK_UP, Qt::NoModifier);
        ExtendSelection(CellFromPoint(QPoint(x, fixedHeight + 1), true));
    }
    if (point.x() > client.right()) {
        OnKeyDown(GK_RIGHT, Qt::NoModifier);
        ExtendSelection(CellFromPoint(QPoint(client.right(), y), true));
    } else if (point.x() < fixedWidth) {
        OnKeyDown(GK_LEFT, Qt::NoModifier);
        ExtendSelection(CellFromPoint(QPoint(fixedWidth + 1, y), true));
    }
}
