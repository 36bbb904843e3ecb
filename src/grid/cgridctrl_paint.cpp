// Painting, and sizing rows and columns to their contents.
#include "grid/cgridctrl.h"
#include "grid/gridinternal.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

using namespace gridimpl;

// ---------------------------------------------------------------- painting

void CGridCtrl::paintEvent(QPaintEvent* event)
{
    if (!m_bAllowDraw)
        return;
    QPainter painter(viewport());
    PaintGrid(painter, event->rect());
    if (m_nTrackingLine >= 0) {
        const QRect client = ClientRect();
        const QRect line = m_nMouseMode == MOUSE_SIZING_COL ? QRect(m_nTrackingLine, 0, 2, client.height())
                                                            : QRect(0, m_nTrackingLine, client.width(), 2);
        painter.fillRect(line, palette().color(QPalette::Shadow));
    }
}

void CGridCtrl::PaintGrid(QPainter& painter, const QRect& clip)
{
    if (clip.isEmpty())
        return;
    PaintBackground(painter, clip);
    const int fixedHeight = FixedRowsHeight();
    const int fixedWidth = FixedColumnsWidth();
    const GridPos topLeft = TopLeftScrolledCell();
    QRect drawn;
    const GridBlock block = VisibleBlock(&drawn);

    auto paintRange = [&](int rowFrom, int rowTo, int top, int columnFrom, int columnTo, int left, bool fixed) {
        int y = top;
        for (int r = rowFrom; r <= rowTo; ++r) {
            const int height = m_rowHeights[static_cast<size_t>(r)];
            if (y > clip.bottom())
                break;
            if (y + height > clip.top()) {
                int x = left;
                for (int c = columnFrom; c <= columnTo; ++c) {
                    const int width = m_columnWidths[static_cast<size_t>(c)];
                    if (x > clip.right())
                        break;
                    if (x + width > clip.left()) {
                        const QRect rect(x, y, width, height);
                        if (fixed)
                            PaintFixedCell(painter, r, c, rect, false);
                        else
                            PaintCell(painter, r, c, rect, false);
                    }
                    x += width;
                }
            }
            y += height;
        }
    };
    paintRange(0, m_nFixedRows - 1, 0, 0, m_nFixedColumns - 1, 0, true);
    paintRange(topLeft.row, block.maxRow, fixedHeight, 0, m_nFixedColumns - 1, 0, true);
    paintRange(0, m_nFixedRows - 1, 0, topLeft.column, block.maxColumn, fixedWidth, true);
    paintRange(topLeft.row, block.maxRow, fixedHeight, topLeft.column, block.maxColumn, fixedWidth, false);

    painter.setPen(QColor::fromRgb(m_gridLineColor));
    if (m_nGridLines & GVL_VERT) {
        int x = fixedWidth;
        for (int c = topLeft.column; c <= block.maxColumn; ++c) {
            x += m_columnWidths[static_cast<size_t>(c)];
            painter.drawLine(x - 1, fixedHeight, x - 1, drawn.bottom());
        }
    }
    if (m_nGridLines & GVL_HORZ) {
        int y = fixedHeight;
        for (int r = topLeft.row; r <= block.maxRow; ++r) {
            y += m_rowHeights[static_cast<size_t>(r)];
            painter.drawLine(fixedWidth, y - 1, drawn.right(), y - 1);
        }
    }
    painter.setPen(Qt::NoPen);
}

void CGridCtrl::PaintBackground(QPainter& painter, const QRect& clip)
{
    QRect drawn;
    VisibleBlock(&drawn);
    const int fixedWidth = FixedColumnsWidth();
    const int fixedHeight = FixedRowsHeight();
    const int clipLeft = clip.left();
    const int clipTop = clip.top();
    const int clipRight = clip.right() + 1;
    const int clipBottom = clip.bottom() + 1;
    const int drawnRight = drawn.right() + 1;
    const int drawnBottom = drawn.bottom() + 1;
    const QColor fixedBack = QColor::fromRgb(m_fixedBackColor);
    if (clipLeft < fixedWidth && clipTop < drawnBottom)
        painter.fillRect(Span(clipLeft, clipTop, fixedWidth, drawnBottom), fixedBack);
    if (clipTop < fixedHeight && clipRight > fixedWidth && drawnRight > clipLeft)
        painter.fillRect(Span(fixedWidth - 1, clipTop, drawnRight, fixedHeight), fixedBack);
    const QRect inner = drawn.intersected(clip);
    if (!inner.isEmpty())
        painter.fillRect(Span(std::max(fixedWidth, inner.left()), std::max(fixedHeight, inner.top()), inner.right() + 1,
                             inner.bottom() + 1),
            QColor::fromRgb(m_textBackColor));
    const QColor back = QColor::fromRgb(m_backColor);
    if (drawnRight < clipRight)
        painter.fillRect(Span(drawnRight, clipTop, clipRight, clipBottom), back);
    if (drawnBottom < clipBottom && clipLeft < drawnRight)
        painter.fillRect(Span(clipLeft, drawnBottom, drawnRight, clipBottom), back);
}

