#include "grid/cgriddroplistedit.h"

#include <QKeyEvent>

CGridDropListEdit::CGridDropListEdit(QWidget* parent)
    : QLineEdit(parent)
{
    setFrame(false);
}

void CGridDropListEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() & Qt::AltModifier) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
