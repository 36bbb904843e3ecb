#include "serial/serialportlist.h"

#include "serial/portname.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>
#include <sys/stat.h>

namespace {

// Entries are matched by the file they finally name, so a by-id link, a symlink in /tmp and the
// device itself are one port.
QString CanonicalOrSelf(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

QString ByIdPathFor(const QString& canonicalDevice)
{
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo& link : byId.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name)) {
        if (link.canonicalFilePath() == canonicalDevice)
            return link.absoluteFilePath();
    }
    return {};
}

} // namespace

QList<SerialPortEntry> ListSerialPorts()
{
    QList<SerialPortEntry> entries;
    QList<QString> canonical;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialPortEntry entry;
        entry.device = info.systemLocation();
        entry.description = info.description();
        entry.manufacturer = info.manufacturer();
        entry.serialNumber = info.serialNumber();
        if (info.hasVendorIdentifier())
            entry.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            entry.productId = info.productIdentifier();
        canonical.append(CanonicalOrSelf(entry.device));
        entry.byIdPath = ByIdPathFor(canonical.last());
        entries.append(entry);
    }
    for (int port = 1; port <= kComPortCount; ++port) {
        const ResolvedPort resolved = ResolvePort(port);
        const QString target = CanonicalOrSelf(resolved.device);
        qsizetype index = canonical.indexOf(target);
        if (index < 0) {
            // A default /dev/ttyS<n> without a UART stays out, as the enumeration leaves it out.
            if (resolved.source == PortNameSource::Default || !QFileInfo::exists(resolved.device))
                continue;
            SerialPortEntry entry;
            entry.device = resolved.device;
            entry.byIdPath = ByIdPathFor(target);
            entries.append(entry);
            canonical.append(target);
            index = entries.size() - 1;
        }
        entries[index].comPorts.append(port);
    }
    std::stable_sort(entries.begin(), entries.end(),
        [](const SerialPortEntry& a, const SerialPortEntry& b) { return a.device < b.device; });
    return entries;
}

bool IsDevicePresent(const QString& path)
{
    struct stat status { };
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISCHR(status.st_mode);
}

QString StablePortName(const SerialPortEntry& entry)
{
    return entry.byIdPath.isEmpty() ? entry.device : entry.byIdPath;
}

QString PortEntryText(const SerialPortEntry& entry)
{
    QString text = entry.byIdPath.isEmpty() ? entry.device : QFileInfo(entry.byIdPath).fileName();
    if (!entry.description.isEmpty())
        text += QStringLiteral(" - ") + entry.description;
    return text;
}