void CGridCtrl::DrawCellText(QPainter& painter, const CGridCellRecord& cell, QRect rect, bool bold)
{
    rect.adjust(m_nMargin, 0, -m_nMargin, 0);
    if (cell.image >= 0 && cell.image < static_cast<int>(m_images.size())) {
        const QPixmap& image = m_images[static_cast<size_t>(cell.image)];
        painter.drawPixmap(rect.topLeft(), image);
        rect.setLeft(rect.left() + image.width() + m_nMargin);
    }
    if (cell.text.isEmpty() || rect.width() <= 0)
        return;
    const QFontMetrics& fm = Metrics(cell.font, bold);
    QFont font = m_fonts[cell.font];
    if (bold)
        font.setWeight(QFont::DemiBold);
    painter.setFont(font);
    int flags = cell.format & DT_RIGHT ? Qt::AlignRight : cell.format & DT_CENTER ? Qt::AlignHCenter : Qt::AlignLeft;
    QString text = cell.text;
    if (cell.format & DT_SINGLELINE) {
        flags |= Qt::TextSingleLine;
        flags |= cell.format & DT_VCENTER ? Qt::AlignVCenter : cell.format & DT_BOTTOM ? Qt::AlignBottom : Qt::AlignTop;
        if (cell.format & DT_END_ELLIPSIS)
            text = fm.elidedText(text, Qt::ElideRight, rect.width());
    } else {
        flags |= Qt::AlignTop;
        if (cell.format & DT_WORDBREAK)
            flags |= Qt::TextWordWrap;
    }
    painter.drawText(rect, flags, text);
}

bool CGridCtrl::PaintFixedCell(QPainter& painter, int row, int column, QRect rect, bool)
{
    if (!m_bAllowDraw)
        return false;
    const CGridCellRecord* cell = Cell(row, column);
    if (!cell)
        return false;
    painter.fillRect(rect, QColor::fromRgb(cell->backColor != kGridDefaultColor ? cell->backColor : m_fixedBackColor));
    const bool current = IsValid(m_currentCell) && (m_currentCell.row == row || m_currentCell.column == column);
    const QPalette& pal = palette();
    if (current) {
        painter.setPen(pal.color(QPalette::Shadow));
        painter.drawLine(rect.topLeft(), rect.topRight());
        painter.drawLine(rect.topLeft(), rect.bottomLeft());
        painter.setPen(pal.color(QPalette::Midlight));
        painter.drawLine(rect.topRight(), rect.bottomRight());
        painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    } else {
        painter.setPen(pal.color(QPalette::Light));
        painter.drawLine(rect.left(), rect.top(), rect.right() - 1, rect.top());
        painter.drawLine(rect.left(), rect.top(), rect.left(), rect.bottom() - 1);
        painter.setPen(pal.color(QPalette::Shadow));
        painter.drawLine(rect.topRight(), rect.bottomRight());
        painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    }
    rect.adjust(1, 1, -1, -1);
    painter.setPen(QColor::fromRgb(cell->textColor != kGridDefaultColor ? cell->textColor : m_fixedTextColor));
    DrawCellText(painter, *cell, rect, current);
    return true;
}

bool CGridCtrl::PaintCell(QPainter& painter, int row, int column, QRect rect, bool)
{
    if (!m_bAllowDraw)
        return false;
    const CGridCellRecord* cell = Cell(row, column);
    if (!cell)
        return false;
    const QColor back = QColor::fromRgb(cell->backColor != kGridDefaultColor ? cell->backColor : m_textBackColor);
    QColor text = QColor::fromRgb(cell->textColor != kGridDefaultColor ? cell->textColor : m_textColor);
    // Of several grids in a window, only the one the keys go to shows where they go.
    if ((cell->state & GVIS_FOCUSED) && hasFocus()) {
        painter.fillRect(rect, back);
        painter.setPen(Qt::black);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(0, 0, -2, -2));
        rect.adjust(1, 1, -1, -1);
    } else if (cell->state & GVIS_SELECTED) {
        painter.fillRect(rect, palette().color(QPalette::Highlight));
        text = palette().color(QPalette::HighlightedText);
    } else {
        painter.fillRect(rect, back);
    }
    if (cell->state & GVIS_DROPHILITED) {
        painter.setPen(Qt::black);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(0, 0, -2, -2));
    }
    painter.setPen(text);
    DrawCellText(painter, *cell, rect, false);
    return true;
}

