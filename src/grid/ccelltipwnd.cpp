#include "grid/ccelltipwnd.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QWindow>

CCellTipWnd::CCellTipWnd(QWidget* owner, QWidget* viewport)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
    , m_pViewport(viewport)
{
    setObjectName(QStringLiteral("CellTipPopup"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setAutoFillBackground(true);
    hide();
    // A tip must not outlive the application's focus: it would float over other programs.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* window) {
        if (!window)
            HideTip();
    });
}

bool CCellTipWnd::ShowTip(
    const QRect& titleRect, const QString& text, int xOffset, const QRect& hoverRect, const QFont& font)
{
    if (titleRect.isEmpty() || !m_pViewport)
        return false;
    m_hoverRect = hoverRect.isEmpty() ? titleRect : hoverRect;
    if (isVisible() || !QApplication::focusWindow())
        return isVisible();
    const QString shown = QLatin1Char(' ') + text + QLatin1Char(' ');
    const int width = QFontMetrics(font).horizontalAdvance(shown);
    if (width <= titleRect.width() - 2 * xOffset)
        return false;
    m_strText = text;
    m_font = font;
    setFont(font);
    setGeometry(QRect(m_pViewport->mapToGlobal(QPoint(titleRect.left() + xOffset, titleRect.top())),
        QSize(xOffset + width, titleRect.height())));
    show();
    return true;
}

void CCellTipWnd::HideTip()
{
    hide();
}

void CCellTipWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::ToolTipText));
    painter.setFont(m_font);
    painter.drawText(
        rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, QLatin1Char(' ') + m_strText + QLatin1Char(' '));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

bool CCellTipWnd::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
        if (m_pViewport
            && m_hoverRect.contains(
                m_pViewport->mapFromGlobal(static_cast<QMouseEvent*>(event)->globalPosition()).toPoint()))
            return true;
        Forward(event);
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        Forward(event);
        return true;
    default:
        return QWidget::event(event);
    }
}

// The tip steps aside and the viewport gets the input at the same place on the screen.
void CCellTipWnd::Forward(QEvent* event)
{
    HideTip();
    if (!m_pViewport)
        return;
    if (event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        QWheelEvent copy(m_pViewport->mapFromGlobal(wheel->globalPosition()), wheel->globalPosition(),
            wheel->pixelDelta(), wheel->angleDelta(), wheel->buttons(), wheel->modifiers(), wheel->phase(),
            wheel->inverted());
        QApplication::sendEvent(m_pViewport, &copy);
        return;
    }
    auto* mouse = static_cast<QMouseEvent*>(event);
    QMouseEvent copy(mouse->type(), m_pViewport->mapFromGlobal(mouse->globalPosition()), mouse->globalPosition(),
        mouse->button(), mouse->buttons(), mouse->modifiers());
    QApplication::sendEvent(m_pViewport, &copy);
}
