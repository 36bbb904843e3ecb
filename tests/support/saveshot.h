#pragma once

#include <QString>
#include <QWidget>
#include <QtTest>

// With TESSAVO2_SHOT_DIR set, saves what the widget shows there as a PNG of the given name.
inline void SaveShot(QWidget& widget, const char* name)
{
    const QString dir = qEnvironmentVariable("TESSAVO2_SHOT_DIR");
    if (!dir.isEmpty())
        QVERIFY(widget.grab().save(dir + QLatin1Char('/') + QLatin1String(name)));
}
