#include "grid/cgrideditbox.h"

#include "grid/cgridctrl.h"

#include <QKeyEvent>
#include <algorithm>

CGridEditBox::CGridEditBox(CGridCtrl* parent, const QRect& rect, int style, int controlId, int row, int column,
    const QString& initialText, unsigned startKey)
    : QLineEdit(parent->viewport())
    , m_session(parent, controlId, row, column, initialText)
    , m_bExitOnArrows(startKey != GK_MOUSE)
    , m_rect(rect)
{
    setObjectName(QStringLiteral("id%1").arg(controlId));
    setFrame(false);
    setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid palette(shadow); padding: 0px 1px; }"));
    const Qt::Alignment horizontal = style == 2 ? Qt::AlignRight : style == 1 ? Qt::AlignHCenter : Qt::AlignLeft;
    setAlignment(horizontal | Qt::AlignVCenter);
    setFont(parent->font());
    setGeometry(rect);
    setText(initialText);
    // A text already longer than the column allows is not cut by merely opening it.
    if (const int limit = parent->ColumnMaxLength(column); limit > 0)
        setMaxLength(std::max<int>(limit, int(initialText.size())));
    show();
    setFocus(Qt::OtherFocusReason);
    if (ApplyStartKey(*this, startKey, false))
        GrowToText(*this, parent);
}

bool CGridEditBox::event(QEvent* event)
{
    if (IsClaimedByEditor(event)) {
        if (event->type() == QEvent::KeyPress)
            keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    }
    return QLineEdit::event(event);
}

void CGridEditBox::keyPressEvent(QKeyEvent* event)
{
    event->accept();
    if (const unsigned key = m_session.TakeEndingKey(*event, m_bExitOnArrows)) {
        if (key == GK_ESCAPE)
            setText(m_session.InitialText());
        m_session.End(*this, text());
        return;
    }
    if (GridNavKeyOf(event->key()) && event->key() != Qt::Key_Left && event->key() != Qt::Key_Right
        && event->key() != Qt::Key_Home && event->key() != Qt::Key_End)
        return;
    if (event->modifiers() & Qt::AltModifier)
        return;
    QLineEdit::keyPressEvent(event);
    event->accept();
    if (!event->text().isEmpty())
        GrowToText(*this, m_session.Grid());
}

void CGridEditBox::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason)
        m_session.Close(*this, text());
}
