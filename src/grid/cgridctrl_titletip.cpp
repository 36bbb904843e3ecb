// The title tip: the whole text of a cut cell under the pointer.
#include "grid/ccelltipwnd.h"
#include "grid/cgridctrl.h"

#include <QCursor>

void CGridCtrl::SetTitleTips(bool on)
{
    m_bTitleTips = on;
    if (!on && m_pTip) {
        delete m_pTip.data();
        m_tipCell = {};
    }
}

void CGridCtrl::HideTitleTip()
{
    if (m_pTip)
        m_pTip->HideTip();
    m_tipCell = {};
}

void CGridCtrl::OfferTitleTip(QPoint point)
{
    const GridPos cell = CellFromPoint(point, true);
    if (cell != m_tipCell)
        HideTitleTip();
    QRect textRect;
    QRect cellRect;
    if (!m_bTitleTips || !CellTextRect(cell.row, cell.column, textRect) || !CellRect(cell.row, cell.column, cellRect))
        return;
    m_tipCell = cell;
    if (!m_pTip)
        m_pTip = new CCellTipWnd(this, viewport());
    // The tip's text has a space on each side, as wide as the margins the cell draws its text in.
    m_pTip->ShowTip(textRect, CellText(cell.row, cell.column), 0, cellRect, CellFont(cell.row, cell.column));
}

bool CGridCtrl::viewportEvent(QEvent* event)
{
    // Moving onto the tip itself is no leaving: the tip hands such moves back.
    if (event->type() == QEvent::Leave && !(m_pTip && m_pTip->geometry().contains(QCursor::pos())))
        HideTitleTip();
    return QAbstractScrollArea::viewportEvent(event);
}

CCellTipWnd* CGridCtrl::TitleTip() const
{
    return m_pTip.data();
}
