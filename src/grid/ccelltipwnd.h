#pragma once

#include <QFont>
#include <QPointer>
#include <QRect>
#include <QWidget>

// The popup that shows the whole text of a cell whose text is cut. It never takes the focus
// and never keeps input from the grid: a press on it, or a move out of the cell it covers,
// hides it and reaches the grid beneath as if the tip were not there.
class CCellTipWnd : public QWidget {
    Q_OBJECT

public:
    // viewport: the widget whose coordinates the rectangles are given in, and which receives
    // the input that lands on the tip.
    explicit CCellTipWnd(QWidget* owner, QWidget* viewport);

    // Shows text over titleRect when the text with a space on each side is wider than it.
    // hoverRect is where the pointer may move without hiding the tip (titleRect when empty).
    // True when the tip is shown.
    bool ShowTip(const QRect& titleRect, const QString& text, int xOffset, const QRect& hoverRect, const QFont& font);
    void HideTip();
    [[nodiscard]] const QString& Text() const { return m_strText; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    void Forward(QEvent* event);

    QPointer<QWidget> m_pViewport;
    QRect m_hoverRect;
    QString m_strText;
    QFont m_font;
};
