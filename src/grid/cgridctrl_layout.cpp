// Geometry of the cells in the viewport, and scrolling.
#include "grid/cgridctrl.h"
#include "grid/gridinternal.h"

#include <QApplication>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>

using namespace gridimpl;

// ---------------------------------------------------------------- geometry

QRect CGridCtrl::ClientRect() const
{
    return viewport()->rect();
}

GridPos CGridCtrl::TopLeftScrolledCell() const
{
    GridPos cell { m_nFixedRows, m_nFixedColumns };
    const int hPos = horizontalScrollBar()->value();
    for (int width = 0; width < hPos && cell.column < m_nColumns - 1; ++cell.column)
        width += m_columnWidths[static_cast<size_t>(cell.column)];
    const int vPos = verticalScrollBar()->value();
    for (int height = 0; height < vPos && cell.row < m_nRows - 1; ++cell.row)
        height += m_rowHeights[static_cast<size_t>(cell.row)];
    return cell;
}

namespace {

// The last index whose size, added from `from` on to `start`, first reaches `limit`; also
// whether that last one is cut off by the limit and the sum clipped to it.
struct Extent {
    int last;
    bool cut;
    int end;
};

Extent ExtentTo(const std::vector<int>& sizes, int count, int from, int start, int limit)
{
    Extent e { from - 1, false, start };
    for (int i = from; i < count && e.end < limit; ++i) {
        e.end += sizes[static_cast<size_t>(i)];
        e.last = i;
    }
    e.cut = e.end > limit;
    e.end = std::min(e.end, limit);
    return e;
}

} // namespace

GridBlock CGridCtrl::VisibleBlock(QRect* rect) const
{
    const GridPos topLeft = TopLeftScrolledCell();
    const QRect client = ClientRect();
    const Extent rows = ExtentTo(m_rowHeights, m_nRows, topLeft.row, FixedRowsHeight(), client.height());
    const Extent columns = ExtentTo(m_columnWidths, m_nColumns, topLeft.column, FixedColumnsWidth(), client.width());
    if (rect)
        *rect = Span(0, 0, columns.end, rows.end);
    return { topLeft.row, topLeft.column, std::min(rows.last, m_nRows - 1), std::min(columns.last, m_nColumns - 1) };
}

GridBlock CGridCtrl::FullyVisibleBlock() const
{
    const GridPos topLeft = TopLeftScrolledCell();
    const QRect client = ClientRect();
    const Extent rows = ExtentTo(m_rowHeights, m_nRows, topLeft.row, FixedRowsHeight(), client.height());
    const Extent columns = ExtentTo(m_columnWidths, m_nColumns, topLeft.column, FixedColumnsWidth(), client.width());
    GridBlock block { topLeft.row, topLeft.column, std::min(rows.last, m_nRows - 1),
        std::min(columns.last, m_nColumns - 1) };
    if (rows.cut && block.maxRow > 0)
        --block.maxRow;
    if (columns.cut && block.maxColumn > 0)
        --block.maxColumn;
    return block;
}

namespace {

// The index at pixel `at` along one direction, or -1.
int IndexAt(
    const std::vector<int>& sizes, int count, int fixedCount, int fixedSize, int firstScrolled, int at, bool allowFixed)
{
    if (at < 0)
        return -1;
    if (at < fixedSize) {
        if (!allowFixed)
            return -1;
        int end = 0;
        for (int i = 0; i < fixedCount; ++i) {
            end += sizes[static_cast<size_t>(i)];
            if (end > at)
                return i;
        }
        return fixedCount;
    }
    int end = fixedSize;
    for (int i = firstScrolled; i < count; ++i) {
        end += sizes[static_cast<size_t>(i)];
        if (end > at)
            return i;
    }
    return -1;
}

} // namespace

