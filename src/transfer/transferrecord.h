#pragma once

#include "transfer/transferresult.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>

// Local time with its offset from UTC, as the record shows it.
[[nodiscard]] inline QDateTime LocalTimeWithOffset()
{
    const QDateTime now = QDateTime::currentDateTime();
    return now.toOffsetFromUtc(now.offsetFromUtc());
}

// What the command line's --json prints and every log of transfers (--log, the desktop tool's history,
// the production station) appends when a transfer ends.
struct TransferRecord {
    TransferResult result = TransferResult::Failed;
    int exitCode = 1;
    QString port;
    QString device;
    QString kind;
    QString file;
    QString sha256;
    QString warning; // the engine's warning of the transfer, if any
    QString presetCheck; // "failed" when received data fails the preset check
    TransferStats stats;
    double seconds = 0;
    QDateTime started = LocalTimeWithOffset();
    QJsonObject extra; // more fields, as the production station adds its line and receiver count
};

// The exit code the command line gives a transfer that ended so (a cancel counts as one by SIGINT).
[[nodiscard]] int RecordExitCode(TransferResult result);

// The record as one line of compact JSON, with its line end.
[[nodiscard]] QByteArray TransferRecordLine(const TransferRecord& record);

// Appends line to the log at path with one write on a file opened for appending, so that processes
// sharing the log never mix their lines. Empty on success, else the reason, starting with the path.
[[nodiscard]] QString AppendToLog(const QString& path, const QByteArray& line);

// The records of a log, oldest first; lines that are no JSON object (a line cut by a full disk) are left out.
[[nodiscard]] QList<QJsonObject> ReadTransferRecords(const QString& path);
