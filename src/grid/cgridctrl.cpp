// The cell model: counts, sizes, cell records, fonts and colours, and attaching to a dialog.
#include "grid/cgridctrl.h"

#include "grid/cgridaccessible.h"
#include "grid/gridinternal.h"

#include <QApplication>
#include <QLayout>
#include <QPointer>
#include <QScrollBar>
#include <algorithm>

using namespace gridimpl;

namespace {

QPointer<CGridCtrl> g_lastAttachedGrid;

} // namespace

CGridCtrl::CGridCtrl(int rows, int columns, int fixedRows, int fixedColumns, QWidget* parent)
    : QAbstractScrollArea(parent)
{
    InstallGridAccessibility();
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
    m_dropHandler.Register(this);
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

void CGridCtrl::SetEnterText(int column, const QString& text)
{
    if (text.isEmpty())
        m_enterTexts.remove(column);
    else
        m_enterTexts.insert(column, text);
}

void CGridCtrl::SetColumnMaxLength(int column, int length)
{
    if (length > 0)
        m_maxLengths.insert(column, length);
    else
        m_maxLengths.remove(column);
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
