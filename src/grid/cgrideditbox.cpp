#include "grid/cgrideditbox.h"

#include "grid/cgridctrl.h"
#include "grid/gridinplace.h"

#include <QKeyEvent>

#include <algorithm>

CGridEditBox::CGridEditBox(CGridCtrl* parent, const QRect& rect, int style, int controlId, int row, int column,
                           const QString& initialText, unsigned startKey)
    : QLineEdit(parent->viewport())
    , m_pGrid(parent)
    , m_nControlId(controlId)
    , m_nRow(row)
    , m_nColumn(column)
    , m_strInitText(initialText)
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
    show();
    setFocus(Qt::OtherFocusReason);
    if (startKey == GK_MOUSE || startKey == GK_BACK) {
        end(false);
        if (startKey == GK_BACK)
            backspace();
        return;
    }
    selectAll();
    if (startKey > GK_SPACE && !IsGridNavKey(startKey)) {
        const char32_t ch = startKey;
        insert(QString::fromUcs4(&ch, 1));
        GrowToText(*this, m_pGrid);
    }
}

bool CGridEditBox::event(QEvent* event)
{
    // While an edit runs every key belongs to the box: no shortcut, mnemonic or focus move.
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
    return QLineEdit::event(event);
}

void CGridEditBox::keyPressEvent(QKeyEvent* event)
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
        if (m_bExitOnArrows || (modifiers & Qt::ControlModifier))
            EndWith(GridNavKeyOf(event->key()), modifiers);
        else if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right)
            QLineEdit::keyPressEvent(event);
        return;
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
        setText(m_strInitText);
        EndWith(GK_ESCAPE, modifiers);
        return;
    default:
        break;
    }
    if (modifiers & Qt::AltModifier)
        return;
    QLineEdit::keyPressEvent(event);
    event->accept();
    if (!event->text().isEmpty())
        GrowToText(*this, m_pGrid);
}

void CGridEditBox::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason)
        Close();
}

void CGridEditBox::EndWith(unsigned key, Qt::KeyboardModifiers modifiers)
{
    m_nLastKey = key;
    m_lastModifiers = modifiers;
    if (m_pGrid)
        m_pGrid->setFocus(Qt::OtherFocusReason);
    Close();
}

void CGridEditBox::Close()
{
    if (m_bClosed)
        return;
    m_bClosed = true;
    CloseInPlaceEditor(*this, m_pGrid, m_nControlId, m_nRow, m_nColumn, text(), m_nLastKey, m_lastModifiers);
}
