#include "base/anchors.h"

#include <QWidget>

void CAnchors::Place(QWidget* widget, const QRect& rect, int edges)
{
    widget->setGeometry(rect);
    m_anchors.push_back({ widget, rect, edges });
}

void CAnchors::Apply(QSize size) const
{
    const int dx = size.width() - m_base.width();
    const int dy = size.height() - m_base.height();
    for (const Anchor& anchor : m_anchors) {
        QRect rect = anchor.base;
        rect.setSize(rect.size() + QSize(anchor.edges & GrowX ? dx : 0, anchor.edges & GrowY ? dy : 0));
        rect.translate(anchor.edges & MoveX ? dx : 0, anchor.edges & MoveY ? dy : 0);
        anchor.widget->setGeometry(rect);
    }
}
