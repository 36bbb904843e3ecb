// Cells as text: the clipboard, and dragging and dropping cells.
#include "grid/cgridctrl.h"
#include "grid/gridinternal.h"

#include <QClipboard>
#include <QDrag>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QRegularExpression>
#include <vector>

using namespace gridimpl;

namespace {

CGridCtrl::DragRunner& DragRunnerSlot()
{
    static CGridCtrl::DragRunner runner;
    return runner;
}

// What follows the pointer during a drag: the first row of the dragged cells, as a tip shows it.
QPixmap DragPicture(QString text, const QPalette& palette)
{
    text.replace(QLatin1Char('\t'), QStringLiteral("  "));
    const QFontMetrics fm(QGuiApplication::font());
    text = fm.elidedText(text, Qt::ElideRight, 240);
    QPixmap picture(fm.horizontalAdvance(text) + 2 * fm.averageCharWidth(), fm.height() + 4);
    picture.fill(palette.color(QPalette::ToolTipBase));
    QPainter painter(&picture);
    painter.setPen(palette.color(QPalette::ToolTipText));
    painter.drawRect(picture.rect().adjusted(0, 0, -1, -1));
    painter.drawText(picture.rect(), Qt::AlignCenter, text);
    return picture;
}

} // namespace

void CGridCtrl::SetDragRunner(DragRunner runner)
{
    DragRunnerSlot() = std::move(runner);
}

// ---------------------------------------------------------------- clipboard

std::unique_ptr<QMimeData> CGridCtrl::SelectionToDataSource() const
{
    const GridBlock block = SelectedBlock();
    if (!IsValid(block))
        return nullptr;
    QString text;
    for (int r = block.minRow; r <= block.maxRow; ++r) {
        for (int c = block.minColumn; c <= block.maxColumn; ++c) {
            const CGridCellRecord* cell = Cell(r, c);
            if (cell && (cell->state & GVIS_SELECTED))
                text += cell->text.isEmpty() ? QStringLiteral(" ") : cell->text;
            if (c != block.maxColumn)
                text += QLatin1Char('\t');
        }
        if (r != block.maxRow)
            text += QLatin1Char('\n');
    }
    auto data = std::make_unique<QMimeData>();
    data->setText(text);
    return data;
}

void CGridCtrl::CopyCommand()
{
    if (std::unique_ptr<QMimeData> data = SelectionToDataSource())
        QGuiApplication::clipboard()->setMimeData(data.release());
}

void CGridCtrl::CutCommand()
{
    if (!m_bEditable)
        return;
    std::unique_ptr<QMimeData> data = SelectionToDataSource();
    if (!data)
        return;
    QGuiApplication::clipboard()->setMimeData(data.release());
    ClearSelectedText();
}

void CGridCtrl::ClearSelectedText()
{
    const EditBatch batch(*this);
    if (!m_bEditable)
        return;
    const QSet<qint64> selected = m_selected;
    for (const qint64 key : selected) {
        const int r = KeyRow(key);
        const int c = KeyColumn(key);
        CGridCellRecord* cell = Cell(r, c);
        if (!cell || !CanEditCell(r, c))
            continue;
        NotifyParent(r, c, GVN_BEGINLABELEDIT);
        ClearCell(*cell, r, c);
        MarkModified(true, r, c);
        NotifyParent(r, c, GVN_ENDLABELEDIT);
    }
    viewport()->update();
}

void CGridCtrl::PasteCommand()
{
    if (!m_bEditable)
        return;
    const GridPos target = IsValid(m_currentCell) ? m_currentCell : TopLeftScrolledCell();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (IsValid(target) && data)
        PasteDataAt(target, *data);
}

bool CGridCtrl::PasteDataAt(const GridPos& target, const QMimeData& data)
{
    const EditBatch batch(*this);
    if (!IsValid(target) || !CanEditCell(target.row, target.column) || !data.hasText())
        return false;
    QString text = data.text();
    // Text from elsewhere may carry the terminating NUL of its platform; nothing after it counts.
    if (const qsizetype nul = text.indexOf(QChar(0)); nul >= 0)
        text.truncate(nul);
    static const QRegularExpression separators(QStringLiteral("[\t,\n]+"));
    struct Paste {
        int row;
        int column;
        QString text;
    };
    std::vector<Paste> cells;
    int refused = 0;
    QString firstRefusal;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype k = 0; k < lines.size(); ++k) {
        QString line = lines[k];
        // An empty line still takes its row: it empties the first cell of it.
        if (line.isEmpty() && k + 1 < lines.size())
            line = QStringLiteral(" ");
        const QStringList fields = line.split(separators, Qt::SkipEmptyParts);
        for (qsizetype m = 0; m < fields.size(); ++m) {
            const int r = target.row + int(k);
            const int c = target.column + int(m);
            // Cells the owner made read-only keep their text; only the target was checked before.
            if (!IsValid(r, c) || !CanEditCell(r, c))
                continue;
            QString field = fields[m].trimmed();
            if (const int limit = ColumnMaxLength(c); limit > 0)
                field.truncate(limit);
            QString refusal;
            if (!AdmitCellText(r, c, field, refusal) && refused++ == 0)
                firstRefusal = refusal;
            cells.push_back({ r, c, field });
        }
    }
    // Half a block would leave rows that mix the old and the new; one bad cell keeps them all as they were.
    if (refused > 0) {
        emit cellTextRefused(firstRefusal, refused);
        return false;
    }
    for (const Paste& cell : cells) {
        NotifyParent(cell.row, cell.column, GVN_BEGINLABELEDIT);
        SetCellText(cell.row, cell.column, cell.text);
        MarkModified(true, cell.row, cell.column);
        NotifyParent(cell.row, cell.column, GVN_ENDLABELEDIT);
        SetCellState(cell.row, cell.column, CellState(cell.row, cell.column) & ~std::uint32_t(GVIS_SELECTED));
    }
    viewport()->update();
    return true;
}

