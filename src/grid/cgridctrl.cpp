#include "grid/cgridctrl.h"

#include "grid/cgrideditbox.h"
#include "grid/gridinplace.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <algorithm>
#include <cstdlib>

namespace {

qint64 CellKey(int row, int column)
{
    return (static_cast<qint64>(row) << 32) | static_cast<quint32>(column);
}
int KeyRow(qint64 key)
{
    return static_cast<int>(key >> 32);
}
int KeyColumn(qint64 key)
{
    return static_cast<int>(static_cast<quint32>(key & 0xFFFFFFFF));
}

// A rectangle given by its left, top and exclusive right and bottom ends.
QRect Span(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

int SumOf(const std::vector<int>& sizes, int from, int to)
{
    int sum = 0;
    for (int i = from; i < to; ++i)
        sum += sizes[static_cast<size_t>(i)];
    return sum;
}

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

QPointer<CGridCtrl> g_lastAttachedGrid;

} // namespace

CGridCtrl::CGridCtrl(int rows, int columns, int fixedRows, int fixedColumns, QWidget* parent)
    : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    SetDefaults();
    SetRows(rows);
    SetColumns(columns);
    SetFixedRows(fixedRows);
    SetFixedColumns(fixedColumns);
    m_selected.clear();
    m_kept.clear();
    ApplyFont();
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
        [this](int action) { OnScrollAction(Qt::Vertical, action); });
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this,
        [this](int action) { OnScrollAction(Qt::Horizontal, action); });
}

