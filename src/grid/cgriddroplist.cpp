#include "grid/cgriddroplist.h"

#include "grid/cgridctrl.h"
#include "grid/gridinplace.h"
#include "grid/cgriddroplistedit.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QStyle>

#include <algorithm>

CGridDropList::CGridDropList(CGridCtrl* parent, const QRect& rect, int style, int controlId, int row, int column,
                             const QStringList& items, const QString& initialText, unsigned startKey)
    : QComboBox(parent->viewport())
    , m_pGrid(parent)
    , m_nControlId(controlId)
    , m_nRow(row)
    , m_nColumn(column)
    , m_strInitText(initialText)
{
    setObjectName(QStringLiteral("id%1").arg(controlId));
    const bool editable = style != kDropDownList;
    if (editable) {
        setEditable(true);
        setLineEdit(new CGridDropListEdit(this));
        setInsertPolicy(QComboBox::NoInsert);
        setCompleter(nullptr);
    }
    setFont(parent->font());
    setMaxVisibleItems(m_nDropDownLines);
    addItems(items);

    const QFontMetrics fm(parent->font());
    int width = 0;
    for (const QString& item : items)
        width = std::max(width, fm.horizontalAdvance(item));
    width += this->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2 * fm.horizontalAdvance(QLatin1Char(' '));
    QRect area = rect;
    if (width > area.width())
        area.setWidth(width);
    setGeometry(area);
    view()->setMinimumWidth(width);

    const int match = initialText.isEmpty() ? -1 : findText(initialText, Qt::MatchStartsWith);
    setCurrentIndex(match);
    if (match < 0 && editable)
        setEditText(initialText);
    show();
    setFocus(Qt::OtherFocusReason);
    if (!editable)
        return;
    QLineEdit* edit = lineEdit();
    if (startKey == GK_MOUSE || startKey == GK_BACK) {
        edit->end(false);
        if (startKey == GK_BACK)
            edit->backspace();
        return;
    }
    edit->selectAll();
    if (startKey >= GK_SPACE && !IsGridNavKey(startKey)) {
        const char32_t ch = startKey;
        edit->insert(QString::fromUcs4(&ch, 1));
    }
}

bool CGridDropList::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QComboBox::event(event);
}

void CGridDropList::keyPressEvent(QKeyEvent* event)
{
    event->accept();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    switch (event->key()) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (m_bExitOnArrows || (modifiers & Qt::ControlModifier)) {
            EndWith(GridNavKeyOf(event->key()), modifiers);
            return;
        }
        break;
    case Qt::Key_Tab:
        EndWith(GK_TAB, modifiers);
        return;
    case Qt::Key_Backtab:
        EndWith(GK_TAB, modifiers | Qt::ShiftModifier);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        EndWith(GK_RETURN, modifiers);
        return;
    case Qt::Key_Escape:
        if (isEditable())
            setEditText(m_strInitText);
        else
            setCurrentIndex(findText(m_strInitText, Qt::MatchStartsWith));
        EndWith(GK_ESCAPE, modifiers);
        return;
    default:
        break;
    }
    if (modifiers & Qt::AltModifier)
        return;
    QComboBox::keyPressEvent(event);
    event->accept();
}

void CGridDropList::focusOutEvent(QFocusEvent* event)
{
    QComboBox::focusOutEvent(event);
    // The list's own popup takes the focus for a while; that does not end the edit.
    if (event->reason() != Qt::PopupFocusReason && !view()->isVisible())
        Close();
}

void CGridDropList::EndWith(unsigned key, Qt::KeyboardModifiers modifiers)
{
    m_nLastKey = key;
    m_lastModifiers = modifiers;
    if (m_pGrid)
        m_pGrid->setFocus(Qt::OtherFocusReason);
    Close();
}

void CGridDropList::Close()
{
    if (m_bClosed)
        return;
    m_bClosed = true;
    CloseInPlaceEditor(*this, m_pGrid, m_nControlId, m_nRow, m_nColumn, currentText(), m_nLastKey, m_lastModifiers);
}
