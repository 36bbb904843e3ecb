#include "station/stationrecords.h"

#include "base/savewholefile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QStandardPaths>
#include <array>

namespace {

// The columns a spreadsheet of a day's production needs first, then the rest of the record.
constexpr std::array kColumns { "started", "station", "line", "receiver", "result", "reason", "kind", "file", "sha256",
    "bytes", "seconds", "bytes_per_second", "port", "device", "frames", "resent_frames", "no_answers", "warning",
    "exit_code" };

QByteArray CsvField(const QJsonValue& value)
{
    QString text;
    if (value.isDouble())
        text = QString::number(value.toDouble(), 'g', 15);
    else if (value.isBool())
        text = value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    else
        text = value.toString();
    QByteArray bytes = text.toUtf8();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\n') || bytes.contains('\r')) {
        bytes.replace('"', "\"\"");
        bytes = '"' + bytes + '"';
    }
    return bytes;
}

QString Duration(int seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString Rate(double bytesPerSecond)
{
    if (bytesPerSecond >= 1024)
        return QStringLiteral("%1 KiB/s").arg(bytesPerSecond / 1024, 0, 'f', 1);
    return QStringLiteral("%1 B/s").arg(qRound(bytesPerSecond));
}

} // namespace

QString DefaultStationLogPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("station.jsonl"));
}

QList<QJsonObject> ReadDayRecords(const QString& logPath, QDate day, QString* error)
{
    QList<QJsonObject> records;
    QFile file(logPath);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(logPath, file.errorString());
        return records;
    }
    while (!file.atEnd()) {
        const QJsonObject record = QJsonDocument::fromJson(file.readLine()).object();
        const QDateTime started
            = QDateTime::fromString(record.value(QLatin1String("started")).toString(), Qt::ISODateWithMs);
        if (started.isValid() && started.date() == day)
            records.append(record);
    }
    return records;
}

QByteArray RecordsCsv(const QList<QJsonObject>& records)
{
    QByteArray csv;
    for (const char* column : kColumns)
        csv += QByteArray(column) + (column == kColumns.back() ? "\r\n" : ",");
    for (const QJsonObject& record : records) {
        for (const char* column : kColumns)
            csv += CsvField(record.value(QLatin1String(column))) + (column == kColumns.back() ? "\r\n" : ",");
    }
    return csv;
}

QString ExportDayCsv(const QString& logPath, QDate day, const QString& csvPath)
{
    QString error;
    const QList<QJsonObject> records = ReadDayRecords(logPath, day, &error);
    if (!error.isEmpty())
        return error;
    return SaveWholeFile(csvPath, RecordsCsv(records));
}

bool RecordPassed(const QJsonObject& record)
{
    return record.value(QLatin1String("result")).toString() == QLatin1String("completed");
}

TileText LineTileText(const LineStatus& status)
{
    switch (status.state) {
    case LineState::Waiting:
        return { QStringLiteral("Waiting"), {} };
    case LineState::Flashing: {
        QString detail = Rate(status.bytesPerSecond);
        if (status.secondsLeft >= 0)
            detail += QStringLiteral(", %1 left").arg(Duration(status.secondsLeft));
        return { QStringLiteral("Flashing %1%").arg(status.percent), detail };
    }
    case LineState::Pass:
        return { QStringLiteral("PASS"), {} };
    case LineState::Fail:
        return { QStringLiteral("FAIL"), status.reason };
    case LineState::Lost:
        return { QStringLiteral("Lost"), status.reason };
    case LineState::Stopped:
        break;
    }
    return { QStringLiteral("Stopped"), {} };
}
