#include "serial/portname.h"

#include <QRegularExpression>
#include <QSettings>

namespace {

QString SettingsKey(int port)
{
    return QStringLiteral("Ports/COM%1").arg(port);
}

} // namespace

ResolvedPort ResolvePort(int port)
{
    const QByteArray fromEnv = qgetenv(QStringLiteral("TESSAVO2_COM%1").arg(port).toLatin1().constData());
    if (!fromEnv.isEmpty())
        return { QString::fromLocal8Bit(fromEnv), PortNameSource::Environment };
    const QString saved = SavedDeviceForPort(port);
    if (!saved.isEmpty())
        return { saved, PortNameSource::Saved };
    return { QStringLiteral("/dev/ttyS%1").arg(port - 1), PortNameSource::Default };
}

QString DevicePathForPort(int port)
{
    return ResolvePort(port).device;
}

QString DevicePathForName(const QString& name)
{
    static const QRegularExpression comName(QStringLiteral("^[Cc][Oo][Mm]([1-9][0-9]?)$"));
    const QRegularExpressionMatch match = comName.match(name);
    if (match.hasMatch())
        return DevicePathForPort(match.captured(1).toInt());
    return name;
}

QString SavedDeviceForPort(int port)
{
    return QSettings(QStringLiteral("Tessavo2"), QStringLiteral("Tessavo2")).value(SettingsKey(port)).toString();
}

void SaveDeviceForPort(int port, const QString& device)
{
    QSettings settings(QStringLiteral("Tessavo2"), QStringLiteral("Tessavo2"));
    if (device.isEmpty())
        settings.remove(SettingsKey(port));
    else
        settings.setValue(SettingsKey(port), device);
}
