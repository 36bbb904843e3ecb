#include "base/screenfit.h"

#include <QApplication>
#include <QFontMetrics>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace {

int Logical(int devicePixels, const QScreen& screen)
{
    return int(std::ceil(devicePixels / screen.devicePixelRatio()));
}

} // namespace

QRect UsableClientArea(const QScreen& screen)
{
    QRect area = screen.availableGeometry();
    // A window manager that reserves nothing for its panel still has one.
    if (area == screen.geometry())
        area.setBottom(area.bottom() - Logical(kTaskbarAllowance, screen));
    return area.marginsRemoved(QMargins(Logical(kFrameAllowance.left(), screen), Logical(kFrameAllowance.top(), screen),
        Logical(kFrameAllowance.right(), screen), Logical(kFrameAllowance.bottom(), screen)));
}

QSize FitSize(QSize wanted, QSize minimum, const QRect& usable)
{
    return wanted.boundedTo(usable.size()).expandedTo(minimum);
}

QPoint PlaceClearOf(const QRect& avoid, QPoint wanted, QSize size, const QRect& usable)
{
    const auto inside = [&](QPoint p) {
        return QPoint(std::clamp(p.x(), usable.left(), std::max(usable.left(), usable.right() - size.width() + 1)),
            std::clamp(p.y(), usable.top(), std::max(usable.top(), usable.bottom() - size.height() + 1)));
    };
    const QPoint centred = inside(wanted);
    if (!QRect(centred, size).intersects(avoid))
        return centred;
    const int gap = 8;
    QPoint best = centred;
    int bestDistance = -1;
    for (const int y : { avoid.bottom() + 1 + gap, avoid.top() - gap - size.height() }) {
        const QPoint candidate(centred.x(), y);
        if (inside(candidate) != candidate)
            continue;
        const int distance = std::abs(y - centred.y());
        if (bestDistance < 0 || distance < bestDistance) {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best;
}

void FitWindowToScreen(QWidget& window)
{
    const QScreen* screen = window.screen();
    if (!screen)
        return;
    window.resize(FitSize(window.size(), window.minimumSize(), UsableClientArea(*screen)));
}

int TitleBarWidth(const QString& title, const QScreen& screen)
{
    QFont font = QApplication::font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(title) + Logical(kTitleButtonsAllowance, screen);
}