bool CGridCtrl::RedrawOneCell(int row, int column)
{
    QRect rect;
    if (!m_bAllowDraw || !IsCellShown(row, column) || !CellRect(row, column, rect))
        return false;
    viewport()->update(rect);
    return true;
}

bool CGridCtrl::InvalidateOneCell(const GridPos& pos)
{
    return RedrawOneCell(pos.row, pos.column);
}

void CGridCtrl::RedrawFixedOf(int row, int column, bool rowChanged, bool columnChanged)
{
    if (columnChanged)
        for (int r = 0; r < m_nFixedRows; ++r)
            RedrawOneCell(r, column);
    if (rowChanged)
        for (int c = 0; c < m_nFixedColumns; ++c)
            RedrawOneCell(row, c);
}

// ---------------------------------------------------------------- sizing to contents

QSize CGridCtrl::MeasureCell(int row, int column) const
{
    const CGridCellRecord* cell = Cell(row, column);
    if (!cell)
        return {};
    const QFontMetrics& fm = Metrics(cell->font, row < m_nFixedRows || column < m_nFixedColumns);
    QSize size(fm.horizontalAdvance(cell->text) + 4 * m_nMargin, fm.height() + 2 * m_nMargin);
    if (cell->image >= 0 && cell->image < static_cast<int>(m_images.size())) {
        const QPixmap& image = m_images[static_cast<size_t>(cell->image)];
        size.rwidth() += image.width();
        size.rheight() = std::max(size.height(), image.height());
    }
    return size;
}

bool CGridCtrl::FitColumn(int column)
{
    if (column < 0 || column >= m_nColumns)
        return false;
    int width = 0;
    for (int r = 0; r < m_nRows; ++r)
        width = std::max(width, MeasureCell(r, column).width());
    m_columnWidths[static_cast<size_t>(column)] = width;
    RecalcScrollBars();
    return true;
}

bool CGridCtrl::FitRow(int row)
{
    if (row < 0 || row >= m_nRows)
        return false;
    int height = 0;
    for (int c = 0; c < m_nColumns; ++c)
        height = std::max(height, MeasureCell(row, c).height());
    m_rowHeights[static_cast<size_t>(row)] = height;
    RecalcScrollBars();
    return true;
}

void CGridCtrl::FitAll()
{
    std::fill(m_columnWidths.begin(), m_columnWidths.end(), 0);
    std::fill(m_rowHeights.begin(), m_rowHeights.end(), 0);
    for (int r = 0; r < m_nRows; ++r) {
        int& height = m_rowHeights[static_cast<size_t>(r)];
        for (int c = 0; c < m_nColumns; ++c) {
            const QSize size = MeasureCell(r, c);
            height = std::max(height, size.height());
            int& width = m_columnWidths[static_cast<size_t>(c)];
            width = std::max(width, size.width());
        }
    }
    FillWidth();
    if (m_bAllowDraw) {
        RecalcScrollBars();
        viewport()->update();
    }
}

void CGridCtrl::FillWidth()
{
    if (!m_bFitToWidth || m_nColumns <= m_nFixedColumns)
        return;
    const QRect area = contentsRect();
    const bool barNeeded = verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn
        || (verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded && TotalHeight() > area.height());
    const int available = area.width() - (barNeeded ? verticalScrollBar()->sizeHint().width() : 0);
    const int fitted = TotalWidth() - FixedColumnsWidth();
    const int wanted = available - FixedColumnsWidth();
    if (fitted <= 0 || wanted <= 0 || wanted == fitted)
        return;
    int given = 0;
    for (int c = m_nFixedColumns; c < m_nColumns; ++c) {
        int& width = m_columnWidths[static_cast<size_t>(c)];
        const int share = c == m_nColumns - 1 ? wanted - given : int(qint64(width) * wanted / fitted);
        width = std::max(0, share);
        given += width;
    }
}

void CGridCtrl::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    // Reached by the keyboard, a grid without a current cell would take no key: start at its first cell.
    const Qt::FocusReason reason = event->reason();
    const bool byKeys
        = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
    if (byKeys && !IsValid(m_currentCell)
        && IsValid(m_nFixedRows, m_nFixedColumns))
        SetCurrentCell(m_nFixedRows, m_nFixedColumns);
    viewport()->update();
}

void CGridCtrl::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}
