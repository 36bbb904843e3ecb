#include "base/csignalpipe.h"
#include "ccommandline.h"
#include "cliio.h"
#include "commands.h"
#include "ctransferrun.h"
#include "station/cstation.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QSysInfo>

namespace {

constexpr int kExitSignalBase = 128;

// One line per finished download, as the operator reads it: standard output, or standard error when
// standard output carries the JSON records.
void PrintResult(const QJsonObject& record, bool json)
{
    const QString port = record.value(QLatin1String("line")).toString();
    const int receiver = record.value(QLatin1String("receiver")).toInt();
    const QString text = record.value(QLatin1String("result")).toString() == QLatin1String("completed")
        ? QStringLiteral("PASS %1 %2 %3 s").arg(port).arg(receiver).arg(record.value(QLatin1String("seconds")).toDouble(), 0, 'f', 1)
        : QStringLiteral("FAIL %1 %2 %3").arg(port).arg(receiver).arg(record.value(QLatin1String("reason")).toString());
    if (json) {
        PrintError(text);
        (void)WriteStandardOutput(QJsonDocument(record).toJson(QJsonDocument::Compact) + '\n');
    } else {
        (void)WriteStandardOutput(text.toLocal8Bit() + '\n');
    }
}

} // namespace

int RunStation(const QStringList& args)
{
    CCommandLine line(QStringLiteral("station"),
        QStringLiteral("--kind code|loader|preset --port PORT [--port PORT ...] [options] FILE"),
        QStringLiteral("Flashes FILE into every receiver that answers on any of the ports, one after another on each\n"
                       "port, until COUNT downloads have ended or SIGINT/SIGTERM. A line must be silent for the\n"
                       "re-arm time before its next receiver counts as new, so none is flashed twice.\n"
                       "Prints PASS <port> <receiver> <seconds> s or FAIL <port> <receiver> <reason> per download\n"
                       "and a summary at the end.\n"
                       "Exit codes: 0 all passed, 1 any failed, 64 bad usage, 130/143 ended by SIGINT/SIGTERM."));
    line.AddOption({ QStringLiteral("kind") }, QStringLiteral("What FILE is: code, loader or preset."),
        QStringLiteral("KIND"));
    line.AddOption({ QStringLiteral("port") }, QStringLiteral("A line: COM1 to COM4 or a device path; repeat for more."),
        QStringLiteral("PORT"));
    line.AddOption({ QStringLiteral("baud") }, QStringLiteral("Baud rate of every line (default 115200)."),
        QStringLiteral("N"));
    line.AddOption({ QStringLiteral("count") },
        QStringLiteral("End after N downloads over all lines (default: until stopped)."), QStringLiteral("N"));
    line.AddOption({ QStringLiteral("rearm") },
        QStringLiteral("Seconds a line must be silent before the next receiver (default 2)."), QStringLiteral("SECONDS"));
    line.AddOption({ QStringLiteral("log") }, QStringLiteral("Append one JSON record per download to FILE."),
        QStringLiteral("FILE"));
    line.AddOption({ QStringLiteral("json") },
        QStringLiteral("Print the JSON records on standard output; the PASS/FAIL lines go to standard error."));
    line.Parse(args, 1, 1);

    StationConfig config;
    config.kind = ReadDownloadKind(line);
    config.ports = line.Values(QStringLiteral("port"));
    if (config.ports.isEmpty())
        line.Fail(QStringLiteral("--port is required"));
    for (const QString& port : std::as_const(config.ports)) {
        CheckPortName(line, port);
        if (config.ports.count(port) > 1)
            line.Fail(QStringLiteral("--port %1: given twice").arg(port));
    }
    config.settings.baudRate = std::uint32_t(line.Number(QStringLiteral("baud"), 1, 4000000, config.settings.baudRate));
    config.count = int(line.Number(QStringLiteral("count"), 1, 1000000, 0));
    bool ok = true;
    const double rearm = line.IsSet(QStringLiteral("rearm")) ? line.Value(QStringLiteral("rearm")).toDouble(&ok) : 2.0;
    if (!ok || rearm < 0.1 || rearm > 3600)
        line.Fail(QStringLiteral("--rearm %1: expected seconds from 0.1 to 3600").arg(line.Value(QStringLiteral("rearm"))));
    config.rearmMs = int(rearm * 1000);
    config.logPath = line.Value(QStringLiteral("log"));
    CheckLogPath(line, config.logPath);
    config.station = QSysInfo::machineHostName();
    config.syncTimeoutMs = TimerOverride().first;
    const bool json = line.IsSet(QStringLiteral("json"));

    config.image = ReadSendImage(line.Positional().constFirst());
    if (!config.image.failure.isEmpty()) {
        PrintError(config.image.failure);
        return kExitFailed;
    }
    config.sha256 = QString::fromLatin1(QCryptographicHash::hash(config.image.bytes, QCryptographicHash::Sha256).toHex());
    PrintError(QStringLiteral("%1: %2 bytes, SHA-256 %3").arg(config.image.path).arg(config.image.bytes.size()).arg(config.sha256));

    CStation station(std::move(config));
    QEventLoop loop;
    CSignalPipe stopSignals;
    int signal = 0;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&station, &CStation::recordWritten, &loop, [json](const QJsonObject& record) { PrintResult(record, json); });
    QObject::connect(&station, &CStation::logFailed, &loop, &PrintError);
    // A lost line is told once, when it goes; it comes back on its own.
    std::vector<LineState> shown(std::size_t(station.LineCount()), LineState::Stopped);
    QObject::connect(&station, &CStation::lineChanged, &loop, [&](int index) {
        const LineStatus status = station.Line(index);
        if (status.state == LineState::Lost && shown[std::size_t(index)] != LineState::Lost)
            PrintError(QStringLiteral("LOST %1 %2").arg(status.port, status.reason));
        shown[std::size_t(index)] = status.state;
    });
    QObject::connect(&stopSignals, &CSignalPipe::Received, &loop, [&](int received) {
        signal = received;
        station.Stop();
    });
    QObject::connect(&station, &CStation::finished, &loop, &QEventLoop::quit);
    station.Start();
    if (station.Running())
        loop.exec();

    const StationTotals totals = station.Totals();
    const QString summary = QStringLiteral("Summary: %1 passed, %2 failed, %3 s")
                                .arg(totals.passed)
                                .arg(totals.failed)
                                .arg(double(clock.elapsed()) / 1000.0, 0, 'f', 1);
    if (json)
        PrintError(summary);
    else
        (void)WriteStandardOutput(summary.toLocal8Bit() + '\n');
    if (signal != 0)
        return kExitSignalBase + signal;
    return totals.failed > 0 ? kExitFailed : kExitCompleted;
}