GridPos CGridCtrl::CellFromPoint(QPoint point, bool allowFixed) const
{
    const GridPos topLeft = TopLeftScrolledCell();
    const int column = IndexAt(
        m_columnWidths, m_nColumns, m_nFixedColumns, FixedColumnsWidth(), topLeft.column, point.x(), allowFixed);
    const int row = IndexAt(m_rowHeights, m_nRows, m_nFixedRows, FixedRowsHeight(), topLeft.row, point.y(), allowFixed);
    return { row, column };
}

bool CGridCtrl::CellOrigin(int row, int column, QPoint& origin) const
{
    if (!IsValid(row, column))
        return false;
    const GridPos topLeft = TopLeftScrolledCell();
    if ((row >= m_nFixedRows && row < topLeft.row) || (column >= m_nFixedColumns && column < topLeft.column))
        return false;
    const int x = column < m_nFixedColumns ? SumOf(m_columnWidths, 0, column)
                                           : FixedColumnsWidth() + SumOf(m_columnWidths, topLeft.column, column);
    const int y
        = row < m_nFixedRows ? SumOf(m_rowHeights, 0, row) : FixedRowsHeight() + SumOf(m_rowHeights, topLeft.row, row);
    origin = QPoint(x, y);
    return true;
}

bool CGridCtrl::CellRect(int row, int column, QRect& rect) const
{
    QPoint origin;
    if (!CellOrigin(row, column, origin))
        return false;
    rect = QRect(origin, QSize(ColumnWidthAt(column), RowHeightAt(row)));
    return true;
}

bool CGridCtrl::CellTextRect(int row, int column, QRect& rect) const
{
    if (!CellRect(row, column, rect))
        return false;
    const int image = CellImage(row, column);
    if (image >= 0 && image < static_cast<int>(m_images.size()))
        rect.setLeft(rect.left() + m_images[static_cast<size_t>(image)].width() + m_nMargin);
    return true;
}

bool CGridCtrl::IsCellShown(int row, int column) const
{
    if (!IsValid(row, column))
        return false;
    const GridPos topLeft = TopLeftScrolledCell();
    if ((row >= m_nFixedRows && row < topLeft.row) || (column >= m_nFixedColumns && column < topLeft.column))
        return false;
    const QRect client = ClientRect();
    auto startsBefore = [](const std::vector<int>& sizes, int fixedCount, int first, int index, int limit) {
        int at = index < fixedCount ? 0 : SumOf(sizes, 0, fixedCount);
        for (int i = index < fixedCount ? 0 : first; i < index && at < limit; ++i)
            at += sizes[static_cast<size_t>(i)];
        return at < limit;
    };
    return startsBefore(m_columnWidths, m_nFixedColumns, topLeft.column, column, client.width())
        && startsBefore(m_rowHeights, m_nFixedRows, topLeft.row, row, client.height());
}

void CGridCtrl::ScrollCellIntoView(int row, int column)
{
    if (!IsValid(row, column))
        return;
    const GridBlock block = VisibleBlock();
    for (int i = column - block.maxColumn; i > 0; --i)
        OnHScroll(SB_LINEDOWN);
    for (int i = block.minColumn - column; i > 0; --i)
        OnHScroll(SB_LINEUP);
    for (int i = row - block.maxRow; i > 0; --i)
        OnVScroll(SB_LINEDOWN);
    for (int i = block.minRow - row; i > 0; --i)
        OnVScroll(SB_LINEUP);
    QRect rect;
    if (CellRect(row, column, rect)) {
        const QRect client = ClientRect();
        if (rect.right() > client.right())
            OnHScroll(SB_LINEDOWN);
        if (rect.bottom() > client.bottom())
            OnVScroll(SB_LINEDOWN);
    }
}

GridPos CGridCtrl::DividerCell(QPoint point, bool columns) const
{
    if (columns ? point.y() >= FixedRowsHeight() : point.x() >= FixedColumnsWidth())
        return {};
    const GridPos cell = CellFromPoint(point, true);
    QPoint origin;
    if (!CellOrigin(cell.row, cell.column, origin))
        return {};
    const int at = columns ? point.x() : point.y();
    const int start = columns ? origin.x() : origin.y();
    const int index = columns ? cell.column : cell.row;
    const int size = columns ? ColumnWidthAt(index) : RowHeightAt(index);
    if (at - start <= m_nResizeCaptureRange && index != 0)
        return cell;
    if (start + size - at <= m_nResizeCaptureRange)
        return cell;
    return {};
}

