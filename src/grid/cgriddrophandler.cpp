#include "grid/cgriddrophandler.h"

#include "grid/cgridctrl.h"

#include <QDragMoveEvent>
#include <QDropEvent>

CGridDropHandler::~CGridDropHandler()
{
    Revoke();
}

bool CGridDropHandler::Register(QWidget* grid)
{
    auto* target = qobject_cast<CGridCtrl*>(grid);
    if (m_bRegistered || !target)
        return false;
    m_pGrid = target;
    m_bRegistered = true;
    target->viewport()->setAcceptDrops(true);
    target->viewport()->installEventFilter(this);
    return true;
}

void CGridDropHandler::Revoke()
{
    if (!m_bRegistered)
        return;
    m_bRegistered = false;
    if (m_pGrid) {
        m_pGrid->viewport()->removeEventFilter(this);
        m_pGrid->viewport()->setAcceptDrops(false);
    }
}

bool CGridDropHandler::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_pGrid || watched != m_pGrid->viewport())
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        const QPoint point = drag->position().toPoint();
        const Qt::DropAction effect = event->type() == QEvent::DragEnter
            ? m_pGrid->DragEnterAt(*drag->mimeData(), drag->modifiers(), point)
            : m_pGrid->DragOverAt(*drag->mimeData(), drag->modifiers(), point);
        if (effect == Qt::IgnoreAction && event->type() == QEvent::DragMove) {
            drag->ignore();
        } else if (effect == Qt::IgnoreAction) {
            // Entering over a heading or a read-only cell: the drag may still move on to a cell
            // that takes it, so the viewport keeps hearing about it.
            drag->setDropAction(Qt::IgnoreAction);
            drag->accept();
        } else {
            drag->setDropAction(effect);
            drag->accept();
        }
        return true;
    }
    case QEvent::DragLeave:
        m_pGrid->DragLeaveNow();
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const Qt::DropAction effect = CGridCtrl::DropEffect(drop->modifiers());
        if (m_pGrid->DropAt(*drop->mimeData(), effect, drop->position().toPoint())) {
            drop->setDropAction(effect);
            drop->accept();
        } else {
            drop->ignore();
        }
        return true;
    }
    default:
        return false;
    }
}
