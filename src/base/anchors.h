#pragma once

#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

// Children laid out for a window's base size. When the window is larger, each child grows and moves
// by the difference as its edges say: a list that should take the room grows, the controls below
// or beside it move along.
class CAnchors {
public:
    enum Edge { GrowX = 1, GrowY = 2, MoveX = 4, MoveY = 8 };

    explicit CAnchors(QSize base)
        : m_base(base)
    {
    }

    [[nodiscard]] QSize BaseSize() const { return m_base; }

    // rect is in the coordinates of the widget's parent.
    void Place(QWidget* widget, const QRect& rect, int edges);

    // Lays every child out for the window's size (from its resize event).
    void Apply(QSize size) const;

private:
    struct Anchor {
        QWidget* widget;
        QRect base;
        int edges;
    };

    QSize m_base;
    std::vector<Anchor> m_anchors;
};
