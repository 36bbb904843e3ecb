#include "ccommandline.h"
#include "cliio.h"
#include "commands.h"
#include "ctransferrun.h"
#include "serial/portsettings.h"
#include "transfer/ctransferengine.h"
#include "transfer/sendimage.h"

#include <QCryptographicHash>

int RunSend(const QStringList& args)
{
    CCommandLine line(QStringLiteral("send"), QStringLiteral("--port PORT --kind code|loader|preset [options] FILE"),
        QStringLiteral("Sends FILE to the receiver.\n"
                       "Exit codes: 0 completed, 1 failed, 2 port not opened, 3 port lost, 64 bad usage, "
                       "130/143 cancelled by SIGINT/SIGTERM."));
    AddTransferOptions(line);
    line.AddOption(
        { QStringLiteral("kind") }, QStringLiteral("What FILE is: code, loader or preset."), QStringLiteral("KIND"));
    line.AddOption({ QStringLiteral("baud") }, QStringLiteral("Baud rate (default 115200)."), QStringLiteral("N"));
    line.AddOption({ QStringLiteral("data-bits") }, QStringLiteral("Data bits (default 8)."), QStringLiteral("N"));
    line.AddOption({ QStringLiteral("parity") }, QStringLiteral("none, odd or even."), QStringLiteral("PARITY"));
    line.AddOption({ QStringLiteral("stop-bits") }, QStringLiteral("1, 1.5 or 2."), QStringLiteral("N"));
    line.Parse(args, 1, 1);
    const TransferOptions options = ReadTransferOptions(line);
    const TransferKind kind = ReadDownloadKind(line);
    PortSettings settings;
    settings.baudRate = std::uint32_t(line.Number(QStringLiteral("baud"), 1, 4000000, settings.baudRate));
    settings.dataBits = std::uint8_t(line.Number(QStringLiteral("data-bits"), 5, 11, settings.dataBits));
    constexpr std::uint8_t kParities[] = { kParityNone, kParityOdd, kParityEven };
    constexpr std::uint8_t kStopBits[] = { kStopBitsOne, kStopBitsOneHalf, kStopBitsTwo };
    const int parity = line.Choice(
        QStringLiteral("parity"), { QStringLiteral("none"), QStringLiteral("odd"), QStringLiteral("even") }, -1);
    const int stopBits = line.Choice(
        QStringLiteral("stop-bits"), { QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2") }, -1);
    if (parity >= 0)
        settings.parity = kParities[parity];
    if (stopBits >= 0)
        settings.stopBits = kStopBits[stopBits];

    const QString path = line.Positional().constFirst();
    // The record's bytes and SHA-256 are those of the very bytes that go on the wire.
    SendImage image = ReadSendImage(path);
    const bool readable = image.failure.isEmpty();
    const QString sha256 = readable
        ? QString::fromLatin1(QCryptographicHash::hash(image.bytes, QCryptographicHash::Sha256).toHex())
        : QString();
    CTransferRun run(options, std::uint64_t(image.bytes.size()));
    TransferRecord record;
    if (readable) {
        CTransferEngine engine;
        record = run.Run(engine, [&] { return engine.StartFileTransfer(run.Setup(kind, settings), std::move(image)); });
    } else {
        run.Print(image.failure, true);
        record.port = options.port;
    }
    record.kind = line.Value(QStringLiteral("kind"));
    record.file = path;
    record.sha256 = sha256;
    return run.Report(record);
}
