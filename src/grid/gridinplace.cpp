#include "grid/gridinplace.h"

#include "grid/cgridctrl.h"

#include <QKeyEvent>
#include <QLineEdit>

unsigned GridNavKeyOf(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_PageUp:
        return GK_PRIOR;
    case Qt::Key_PageDown:
        return GK_NEXT;
    case Qt::Key_End:
        return GK_END;
    case Qt::Key_Home:
        return GK_HOME;
    case Qt::Key_Left:
        return GK_LEFT;
    case Qt::Key_Up:
        return GK_UP;
    case Qt::Key_Right:
        return GK_RIGHT;
    case Qt::Key_Down:
        return GK_DOWN;
    default:
        return 0;
    }
}

void GrowToText(QLineEdit& box, const CGridCtrl* grid)
{
    const int wanted = box.fontMetrics().horizontalAdvance(box.text() + QStringLiteral("  "));
    if (wanted <= box.width())
        return;
    int right = box.x() + wanted;
    if (grid)
        right = std::min(right, grid->viewport()->width());
    box.resize(std::max(box.width(), right - box.x()), box.height());
}

bool IsClaimedByEditor(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Tab || key == Qt::Key_Backtab;
}

bool ApplyStartKey(QLineEdit& field, unsigned startKey, bool spaceTypes)
{
    if (startKey == GK_MOUSE || startKey == GK_BACK) {
        field.end(false);
        if (startKey == GK_BACK)
            field.backspace();
        return false;
    }
    field.selectAll();
    if (startKey < GK_SPACE || (startKey == GK_SPACE && !spaceTypes) || IsGridNavKey(startKey))
        return false;
    const char32_t ch = startKey;
    field.insert(QString::fromUcs4(&ch, 1));
    return true;
}

CGridEditSession::CGridEditSession(CGridCtrl* grid, int controlId, int row, int column, const QString& initialText)
    : m_pGrid(grid)
    , m_nControlId(controlId)
    , m_nRow(row)
    , m_nColumn(column)
    , m_strInitText(initialText)
{
}

unsigned CGridEditSession::TakeEndingKey(const QKeyEvent& event, bool exitOnArrows)
{
    Qt::KeyboardModifiers modifiers = event.modifiers();
    unsigned key = 0;
    switch (event.key()) {
    case Qt::Key_Backtab:
        modifiers |= Qt::ShiftModifier;
        key = GK_TAB;
        break;
    case Qt::Key_Tab:
        key = GK_TAB;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        key = GK_RETURN;
        break;
    case Qt::Key_Escape:
        key = GK_ESCAPE;
        break;
    case Qt::Key_Home:
    case Qt::Key_End:
        break;
    default:
        if (exitOnArrows || (modifiers & Qt::ControlModifier))
            key = GridNavKeyOf(event.key());
        break;
    }
    if (key) {
        m_nLastKey = key;
        m_lastModifiers = modifiers;
    }
    return key;
}

void CGridEditSession::End(QWidget& editor, const QString& text)
{
    if (m_pGrid)
        m_pGrid->setFocus(Qt::OtherFocusReason);
    Close(editor, text);
}

void CGridEditSession::Close(QWidget& editor, const QString& text)
{
    if (m_bClosed)
        return;
    m_bClosed = true;
    editor.hide();
    editor.deleteLater();
    if (!m_pGrid)
        return;
    GridEditNotify notify;
    notify.controlId = m_nControlId;
    notify.item.row = m_nRow;
    notify.item.column = m_nColumn;
    notify.item.mask = GVIF_TEXT | GVIF_PARAM;
    notify.item.text = text;
    notify.item.param = m_nLastKey;
    notify.modifiers = m_lastModifiers;
    m_pGrid->OnGridEditNotify(notify);
}