bool CGridCtrl::IsOverColumnDivider(QPoint point) const
{
    return IsValid(DividerCell(point, true));
}
bool CGridCtrl::IsOverRowDivider(QPoint point) const
{
    return IsValid(DividerCell(point, false));
}

// ---------------------------------------------------------------- scrolling

void CGridCtrl::RecalcScrollBars()
{
    if (!m_bAllowDraw)
        return;
    const QRect client = ClientRect();
    const int fixedWidth = FixedColumnsWidth();
    const int fixedHeight = FixedRowsHeight();
    const int pageWidth = client.width() - fixedWidth;
    const int pageHeight = client.height() - fixedHeight;
    if (pageWidth <= 0 || pageHeight <= 0)
        return;
    ++m_nScrollGuard;
    // A grid emptied of its scrolling cells must not keep the ranges of its old contents.
    if (!IsValid(FullyVisibleBlock())) {
        m_nVScrollMax = m_nHScrollMax = 0;
        verticalScrollBar()->setRange(0, 0);
        horizontalScrollBar()->setRange(0, 0);
        --m_nScrollGuard;
        return;
    }
    const int scrollHeight = TotalHeight() - fixedHeight;
    const int scrollWidth = TotalWidth() - fixedWidth;
    m_nVScrollMax = pageHeight < scrollHeight ? scrollHeight - 1 : 0;
    m_nHScrollMax = pageWidth < scrollWidth ? scrollWidth - 1 : 0;
    verticalScrollBar()->setPageStep(pageHeight);
    horizontalScrollBar()->setPageStep(pageWidth);
    verticalScrollBar()->setRange(0, m_nVScrollMax ? m_nVScrollMax - pageHeight + 1 : 0);
    horizontalScrollBar()->setRange(0, m_nHScrollMax ? m_nHScrollMax - pageWidth + 1 : 0);
    --m_nScrollGuard;
    viewport()->update();
}

int CGridCtrl::ScrollPos(Qt::Orientation orientation) const
{
    return (orientation == Qt::Vertical ? verticalScrollBar() : horizontalScrollBar())->value();
}

void CGridCtrl::SetScrollPos(Qt::Orientation orientation, int pos)
{
    ++m_nScrollGuard;
    (orientation == Qt::Vertical ? verticalScrollBar() : horizontalScrollBar())->setValue(pos);
    --m_nScrollGuard;
}

void CGridCtrl::OnVScroll(int code)
{
    ScrollBy(Qt::Vertical, code);
}
void CGridCtrl::OnHScroll(int code)
{
    ScrollBy(Qt::Horizontal, code);
}