CGridCtrl::~CGridCtrl()
{
    // An edit still open goes with the grid; it must not report to a grid half torn down.
    qDeleteAll(viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
}

void CGridCtrl::SetDefaults()
{
    ReadSystemColors();
    m_textColor = m_sysWindowText;
    m_textBackColor = m_sysWindow;
    m_backColor = m_sys3DShadow;
    m_fixedTextColor = m_sysWindowText;
    m_fixedBackColor = m_sys3DFace;
    m_nWheelLines = QApplication::wheelScrollLines();
    m_fonts.assign(1, font());
}

void CGridCtrl::ReadSystemColors()
{
    const QPalette& pal = palette();
    m_sysWindowText = pal.color(QPalette::Text).rgb();
    m_sysWindow = pal.color(QPalette::Base).rgb();
    m_sys3DFace = pal.color(QPalette::Button).rgb();
    m_sys3DShadow = pal.color(QPalette::Dark).rgb();
}

// ---------------------------------------------------------------- counts and sizes

bool CGridCtrl::SetRows(int rows)
{
    if (rows < 0)
        return false;
    if (rows == m_nRows)
        return true;
    if (rows < m_nFixedRows)
        m_nFixedRows = rows;
    if (m_currentCell.row >= rows)
        SetCurrentCell(-1, -1);
    const int oldRows = m_nRows;
    for (int r = rows; r < oldRows; ++r)
        for (int c = 0; c < m_nColumns; ++c)
            ClearCell(m_rows[static_cast<size_t>(r)][static_cast<size_t>(c)], r, c);
    m_nRows = rows;
    m_rowHeights.resize(static_cast<size_t>(rows), m_nDefRowHeight);
    if (rows < oldRows) {
        m_rows.resize(static_cast<size_t>(rows));
    } else {
        m_rows.reserve(static_cast<size_t>(rows));
        for (int r = oldRows; r < rows; ++r) {
            CGridRowArray cells;
            cells.reserve(static_cast<size_t>(m_nColumns));
            for (int c = 0; c < m_nColumns; ++c)
                cells.push_back(NewCell(r, c));
            m_rows.push_back(std::move(cells));
        }
    }
    if (m_bAllowDraw) {
        RecalcScrollBars();
        viewport()->update();
    }
    return true;
}

bool CGridCtrl::SetColumns(int columns)
{
    if (columns < 0)
        return false;
    if (columns == m_nColumns)
        return true;
    if (columns < m_nFixedColumns)
        m_nFixedColumns = columns;
    if (m_currentCell.column >= columns)
        SetCurrentCell(-1, -1);
    const int oldColumns = m_nColumns;
    for (int r = 0; r < m_nRows; ++r)
        for (int c = columns; c < oldColumns; ++c)
            ClearCell(m_rows[static_cast<size_t>(r)][static_cast<size_t>(c)], r, c);
    m_nColumns = columns;
    m_columnWidths.resize(static_cast<size_t>(columns), m_nDefColumnWidth);
    for (int r = 0; r < m_nRows; ++r) {
        CGridRowArray& cells = m_rows[static_cast<size_t>(r)];
        if (columns < oldColumns) {
            cells.resize(static_cast<size_t>(columns));
            continue;
        }
        cells.reserve(static_cast<size_t>(columns));
        for (int c = oldColumns; c < columns; ++c)
            cells.push_back(NewCell(r, c));
    }
    if (m_bAllowDraw) {
        RecalcScrollBars();
        viewport()->update();
    }
    return true;
}

bool CGridCtrl::SetFixedRows(int fixedRows)
{
    if (fixedRows < 0)
        return false;
    if (fixedRows > m_nRows && !SetRows(fixedRows))
        return false;
    if (IsValid(m_currentCell) && m_currentCell.row < fixedRows)
        SetCurrentCell(-1, -1);
    m_nFixedRows = fixedRows;
    if (m_bAllowDraw)
        viewport()->update();
    return true;
}

bool CGridCtrl::SetFixedColumns(int fixedColumns)
{
    if (fixedColumns < 0)
        return false;
    if (fixedColumns > m_nColumns && !SetColumns(fixedColumns))
        return false;
    if (IsValid(m_currentCell) && m_currentCell.column < fixedColumns)
        SetCurrentCell(-1, -1);
    m_nFixedColumns = fixedColumns;
    if (m_bAllowDraw)
        viewport()->update();
    return true;
}

int CGridCtrl::RowHeightAt(int row) const
{
    return row >= 0 && row < m_nRows ? m_rowHeights[static_cast<size_t>(row)] : -1;
}

int CGridCtrl::ColumnWidthAt(int column) const
{
    return column >= 0 && column < m_nColumns ? m_columnWidths[static_cast<size_t>(column)] : -1;
}

bool CGridCtrl::SetRowHeightAt(int row, int height)
{
    if (row < 0 || row >= m_nRows || height < 0)
        return false;
    m_rowHeights[static_cast<size_t>(row)] = height;
    return true;
}

bool CGridCtrl::SetColumnWidthAt(int column, int width)
{
    if (column < 0 || column >= m_nColumns || width < 0)
        return false;
    m_columnWidths[static_cast<size_t>(column)] = width;
    return true;
}

int CGridCtrl::FixedRowsHeight() const
{
    return SumOf(m_rowHeights, 0, m_nFixedRows);
}
int CGridCtrl::FixedColumnsWidth() const
{
    return SumOf(m_columnWidths, 0, m_nFixedColumns);
}
int CGridCtrl::TotalHeight() const
{
    return SumOf(m_rowHeights, 0, m_nRows);
}
int CGridCtrl::TotalWidth() const
{
    return SumOf(m_columnWidths, 0, m_nColumns);
}

// ---------------------------------------------------------------- cells

bool CGridCtrl::IsValid(const GridBlock& block) const
{
    return block.minRow >= 0 && block.minColumn >= 0 && block.maxRow < m_nRows && block.maxColumn < m_nColumns
        && block.minRow <= block.maxRow && block.minColumn <= block.maxColumn;
}

CGridCellRecord* CGridCtrl::Cell(int row, int column)
{
    return IsValid(row, column) ? &m_rows[static_cast<size_t>(row)][static_cast<size_t>(column)] : nullptr;
}

const CGridCellRecord* CGridCtrl::Cell(int row, int column) const
{
    return IsValid(row, column) ? &m_rows[static_cast<size_t>(row)][static_cast<size_t>(column)] : nullptr;
}

CGridCellRecord CGridCtrl::NewCell(int row, int column)
{
    CGridCellRecord cell;
    if (row > 0)
        cell.format = m_rows[static_cast<size_t>(row - 1)][static_cast<size_t>(column)].format;
    return cell;
}

void CGridCtrl::ClearCell(CGridCellRecord& cell, int row, int column)
{
    SetCellState(row, column, 0);
    cell.text.clear();
}

std::uint16_t CGridCtrl::FontIndex(const QFont& font)
{
    for (size_t i = 0; i < m_fonts.size(); ++i)
        if (m_fonts[i] == font)
            return static_cast<std::uint16_t>(i);
    if (m_fonts.size() > 0xFFFF)
        return 0;
    m_fonts.push_back(font);
    m_metrics.clear();
    return static_cast<std::uint16_t>(m_fonts.size() - 1);
}

bool CGridCtrl::ReadItem(GridItemInfo& info) const
{
    const CGridCellRecord* cell = Cell(info.row, info.column);
    if (!cell)
        return false;
    if (info.mask & GVIF_TEXT)
        info.text = CellText(info.row, info.column);
    if (info.mask & GVIF_IMAGE)
        info.image = cell->image;
    if (info.mask & GVIF_PARAM)
        info.param = cell->param;
    if (info.mask & GVIF_STATE)
        info.state = cell->state;
    if (info.mask & GVIF_BKCLR)
        info.backColor = cell->backColor;
    if (info.mask & GVIF_FGCLR)
        info.textColor = cell->textColor;
    if (info.mask & GVIF_FORMAT)
        info.format = cell->format;
    if (info.mask & GVIF_FONT)
        info.font = m_fonts[cell->font];
    return true;
}

bool CGridCtrl::WriteItem(const GridItemInfo& info)
{
    CGridCellRecord* cell = Cell(info.row, info.column);
    if (!cell)
        return false;
    if (info.mask & GVIF_TEXT)
        cell->text = info.text;
    if (info.mask & GVIF_IMAGE)
        cell->image = info.image;
    if (info.mask & GVIF_PARAM)
        cell->param = info.param;
    if (info.mask & GVIF_STATE)
        cell->state = info.state;
    if (info.mask & GVIF_BKCLR)
        cell->backColor = info.backColor;
    if (info.mask & GVIF_FGCLR)
        cell->textColor = info.textColor;
    if (info.mask & GVIF_FORMAT)
        cell->format = info.format;
    if (info.mask & GVIF_FONT)
        cell->font = FontIndex(info.font);
    return true;
}

QString CGridCtrl::CellText(int row, int column) const
{
    const CGridCellRecord* cell = Cell(row, column);
    return cell ? cell->text : QString();
}

bool CGridCtrl::SetCellText(int row, int column, const QString& text)
{
    CGridCellRecord* cell = Cell(row, column);
    if (!cell)
        return false;
    cell->text = text;
    return true;
}

std::uint32_t CGridCtrl::CellState(int row, int column) const
{
    const CGridCellRecord* cell = Cell(row, column);
    return cell ? cell->state : 0;
}

std::uint32_t CGridCtrl::CellFormat(int row, int column) const
{
    const CGridCellRecord* cell = Cell(row, column);
    return cell ? cell->format : 0;
}

int CGridCtrl::CellImage(int row, int column) const
{
    const CGridCellRecord* cell = Cell(row, column);
    return cell ? cell->image : -1;
}

bool CGridCtrl::SetCellState(int row, int column, std::uint32_t state)
{
    CGridCellRecord* cell = Cell(row, column);
    if (!cell)
        return false;
    const bool was = cell->state & GVIS_SELECTED;
    const bool now = state & GVIS_SELECTED;
    if (was && !now)
        m_selected.remove(CellKey(row, column));
    else if (!was && now)
        m_selected.insert(CellKey(row, column));
    cell->state = state;
    return true;
}

QFont CGridCtrl::CellFont(int row, int column) const
{
    const CGridCellRecord* cell = Cell(row, column);
    return m_fonts[cell ? cell->font : 0];
}

bool CGridCtrl::SetCellFont(int row, int column, const QFont& font)
{
    CGridCellRecord* cell = Cell(row, column);
    if (!cell)
        return false;
    cell->font = FontIndex(font);
    return true;
}

void CGridCtrl::DeleteAllCells()
{
    ClearSelection();
    m_rowHeights.clear();
    m_columnWidths.clear();
    for (int r = 0; r < m_nRows; ++r)
        for (int c = 0; c < m_nColumns; ++c)
            ClearCell(m_rows[static_cast<size_t>(r)][static_cast<size_t>(c)], r, c);
    m_rows.clear();
    m_nRows = m_nColumns = m_nFixedRows = m_nFixedColumns = 0;
    m_kept.clear();
    RecalcScrollBars();
}

void CGridCtrl::MarkModified(bool modified, int row, int column)
{
    if (row >= 1 && column >= 1) {
        if (CGridCellRecord* cell = Cell(row, column)) {
            if (modified)
                cell->state |= GVIS_MODIFIED;
            else
                cell->state &= ~std::uint32_t(GVIS_MODIFIED);
        }
        if (modified)
            m_bModified = true;
    } else {
        m_bModified = modified;
    }
    if (!m_bModified)
        for (CGridRowArray& cells : m_rows)
            for (CGridCellRecord& cell : cells)
                cell.state &= ~std::uint32_t(GVIS_MODIFIED);
}

bool CGridCtrl::CanEditCell(int row, int column) const
{
    return m_bEditable && !(CellState(row, column) & GVIS_READONLY);
}

// ---------------------------------------------------------------- font and colours

void CGridCtrl::ApplyFont()
{
    m_fonts.assign(1, font());
    m_metrics.clear();
    for (CGridRowArray& cells : m_rows)
        for (CGridCellRecord& cell : cells)
            cell.font = 0;
    const QFontMetrics fm(font());
    m_nMargin = fm.horizontalAdvance(QLatin1Char(' '));
    m_nDefRowHeight = fm.height() + std::max(0, fm.leading()) + 2 * m_nMargin;
    m_nDefColumnWidth = 12 * fm.averageCharWidth() + 2 * m_nMargin;
    viewport()->update();
}

const QFontMetrics& CGridCtrl::Metrics(std::uint16_t font, bool bold) const
{
    if (m_metrics.size() != 2 * m_fonts.size()) {
        m_metrics.clear();
        m_metrics.reserve(2 * m_fonts.size());
        for (const QFont& f : m_fonts) {
            QFont semiBold(f);
            semiBold.setWeight(QFont::DemiBold);
            m_metrics.emplace_back(f);
            m_metrics.emplace_back(semiBold);
        }
    }
    return m_metrics[2 * size_t(font) + (bold ? 1 : 0)];
}

void CGridCtrl::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        ApplyFont();
        RecalcScrollBars();
    } else if (event->type() == QEvent::PaletteChange) {
        const QRgb oldWindowText = m_sysWindowText;
        const QRgb oldWindow = m_sysWindow;
        const QRgb old3DFace = m_sys3DFace;
        const QRgb old3DShadow = m_sys3DShadow;
        ReadSystemColors();
        auto follow = [](QRgb& color, QRgb was, QRgb now) {
            if (color == was)
                color = now;
        };
        follow(m_textColor, oldWindowText, m_sysWindowText);
        follow(m_textBackColor, oldWindow, m_sysWindow);
        follow(m_backColor, old3DShadow, m_sys3DShadow);
        follow(m_fixedTextColor, oldWindowText, m_sysWindowText);
        follow(m_fixedBackColor, old3DFace, m_sys3DFace);
        viewport()->update();
    } else if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
        // Another window took the mouse: a selection drag cannot go on scrolling by itself.
        m_autoScrollTimer.stop();
        if (m_nMouseMode == MOUSE_DRAGGING)
            m_nMouseMode = MOUSE_NOTHING;
    }
}

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
    RecalcScrollBars();
    m_bInSize = false;
}

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
    if (cell->state & GVIS_FOCUSED) {
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
    if (m_bAllowDraw) {
        RecalcScrollBars();
        viewport()->update();
    }
}

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
    const bool shift = modifiers & Qt::ShiftModifier;
    GridPos next = m_currentCell;
    bool changeLine = false;
    if (modifiers & Qt::ControlModifier) {
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
    const int lastRow = m_nRows - 1;
    switch (key) {
    case GK_TAB:
        if (!shift) {
            if (next.column < m_nColumns - 1) {
                ++next.column;
            } else if (next.row < lastRow) {
                ++next.row;
                next.column = m_nFixedColumns;
                changeLine = true;
            } else {
                return;
            }
        } else {
            if (next.column > m_nFixedColumns) {
                --next.column;
            } else if (next.column == m_nFixedColumns && next.row > m_nFixedRows) {
                --next.row;
                next.column = m_nColumns - 1;
                changeLine = true;
            } else {
                return;
            }
        }
        break;
    case GK_RETURN:
        NotifyParent(next.row, next.column, GVN_BEGINLABELEDIT);
        SetCellText(next.row, next.column, QStringLiteral("5150"));
        NotifyParent(next.row, next.column, GVN_ENDLABELEDIT);
        // Shown at the next paint, so the new text is never left stale on screen.
        InvalidateOneCell(next);
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
    case GK_DELETE:
        if (CanEditCell(next.row, next.column)) {
            NotifyParent(next.row, next.column, GVN_BEGINLABELEDIT);
            SetCellText(next.row, next.column, QString());
            MarkModified(true, next.row, next.column);
            NotifyParent(next.row, next.column, GVN_ENDLABELEDIT);
            RedrawOneCell(next.row, next.column);
        }
        return;
    default:
        return;
    }
    if (next == m_currentCell)
        return;
    if (m_nMouseMode == MOUSE_NOTHING) {
        m_kept.clear();
        m_nMouseMode = m_bListMode ? MOUSE_SELECT_ROW : MOUSE_SELECT_CELLS;
        if (!shift || key == GK_TAB)
            m_selectionStartCell = next;
        ExtendSelection(next);
        m_nMouseMode = MOUSE_NOTHING;
    }
    SetCurrentCell(next.row, next.column);
    SendSelChanged();
    if (IsCellShown(next.row, next.column))
        return;
    ScrollCellIntoView(next.row, next.column);
    switch (key) {
    case GK_TAB:
        if (!shift && changeLine) {
            OnVScroll(SB_LINEDOWN);
            SetScrollPos(Qt::Horizontal, 0);
        } else if (!shift) {
            OnHScroll(SB_LINEDOWN);
        } else if (changeLine) {
            OnVScroll(SB_LINEUP);
            SetScrollPos(Qt::Horizontal, horizontalScrollBar()->maximum());
        } else {
            OnHScroll(SB_LINEUP);
        }
        break;
    case GK_LEFT:
        OnHScroll(SB_LINEUP);
        break;
    case GK_UP:
        OnVScroll(SB_LINEUP);
        break;
    case GK_RIGHT:
        OnHScroll(SB_LINEDOWN);
        break;
    case GK_DOWN:
        OnVScroll(SB_LINEDOWN);
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
        default:
            break;
        }
    } else {
        UpdateHover(point);
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
    // border fits instead.
    if (m_nMouseMode == MOUSE_SIZING_COL || m_nMouseMode == MOUSE_SIZING_ROW) {
        CancelTrackingLine();
        m_nMouseMode = m_nMouseMode == MOUSE_SIZING_COL ? MOUSE_OVER_COL_DIVIDE : MOUSE_OVER_ROW_DIVIDE;
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

// ---------------------------------------------------------------- editing

void CGridCtrl::EditCellAt(int row, int column, unsigned startKey)
{
    const int cellColumn = EditColumn(column);
    ScrollCellIntoView(row, cellColumn);
    QRect rect;
    if (!IsValid(row, cellColumn) || !CanEditCell(row, cellColumn) || !IsCellShown(row, cellColumn)
        || !CellRect(row, cellColumn, rect))
        return;
    NotifyParent(row, cellColumn, GVN_BEGINLABELEDIT);
    GridItemInfo info;
    info.row = row;
    info.column = cellColumn;
    info.mask = GVIF_TEXT | GVIF_FORMAT;
    ReadItem(info);
    const int style = info.format & DT_RIGHT ? 2 : info.format & DT_CENTER ? 1 : 0;
    MakeInPlaceEditor(rect, style, kInPlaceControlId, row, column, info.text, startKey);
}

void CGridCtrl::MakeInPlaceEditor(
    const QRect& rect, int style, int controlId, int row, int column, const QString& text, unsigned startKey)
{
    // Without a derived grid to take it, the aliased column is edited as the cell it stands for.
    new CGridEditBox(this, rect, style, controlId, row, EditColumn(column), text, startKey);
}

void CGridCtrl::FinishCellEdit(int row, int column, const QString& text)
{
    // A cell removed while its edit was open takes nothing and marks nothing.
    if (IsValid(row, column) && CellText(row, column) != text) {
        MarkModified(true, row, column);
        SetCellText(row, column, text);
    }
}

int CGridCtrl::NotifyParent(int row, int column, int code)
{
    emit gridNotify(code, row, column);
    return 0;
}

int CGridCtrl::OnGridEditNotify(const GridEditNotify& notify)
{
    if (notify.controlId != kInPlaceControlId || notify.code != GVN_ENDLABELEDIT)
        return 0;
    const int row = notify.item.row;
    const int column = notify.item.column;
    FinishCellEdit(row, column, notify.item.text);
    InvalidateOneCell({ row, column });
    NotifyParent(row, column, GVN_ENDLABELEDIT);
    const unsigned key = notify.item.param;
    if (key == GK_TAB || IsGridNavKey(key)) {
        OnKeyDown(key, notify.modifiers);
        EditCellAt(m_currentCell.row, m_currentCell.column, key);
    }
    return 0;
}

// ---------------------------------------------------------------- attaching

bool AttachGridControl(QWidget* dialog, const QString& itemName, CGridCtrl& grid)
{
    if (grid.parentWidget())
        return true;
    QWidget* item = dialog ? dialog->findChild<QWidget*>(itemName) : nullptr;
    if (!item)
        return false;
    QWidget* parent = item->parentWidget();
    grid.setParent(parent);
    grid.setGeometry(item->geometry());
    if (parent->layout())
        delete parent->layout()->replaceWidget(item, &grid);
    grid.setVisible(!item->isHidden());
    delete item;
    grid.setObjectName(itemName);
    g_lastAttachedGrid = &grid;
    return true;
}

CGridCtrl* LastAttachedGrid()
{
    return g_lastAttachedGrid.data();
}
