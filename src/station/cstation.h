#pragma once

#include "serial/portsettings.h"
#include "transfer/sendimage.h"
#include "transfer/transferkind.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class CStationLine;
struct TransferRecord;

// What a production run flashes, and where.
struct StationConfig {
    TransferKind kind = TransferKind::Code;
    SendImage image; // read once; every line flashes these bytes
    QString sha256;  // of image.bytes, hex
    QStringList ports; // COMn names or device paths, one line each
    PortSettings settings;
    int rearmMs = 2000; // how long a line must be silent before the next receiver counts as new
    int count = 0;      // downloads to complete over all lines before the run ends; 0: until stopped
    QString logPath;    // JSON Lines records, one per finished download; empty: none
    QString station;    // the station's name in the records
    int syncTimeoutMs = 0; // how long one sync waits for its answer; 0: the engine's own
};

enum class LineState { Stopped, Waiting, Flashing, Pass, Fail, Lost };

// One line as the window's tile shows it.
struct LineStatus {
    QString port;
    QString device;
    LineState state = LineState::Stopped;
    int percent = 0;
    double bytesPerSecond = 0;
    int secondsLeft = -1;
    QString reason;     // of the last FAIL, or why the line is lost
    int receivers = 0;  // downloads finished on this line, passed or failed
};

struct StationTotals {
    int passed = 0;
    int failed = 0;
    double perHour = 0; // finished downloads per hour since the start or the last reset
};

// The production station: one transfer engine per line, each in its own loop: wait for a receiver
// (quietly), download, PASS or FAIL, wait until the line has been silent for the re-arm time, then wait
// for the next receiver. A lost line is opened again every second until it is back; the others go on.
// Lives on the GUI thread (or the command line's event loop); its signals come there.
class CStation : public QObject {
    Q_OBJECT

public:
    explicit CStation(StationConfig config, QObject* parent = nullptr);
    ~CStation() override; // stops every line and joins its worker

    void Start();
    void Stop();
    void StartLine(int line);
    void StopLine(int line);

    [[nodiscard]] const StationConfig& Config() const { return m_config; }
    [[nodiscard]] int LineCount() const;
    [[nodiscard]] LineStatus Line(int line) const;
    [[nodiscard]] StationTotals Totals() const;
    void ResetTotals();
    [[nodiscard]] bool Running() const;

signals:
    void lineChanged(int line);
    // One per finished download, with the fields of the command line's --log record plus "station",
    // "line" (the port) and "receiver" (the count on that line); already appended to the log.
    void recordWritten(const QJsonObject& record);
    // The run reached its count, or every line was stopped.
    void finished();
    // A record that could not be appended to the log, and why.
    void logFailed(const QString& reason);

private:
    void OnDownloadEnded(int line, const TransferRecord& record);
    void OnLineStopped();

    StationConfig m_config;
    StationTotals m_totals;
    QElapsedTimer m_since; // of the totals
    int m_nDone = 0;       // towards the run's count
    std::vector<std::unique_ptr<CStationLine>> m_lines;
};