void CGridCtrl::ScrollBy(Qt::Orientation orientation, int code)
{
    HideTitleTip();
    if (!hasFocus())
        setFocus(Qt::OtherFocusReason);
    const bool vertical = orientation == Qt::Vertical;
    const std::vector<int>& sizes = vertical ? m_rowHeights : m_columnWidths;
    const int fixedCount = vertical ? m_nFixedRows : m_nFixedColumns;
    const int fixedSize = vertical ? FixedRowsHeight() : FixedColumnsWidth();
    const int maximum = vertical ? m_nVScrollMax : m_nHScrollMax;
    const QRect client = ClientRect();
    const int page = (vertical ? client.height() : client.width()) - fixedSize;
    const QRect scrolled = vertical ? Span(0, fixedSize, client.width(), client.height())
                                    : Span(fixedSize, 0, client.width(), client.height());
    auto first = [&] {
        const GridPos cell = TopLeftScrolledCell();
        return vertical ? cell.row : cell.column;
    };
    const int pos = ScrollPos(orientation);
    const int firstBefore = first();

    switch (code) {
    case SB_LINEDOWN:
    case SB_LINEUP: {
        if (code == SB_LINEDOWN) {
            if (pos >= maximum || firstBefore >= static_cast<int>(sizes.size()))
                return;
            // Columns move by whole widths: revealing the cut end of a last column already in
            // view would scroll a whole column away for it and leave an empty band on the right.
            const int count = static_cast<int>(sizes.size());
            if (!vertical && fixedSize + SumOf(sizes, firstBefore, count - 1) < client.width()
                && SumOf(sizes, firstBefore + 1, count) < page)
                return;
            SetScrollPos(orientation, pos + sizes[static_cast<size_t>(firstBefore)]);
        } else {
            if (pos <= 0 || firstBefore <= fixedCount)
                return;
            SetScrollPos(orientation, std::max(0, pos - sizes[static_cast<size_t>(firstBefore - 1)]));
        }
        const int firstAfter = first();
        if (ScrollPos(orientation) == pos || firstAfter == firstBefore)
            return;
        // Cells are laid out from the first scrolled one, so the picture moves by whole cells.
        const int shift
            = firstAfter > firstBefore ? -SumOf(sizes, firstBefore, firstAfter) : SumOf(sizes, firstAfter, firstBefore);
        if (std::abs(shift) >= page)
            viewport()->update(scrolled);
        else if (vertical)
            viewport()->scroll(0, shift, scrolled);
        else
            viewport()->scroll(shift, 0, scrolled);
        break;
    }
    case SB_PAGEDOWN:
        if (pos < maximum) {
            SetScrollPos(orientation, std::min(maximum, pos + page));
            viewport()->update(scrolled);
        }
        break;
    case SB_PAGEUP:
        if (pos > 0) {
            SetScrollPos(orientation, std::max(0, pos - page));
            viewport()->update(scrolled);
        }
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        if (first() != firstBefore)
            viewport()->update(scrolled);
        break;
    case SB_TOP:
        if (pos > 0) {
            SetScrollPos(orientation, 0);
            viewport()->update();
        }
        break;
    case SB_BOTTOM:
        if (pos < maximum) {
            SetScrollPos(orientation, maximum);
            viewport()->update();
        }
        break;
    default:
        break;
    }
}

void CGridCtrl::OnScrollAction(Qt::Orientation orientation, int action)
{
    int code = -1;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        code = SB_LINEDOWN;
        break;
    case QAbstractSlider::SliderSingleStepSub:
        code = SB_LINEUP;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        code = SB_PAGEDOWN;
        break;
    case QAbstractSlider::SliderPageStepSub:
        code = SB_PAGEUP;
        break;
    default:
        return;
    }
    // The bar has already taken its own step; undo it and take the grid's, a row or a page.
    QScrollBar* bar = orientation == Qt::Vertical ? verticalScrollBar() : horizontalScrollBar();
    bar->setSliderPosition(bar->value());
    ScrollBy(orientation, code);
}

void CGridCtrl::scrollContentsBy(int, int)
{
    if (m_nScrollGuard == 0)
        viewport()->update();
}

void CGridCtrl::wheelEvent(QWheelEvent* event)
{
    const int lines = m_nWheelLines * event->angleDelta().y() / 120;
    for (int i = 0; i < lines; ++i)
        OnVScroll(SB_LINEUP);
    for (int i = 0; i > lines; --i)
        OnVScroll(SB_LINEDOWN);
    event->accept();
}

void CGridCtrl::resizeEvent(QResizeEvent* event)
{
    if (m_bInSize)
        return;
    m_bInSize = true;
    // An open in-place edit ends before the layout changes under it.
    if (QWidget* focus = QApplication::focusWidget(); focus && focus->parentWidget() == viewport())
        setFocus(Qt::OtherFocusReason);
    QAbstractScrollArea::resizeEvent(event);
    FillWidth();
    RecalcScrollBars();
    m_bInSize = false;
}
