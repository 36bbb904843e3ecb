#pragma once

#include <QAbstractScrollArea>
#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <QtTest>

// A shown window as a desktop would show it: with a window manager's frame (title bar 30 device
// pixels, borders 4) and a 40-pixel taskbar it fits on its screen, its title bar has room for the
// title, an icon and three buttons, and none of its controls sticks out of its parent (what a
// scroll area holds may, as it scrolls).
inline void CheckFitsScreen(QWidget& window)
{
    const QScreen& screen = *window.screen();
    const qreal ratio = screen.devicePixelRatio();
    const QString name = window.windowTitle();
    const QSizeF framed = QSizeF(window.size()) * ratio + QSizeF(4 + 4, 30 + 4);
    const QSizeF room = QSizeF(screen.geometry().size()) * ratio - QSizeF(0, 40);
    QVERIFY2(framed.width() <= room.width() && framed.height() <= room.height(), qPrintable(name));
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    const qreal titleBar = QFontMetricsF(titleFont).horizontalAdvance(name) * ratio + 3 * 26 + 24 + 16;
    QVERIFY2(titleBar <= window.width() * ratio, qPrintable(name + QStringLiteral(": title cut")));
    for (QWidget* child : window.findChildren<QWidget*>()) {
        QWidget* parent = child->parentWidget();
        if (!child->isVisibleTo(&window) || child->isWindow()
            || qobject_cast<QAbstractScrollArea*>(parent->parentWidget()))
            continue;
        QVERIFY2(parent->rect().contains(child->geometry()), qPrintable(name + '/' + child->objectName()));
    }
}
