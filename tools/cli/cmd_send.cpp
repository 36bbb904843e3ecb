#include "ccommandline.h"
#include "cliio.h"
#include "commands.h"
#include "ctransferrun.h"
#include "serial/portsettings.h"
#include "transfer/ctransferengine.h"

#include <QCryptographicHash>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The form's download kinds by name.
constexpr int kKindCodes[] = { 2, 4, 3 };
const QStringList kKindNames { QStringLiteral("code"), QStringLiteral("loader"), QStringLiteral("preset") };

// Reads the whole file before anything is sent: only a regular file that reads to its end is sent, and
// opening without blocking keeps a FIFO from hanging the command. Fills sha256 on success.
bool ReadWholeFile(const QString& path, QByteArray& sha256, std::uint64_t& size)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info { };
    bool whole = fd >= 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    size = 0;
    char buffer[65536];
    while (whole) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        whole = got >= 0;
        if (got <= 0)
            break;
        hash.addData(QByteArrayView(buffer, got));
        size += std::uint64_t(got);
    }
    if (fd >= 0)
        ::close(fd);
    sha256 = hash.result().toHex();
    return whole;
}

} // namespace

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
    (void)line.Required(QStringLiteral("kind"));
    const int kind = kKindCodes[line.Choice(QStringLiteral("kind"), kKindNames, 0)];
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
    std::uint64_t size = 0;
    QByteArray sha256;
    const bool readable = ReadWholeFile(path, sha256, size);
    CTransferRun run(options, kind, size);
    TransferRecord record;
    if (readable) {
        CTransferEngine engine;
        engine.SetPortSettings(settings);
        engine.SetPortDevice(options.port);
        engine.SetSelectedPath(path);
        record = run.Run(engine, [&engine] { return engine.StartFileTransfer(); });
    } else {
        run.Print(path + QStringLiteral(" Open Failed"), true);
        record.port = options.port;
    }
    record.kind = line.Value(QStringLiteral("kind"));
    record.file = path;
    record.sha256 = readable ? QString::fromLatin1(sha256) : QString();
    return run.Report(record);
}
