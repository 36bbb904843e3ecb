#include "base/dialogunits.h"

#include <QApplication>
#include <QFontMetrics>
#include <QWidget>

QString ResourceIdName(int id)
{
    return QStringLiteral("id%1").arg(id);
}

QFont DialogFont()
{
    QFont font = QApplication::font();
    font.setPointSize(8);
    return font;
}

CDialogUnits::CDialogUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    // The average over the 52 Latin letters, rounded, is how the base unit has always been taken.
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_charWidth = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
    m_charHeight = metrics.height();
}

int CDialogUnits::X(int du) const
{
    return du * m_charWidth / 4;
}

int CDialogUnits::Y(int du) const
{
    return du * m_charHeight / 8;
}

QRect CDialogUnits::Rect(int x, int y, int width, int height) const
{
    return QRect(X(x), Y(y), X(width), Y(height));
}

void CDialogUnits::Place(QWidget* widget, int x, int y, int width, int height) const
{
    widget->setGeometry(Rect(x, y, width, height));
}
