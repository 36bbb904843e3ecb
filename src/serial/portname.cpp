#include "serial/portname.h"

#include <QRegularExpression>

QString DevicePathForPort(int port)
{
    const QByteArray fromEnv = qgetenv(QStringLiteral("TESSAVO2_COM%1").arg(port).toLatin1().constData());
    if (!fromEnv.isEmpty())
        return QString::fromLocal8Bit(fromEnv);
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
}

QString DevicePathForName(const QString& name)
{
    static const QRegularExpression comName(QStringLiteral("^[Cc][Oo][Mm]([1-9][0-9]?)$"));
    const QRegularExpressionMatch match = comName.match(name);
    if (match.hasMatch())
        return DevicePathForPort(match.captured(1).toInt());
    return name;
}
