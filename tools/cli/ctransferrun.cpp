#include "ctransferrun.h"

#include "base/localpath.h"
#include "ccommandline.h"
#include "cliio.h"
#include "base/csignalpipe.h"
#include "transfer/ctransferengine.h"

#include <QEventLoop>
#include <QRegularExpression>
#include <QTimer>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kProgressIntervalMs = 100;
constexpr int kExitSignalBase = 128;

// Per-frame texts that the progress line stands for when both streams are on the terminal.
bool IsFrameCount(const QString& text)
{
    return CTransferEngine::AcknowledgedCount(text) >= 0 || text.startsWith(QLatin1String("Packet "));
}

void ApplyTimerOverride(CTransferEngine& engine)
{
    if (const auto [syncMs, frameMs] = TimerOverride(); syncMs > 0)
        engine.SetTimerIntervals(syncMs, frameMs);
}

// The form's download kinds by name.
constexpr TransferKind kKinds[] = { TransferKind::Code, TransferKind::Loader, TransferKind::Preset };
const QStringList kKindNames { QStringLiteral("code"), QStringLiteral("loader"), QStringLiteral("preset") };

} // namespace

std::pair<int, int> TimerOverride()
{
    const QStringList parts = qEnvironmentVariable("TESSAVO2_TIMERS").split(QLatin1Char(','));
    const int syncMs = parts.value(0).toInt();
    const int frameMs = parts.value(1).toInt();
    if (parts.size() == 2 && syncMs > 0 && frameMs > 0)
        return { syncMs, frameMs };
    return { 0, 0 };
}

TransferKind ReadDownloadKind(const CCommandLine& line)
{
    (void)line.Required(QStringLiteral("kind"));
    return kKinds[line.Choice(QStringLiteral("kind"), kKindNames, 0)];
}

void CheckPortName(const CCommandLine& line, const QString& port)
{
    static const QRegularExpression comName(QStringLiteral("^com(\\d+)$"), QRegularExpression::CaseInsensitiveOption);
    if (const QRegularExpressionMatch com = comName.match(port);
        com.hasMatch() && (com.captured(1).toInt() < 1 || com.captured(1).toInt() > 4))
        line.Fail(QStringLiteral("--port %1: the ports are COM1 to COM4, or a device path").arg(port));
}

void CheckLogPath(const CCommandLine& line, const QString& path)
{
    struct stat info { };
    if (!path.isEmpty() && ::stat(EncodePath(path).constData(), &info) == 0 && !S_ISREG(info.st_mode))
        line.Fail(QStringLiteral("--log %1: not a regular file").arg(path));
}

void AddTransferOptions(CCommandLine& line)
{
    line.AddOption(
        { QStringLiteral("port") }, QStringLiteral("COM1 to COM4, or a device path."), QStringLiteral("PORT"));
    line.AddOption(
        { QStringLiteral("timeout") }, QStringLiteral("Give up after SECONDS (exit 1)."), QStringLiteral("SECONDS"));
    line.AddOption({ QStringLiteral("json") },
        QStringLiteral("Print one JSON record of the transfer on standard output; status lines go to standard "
                       "error."));
    line.AddOption({ QStringLiteral("log") }, QStringLiteral("Append the JSON record to FILE, one line per transfer."),
        QStringLiteral("FILE"));
    line.AddOption({ QStringLiteral("quiet"), QStringLiteral("q") }, QStringLiteral("Print only errors."));
}

TransferOptions ReadTransferOptions(const CCommandLine& line)
{
    TransferOptions options;
    options.port = line.Required(QStringLiteral("port"));
    CheckPortName(line, options.port);
    options.timeoutSeconds = int(line.Number(QStringLiteral("timeout"), 1, 24 * 3600, 0));
    options.json = line.IsSet(QStringLiteral("json"));
    options.quiet = line.IsSet(QStringLiteral("quiet"));
    options.logPath = line.Value(QStringLiteral("log"));
    CheckLogPath(line, options.logPath);
    options.statusOnStderr = options.json;
    return options;
}

int ExitCodeFor(TransferResult result, int signal)
{
    switch (result) {
    case TransferResult::Completed:
        return kExitCompleted;
    case TransferResult::PortError:
        return kExitPortError;
    case TransferResult::PortLost:
        return kExitPortLost;
    case TransferResult::Cancelled:
        return signal != 0 ? kExitSignalBase + signal : kExitFailed;
    case TransferResult::Failed:
        break;
    }
    return kExitFailed;
}

