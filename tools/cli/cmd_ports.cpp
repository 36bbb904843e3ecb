#include "ccommandline.h"
#include "cliio.h"
#include "commands.h"
#include "serial/serialportlist.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonValue OptionalId(const std::optional<std::uint16_t>& id)
{
    return id ? QJsonValue(QStringLiteral("%1").arg(*id, 4, 16, QLatin1Char('0'))) : QJsonValue();
}

QString ComNames(const QList<int>& ports)
{
    QStringList names;
    for (int port : ports)
        names << QStringLiteral("COM%1").arg(port);
    return names.join(QLatin1Char(','));
}

} // namespace

int RunPorts(const QStringList& args)
{
    CCommandLine line(QStringLiteral("ports"), QStringLiteral("[--json]"),
        QStringLiteral("Lists the serial ports of this machine and which of COM1 to COM4 names each."));
    line.AddOption({ QStringLiteral("json") }, QStringLiteral("Print the list as a JSON array."));
    line.Parse(args, 0, 0);
    const QList<SerialPortEntry> ports = ListSerialPorts();
    if (line.IsSet(QStringLiteral("json"))) {
        QJsonArray array;
        for (const SerialPortEntry& port : ports) {
            QJsonArray com;
            for (int n : port.comPorts)
                com.append(QStringLiteral("COM%1").arg(n));
            array.append(QJsonObject { { "device", port.device }, { "by_id", port.byIdPath },
                { "description", port.description }, { "manufacturer", port.manufacturer },
                { "serial_number", port.serialNumber }, { "vendor_id", OptionalId(port.vendorId) },
                { "product_id", OptionalId(port.productId) }, { "com", com } });
        }
        return WriteStandardOutput(QJsonDocument(array).toJson(QJsonDocument::Indented)) ? kExitCompleted : kExitFailed;
    }
    QString text;
    for (const SerialPortEntry& port : ports) {
        const QString ids = port.vendorId && port.productId ? QStringLiteral("%1:%2")
                                                                  .arg(*port.vendorId, 4, 16, QLatin1Char('0'))
                                                                  .arg(*port.productId, 4, 16, QLatin1Char('0'))
                                                            : QString();
        QStringList fields { port.device, ComNames(port.comPorts), port.byIdPath, port.description, port.manufacturer,
            port.serialNumber, ids };
        fields.removeAll(QString());
        text += fields.join(QStringLiteral("  ")) + QLatin1Char('\n');
    }
    return WriteStandardOutput(text.toLocal8Bit()) ? kExitCompleted : kExitFailed;
}
