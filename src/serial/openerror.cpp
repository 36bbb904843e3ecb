#include "serial/openerror.h"

#include <array>
#include <cerrno>
#include <grp.h>
#include <sys/stat.h>

namespace {

QString GroupOf(const QString& device)
{
    struct stat info { };
    if (::stat(device.toLocal8Bit().constData(), &info) != 0)
        return {};
    group entry {};
    group* found = nullptr;
    std::array<char, 4096> buffer {};
    if (getgrgid_r(info.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr)
        return QString::number(info.st_gid);
    return QString::fromLocal8Bit(found->gr_name);
}

// The advice comes before the command, so a narrow status bar still shows what to do.
QString PermissionAdvice(const QString& device)
{
    const QString group = GroupOf(device);
    if (group.isEmpty() || group == QLatin1String("root"))
        return QStringLiteral("serial ports belong to group \"dialout\" on Debian: add your user to it and log in "
                              "again (sudo adduser $USER dialout)");
    QString advice = QStringLiteral("the device belongs to group \"%1\": add your user to it and log in again "
                                    "(sudo adduser $USER %1")
                         .arg(group);
    if (group != QLatin1String("dialout"))
        advice += QStringLiteral("; serial ports use \"dialout\" on Debian");
    return advice + QLatin1Char(')');
}

} // namespace

QString DescribeOpenError(const QString& device, int error)
{
    if (error == 0)
        return {};
    const QString prefix = device + QStringLiteral(": ");
    switch (error) {
    case EACCES:
    case EPERM:
        return prefix + QStringLiteral("permission denied; ") + PermissionAdvice(device);
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return prefix
            + QStringLiteral("no such device (is the adapter plugged in? tessavo2-cli ports lists the "
                             "serial ports)");
    case EBUSY:
        return prefix + QStringLiteral("in use by another program");
    case ENOTTY:
        return prefix + QStringLiteral("not a serial port");
    case EINVAL:
        return prefix
            + QStringLiteral("the line does not take these settings (data bits, stop bits, parity or "
                             "speed)");
    default:
        return prefix + qt_error_string(error);
    }
}