bool CGridCtrl::CanCopy() const
{
    return !m_selected.isEmpty() && IsValid(SelectedBlock());
}

bool CGridCtrl::CanCut() const
{
    return m_bEditable && CanCopy();
}

bool CGridCtrl::CanPaste() const
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return IsValid(m_currentCell) && CanEditCell(m_currentCell.row, m_currentCell.column) && data && data->hasText();
}

// ---------------------------------------------------------------- drag and drop

void CGridCtrl::StartDrag()
{
    const EditBatch batch(*this);
    if (!m_bDragAndDrop)
        return;
    std::unique_ptr<QMimeData> data = SelectionToDataSource();
    if (!data)
        return;
    const GridBlock block = SelectedBlock();
    NotifyParent(block.minRow, block.minColumn, GVN_BEGINDRAG);
    m_nMouseMode = MOUSE_DRAGGING;
    auto* drag = new QDrag(viewport());
    drag->setPixmap(DragPicture(data->text().section(QLatin1Char('\n'), 0, 0), viewport()->palette()));
    drag->setMimeData(data.release());
    const DragRunner& runner = DragRunnerSlot();
    const Qt::DropAction result = runner ? runner(*drag) : drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    drag->deleteLater();
    m_nMouseMode = MOUSE_NOTHING;
    if (result == Qt::MoveAction)
        ClearSelectedText();
}

Qt::DropAction CGridCtrl::DropEffect(Qt::KeyboardModifiers keys)
{
    return keys & Qt::ControlModifier ? Qt::CopyAction : Qt::MoveAction;
}

bool CGridCtrl::AcceptsDrop(const QMimeData& data) const
{
    return m_bDragAndDrop && data.hasText();
}

Qt::DropAction CGridCtrl::DragEnterAt(const QMimeData& data, Qt::KeyboardModifiers keys, QPoint point)
{
    if (!AcceptsDrop(data))
        return Qt::IgnoreAction;
    m_dragOverCell = CellFromPoint(point, false);
    if (!IsValid(m_dragOverCell) || !CanEditCell(m_dragOverCell.row, m_dragOverCell.column))
        return Qt::IgnoreAction;
    MarkDropTarget(m_dragOverCell, true);
    return DropEffect(keys);
}

Qt::DropAction CGridCtrl::DragOverAt(const QMimeData& data, Qt::KeyboardModifiers keys, QPoint point)
{
    if (!AcceptsDrop(data) || !m_bEditable)
        return Qt::IgnoreAction;
    const GridPos cell = CellFromPoint(point, false);
    if (!IsValid(cell)) {
        DragLeaveNow();
        m_dragOverCell = {};
        return Qt::IgnoreAction;
    }
    if (cell == m_dragOverCell)
        return CanEditCell(cell.row, cell.column) ? DropEffect(keys) : Qt::IgnoreAction;
    DragLeaveNow();
    m_dragOverCell = cell;
    if (!CanEditCell(cell.row, cell.column))
        return Qt::IgnoreAction;
    MarkDropTarget(cell, true);
    return DropEffect(keys);
}

void CGridCtrl::DragLeaveNow()
{
    MarkDropTarget(m_dragOverCell, false);
}

void CGridCtrl::MarkDropTarget(const GridPos& cell, bool on)
{
    if (!IsValid(cell))
        return;
    const std::uint32_t state = CellState(cell.row, cell.column) & ~std::uint32_t(GVIS_DROPHILITED);
    SetCellState(cell.row, cell.column, on ? state | GVIS_DROPHILITED : state);
    RedrawOneCell(cell.row, cell.column);
}

bool CGridCtrl::DropAt(const QMimeData& data, Qt::DropAction, QPoint)
{
    const EditBatch batch(*this);
    if (!m_bDragAndDrop || !IsValid(m_dragOverCell) || !CanEditCell(m_dragOverCell.row, m_dragOverCell.column))
        return false;
    m_nMouseMode = MOUSE_NOTHING;
    DragLeaveNow();
    return PasteDataAt(m_dragOverCell, data);
}
