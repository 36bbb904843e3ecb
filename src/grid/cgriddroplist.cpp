#include "grid/cgriddroplist.h"

#include "grid/cgridctrl.h"
#include "grid/cgriddroplistedit.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QStyle>
#include <algorithm>

CGridDropList::CGridDropList(CGridCtrl* parent, const QRect& rect, int style, int controlId, int row, int column,
    const QStringList& items, const QString& initialText, unsigned startKey)
    : QComboBox(parent->viewport())
    , m_session(parent, controlId, row, column, initialText)
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

    // An empty cell matches no string: opening and leaving its list must not invent a value.
    const int match = initialText.isEmpty() ? -1 : findText(initialText, Qt::MatchStartsWith);
    setCurrentIndex(match);
    if (match < 0 && editable)
        setEditText(initialText);
    show();
    setFocus(Qt::OtherFocusReason);
    if (editable)
        ApplyStartKey(*lineEdit(), startKey, true);
}

bool CGridDropList::event(QEvent* event)
{
    if (IsClaimedByEditor(event)) {
        if (event->type() == QEvent::KeyPress)
            keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    }
    return QComboBox::event(event);
}

void CGridDropList::keyPressEvent(QKeyEvent* event)
{
    event->accept();
    if (const unsigned key = m_session.TakeEndingKey(*event, m_bExitOnArrows)) {
        if (key == GK_ESCAPE) {
            if (isEditable())
                setEditText(m_session.InitialText());
            else
                setCurrentIndex(findText(m_session.InitialText(), Qt::MatchStartsWith));
        }
        m_session.End(*this, currentText());
        return;
    }
    // Alt+Up and Alt+Down open and close the list; other Alt combinations are swallowed.
    if ((event->modifiers() & Qt::AltModifier) && event->key() != Qt::Key_Up && event->key() != Qt::Key_Down)
        return;
    QComboBox::keyPressEvent(event);
    event->accept();
}

void CGridDropList::focusOutEvent(QFocusEvent* event)
{
    QComboBox::focusOutEvent(event);
    // The list's own popup takes the focus for a while; that does not end the edit.
    if (event->reason() != Qt::PopupFocusReason && !view()->isVisible())
        m_session.Close(*this, currentText());
}