CTransferRun::CTransferRun(const TransferOptions& options, std::uint64_t total)
    : m_options(options)
    , m_progress(!options.quiet && ::isatty(STDERR_FILENO) == 1, total)
    , m_signals(std::make_unique<CSignalPipe>())
{
    // Only the outcome of a transfer comes as a message box; all but success are failures.
    m_previousHandler = SetMessageBoxHandler([this](const QString& text, const QString&, unsigned type) {
        Print(text, text != QLatin1String("Transfer Completed "));
        const unsigned buttons = type & kMessageButtonsMask;
        return (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? int(IDYES) : int(IDOK);
    });
}

CTransferRun::~CTransferRun()
{
    SetMessageBoxHandler(m_previousHandler);
}

void CTransferRun::Print(const QString& text, bool error)
{
    if (!error && m_options.quiet)
        return;
    if (!error && m_progress.Shown() && ::isatty(STDOUT_FILENO) == 1 && IsFrameCount(text))
        return;
    m_progress.Print(error ? stderr : StatusStream(), text);
}

void CTransferRun::SetStatusText(const QString& text)
{
    Print(text, text == QLatin1String(CTransferEngine::kCrcWarningText));
}

TransferSetup CTransferRun::Setup(TransferKind kind, const PortSettings& settings, unsigned expectedPackets)
{
    m_nExpectedPackets = expectedPackets;
    return { this, settings, m_options.port, kind, expectedPackets };
}

void CTransferRun::TransferProgress(unsigned count, bool)
{
    const unsigned expected = m_nExpectedPackets.load();
    if (count >= 1 && count <= expected)
        Print(QStringLiteral("Packet %1/%2 Received").arg(count).arg(expected));
}

TransferRecord CTransferRun::Run(CTransferEngine& engine, const std::function<int()>& start)
{
    TransferRecord record;
    record.port = m_options.port;
    QElapsedTimer clock;
    clock.start();
    ApplyTimerOverride(engine);

    QEventLoop loop;
    QObject::connect(&engine, &CTransferEngine::TransferFinished, &loop, &QEventLoop::quit);
    QObject::connect(m_signals.get(), &CSignalPipe::Received, &loop, [&](int signal) {
        m_signal = signal;
        engine.CancelTransfer();
    });
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, [&] {
        m_timedOut = true;
        Print(QStringLiteral("Out of time: the transfer did not end within %1 s").arg(m_options.timeoutSeconds), true);
        engine.CancelTransfer();
    });
    QTimer progress;
    QObject::connect(&progress, &QTimer::timeout, &loop,
        [&] { m_progress.Update(engine.Stats(), double(clock.nsecsElapsed()) / 1e9); });

    if (start() != 0) {
        if (m_options.timeoutSeconds > 0)
            timeout.start(m_options.timeoutSeconds * 1000);
        if (m_progress.Shown())
            progress.start(kProgressIntervalMs);
        if (engine.IsTransferRunning())
            loop.exec();
    }
    m_progress.Finish();

    record.result = engine.LastResult();
    if (record.result == TransferResult::PortError && !engine.LastOpenError().isEmpty())
        Print(engine.LastOpenError(), true);
    if (m_timedOut && record.result == TransferResult::Cancelled)
        record.result = TransferResult::Failed;
    record.exitCode = ExitCodeFor(record.result, m_signal);
    record.device = engine.PortDevice();
    record.stats = engine.Stats();
    record.warning = engine.ReceiveWarning();
    record.seconds = double(clock.nsecsElapsed()) / 1e9;
    return record;
}

int CTransferRun::Report(TransferRecord& record)
{
    // A reader that went away (SIGPIPE is ignored) leaves the flash done but the run failed.
    if (!StandardOutputIntact() && record.exitCode == kExitCompleted)
        record.exitCode = kExitFailed;
    const QByteArray line = TransferRecordLine(record);
    bool reported = true;
    if (m_options.json)
        reported = WriteStandardOutput(line);
    if (!m_options.logPath.isEmpty()) {
        if (const QString failure = AppendToLog(m_options.logPath, line); !failure.isEmpty()) {
            PrintError(failure);
            reported = false;
        }
    }
    return (!reported && record.exitCode == kExitCompleted) ? kExitFailed : record.exitCode;
}
