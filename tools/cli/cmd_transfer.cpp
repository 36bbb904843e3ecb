#include "base/messagebox.h"
#include "commands.h"
#include "serial/portsettings.h"
#include "transfer/ctransferengine.h"
#include "transfer/receivestore.h"
#include "transfer/transferreporter.h"

#include <QEventLoop>
#include <QSaveFile>
#include <QTimer>
#include <cstdio>
#include <initializer_list>
#include <optional>

namespace {

constexpr int kExitCompleted = 0;
constexpr int kExitFailed = 1;
constexpr int kExitPortError = 2;
constexpr int kReceiveExpectedPackets = 64;

void PrintLine(const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// The form and the preset editor, as lines on standard output.
class CCliReporter : public CTransferReporter {
public:
    explicit CCliReporter(int kind)
        : m_kind(kind)
    {
    }
    void SetStatusText(const QString& text) override { PrintLine(text); }
    void EnableStartButtons() override { }
    void TransferProgress(unsigned count, bool) override
    {
        const int expected = g_nExpectedPackets.load();
        if (count >= 1 && count <= unsigned(expected))
            PrintLine(QStringLiteral("Packet %1/%2 Received").arg(count).arg(expected));
    }
    [[nodiscard]] int DownloadKind() const override { return m_kind; }

private:
    int m_kind;
};

// Message boxes print their text and are answered at once.
class CPrintedMessages {
public:
    CPrintedMessages()
        : m_previous(SetMessageBoxHandler([](const QString& text, const QString&, unsigned type) {
            PrintLine(text);
            const unsigned buttons = type & kMessageButtonsMask;
            return (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? int(IDYES) : int(IDOK);
        }))
    {
    }
    ~CPrintedMessages() { SetMessageBoxHandler(m_previous); }
    CPrintedMessages(const CPrintedMessages&) = delete;
    CPrintedMessages& operator=(const CPrintedMessages&) = delete;

private:
    MessageBoxHandler m_previous;
};

// "--name value" or "--name=value" options followed or preceded by positional arguments.
struct ParsedArgs {
    QStringList names;
    QStringList values;
    QStringList positional;
    bool ok = true;

    [[nodiscard]] std::optional<QString> Value(const QString& name) const
    {
        const qsizetype i = names.lastIndexOf(name);
        if (i < 0)
            return std::nullopt;
        return values[i];
    }
};

ParsedArgs ParseArgs(const QStringList& args, const QStringList& known)
{
    ParsedArgs parsed;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (!arg.startsWith(QLatin1String("--"))) {
            parsed.positional << arg;
            continue;
        }
        QString name = arg.mid(2);
        QString value;
        const qsizetype eq = name.indexOf(QLatin1Char('='));
        if (eq >= 0) {
            value = name.mid(eq + 1);
            name.truncate(eq);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            parsed.ok = false;
        }
        if (!known.contains(name)) {
            std::fprintf(stderr, "unknown option --%s\n", name.toLocal8Bit().constData());
            parsed.ok = false;
        }
        parsed.names << name;
        parsed.values << value;
    }
    return parsed;
}

bool ParseNumber(const std::optional<QString>& text, long long low, long long high, long long& out)
{
    if (!text)
        return true;
    bool ok = false;
    const long long value = text->toLongLong(&ok);
    if (!ok || value < low || value > high)
        return false;
    out = value;
    return true;
}

// One of names, stored as the code at the same place; an absent option keeps out unchanged.
bool ParseChoice(const std::optional<QString>& text, std::initializer_list<const char*> names,
    std::initializer_list<uint8_t> codes, uint8_t& out)
{
    if (!text)
        return true;
    auto code = codes.begin();
    for (const char* name : names) {
        if (*text == QLatin1String(name)) {
            out = *code;
            return true;
        }
        ++code;
    }
    return false;
}

// Test runs shorten timers 2 and 3 with TESSAVO2_TIMERS="sync_ms,frame_ms".
void ApplyTimerOverride(CTransferEngine& engine)
{
    const QStringList parts = QString::fromLocal8Bit(qgetenv("TESSAVO2_TIMERS")).split(QLatin1Char(','));
    if (parts.size() != 2)
        return;
    const int syncMs = parts[0].toInt();
    const int frameMs = parts[1].toInt();
    if (syncMs > 0 && frameMs > 0)
        engine.SetTimerIntervals(syncMs, frameMs);
}

// Runs the event loop (the GUI thread's stand-in) until the worker has ended.
bool WaitForTransfer(CTransferEngine& engine, int timeoutSeconds)
{
    QEventLoop loop;
    bool success = false;
    QObject::connect(&engine, &CTransferEngine::TransferFinished, &loop, [&](bool ok) {
        success = ok;
        loop.quit();
    });
    QTimer timeout;
    if (timeoutSeconds > 0) {
        timeout.setSingleShot(true);
        QObject::connect(&timeout, &QTimer::timeout, &loop, [&] {
            std::fprintf(stderr, "receive: no end frame within %d s\n", timeoutSeconds);
            engine.CancelTransfer();
        });
        timeout.start(timeoutSeconds * 1000);
    }
    if (engine.IsTransferRunning())
        loop.exec();
    return success;
}

} // namespace

int RunSend(const QStringList& args)
{
    const ParsedArgs parsed = ParseArgs(args,
        { QStringLiteral("port"), QStringLiteral("kind"), QStringLiteral("baud"), QStringLiteral("data-bits"),
            QStringLiteral("parity"), QStringLiteral("stop-bits") });
    const std::optional<QString> port = parsed.Value(QStringLiteral("port"));
    const std::optional<QString> kindName = parsed.Value(QStringLiteral("kind"));
    if (!parsed.ok || parsed.positional.size() != 1 || !port || port->isEmpty() || !kindName)
        return kExitUsage;

    int kind = 0;
    if (*kindName == QLatin1String("code"))
        kind = 2;
    else if (*kindName == QLatin1String("preset"))
        kind = 3;
    else if (*kindName == QLatin1String("loader"))
        kind = 4;
    else
        return kExitUsage;

    PortSettings settings;
    long long baud = settings.baudRate;
    long long dataBits = settings.dataBits;
    if (!ParseNumber(parsed.Value(QStringLiteral("baud")), 1, 4000000, baud)
        || !ParseNumber(parsed.Value(QStringLiteral("data-bits")), 5, 11, dataBits))
        return kExitUsage;
    settings.baudRate = uint32_t(baud);
    settings.dataBits = uint8_t(dataBits);
    if (!ParseChoice(parsed.Value(QStringLiteral("parity")), { "none", "odd", "even" },
            { kParityNone, kParityOdd, kParityEven }, settings.parity)
        || !ParseChoice(parsed.Value(QStringLiteral("stop-bits")), { "1", "1.5", "2" },
            { kStopBitsOne, kStopBitsOneHalf, kStopBitsTwo }, settings.stopBits))
        return kExitUsage;

    const QString path = parsed.positional.first();
    CPrintedMessages messages;
    // Checked before the port is touched: a mistyped name should not wait for a receiver first.
    if (FILE* probe = std::fopen(path.toLocal8Bit().constData(), "rb"))
        std::fclose(probe);
    else {
        PrintLine(path + QStringLiteral(" Open Failed"));
        return kExitFailed;
    }

    CCliReporter reporter(kind);
    CTransferEngine engine;
    ApplyTimerOverride(engine);
    engine.SetPortSettings(settings);
    engine.SetPortDevice(*port);
    engine.SetSelectedPath(path);
    engine.SetTransferView(&reporter);
    if (!engine.StartFileTransfer())
        return kExitPortError;
    return WaitForTransfer(engine, 0) ? kExitCompleted : kExitFailed;
}

int RunReceive(const QStringList& args)
{
    const ParsedArgs parsed
        = ParseArgs(args, { QStringLiteral("port"), QStringLiteral("out"), QStringLiteral("timeout") });
    const std::optional<QString> port = parsed.Value(QStringLiteral("port"));
    const std::optional<QString> out = parsed.Value(QStringLiteral("out"));
    long long timeout = 0;
    if (!parsed.ok || !parsed.positional.isEmpty() || !port || port->isEmpty() || !out || out->isEmpty()
        || !ParseNumber(parsed.Value(QStringLiteral("timeout")), 1, 24 * 3600, timeout))
        return kExitUsage;

    CPrintedMessages messages;
    CCliReporter reporter(0);
    CTransferEngine engine;
    ApplyTimerOverride(engine);
    engine.SetPortDevice(*port);
    engine.SetTransferView(&reporter);
    g_nExpectedPackets = kReceiveExpectedPackets;
    if (!engine.StartBufferTransfer(6, nullptr, 0))
        return kExitPortError;
    if (!WaitForTransfer(engine, int(timeout)))
        return kExitFailed;

    QSaveFile file(*out);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(reinterpret_cast<const char*>(g_ReceiveStore.data()), engine.ReceivedLength())
            != engine.ReceivedLength()
        || !file.commit()) {
        std::fprintf(stderr, "receive: cannot write %s\n", out->toLocal8Bit().constData());
        return kExitFailed;
    }
    return kExitCompleted;
}
