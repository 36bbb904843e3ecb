#pragma once

#include "station/cstation.h"

#include <QByteArray>
#include <QDate>
#include <QJsonObject>
#include <QList>
#include <QString>

// Where the station logs its records unless the user picks a file: station.jsonl in the user's
// application data folder.
[[nodiscard]] QString DefaultStationLogPath();

// The records of one day (by the station's local date in "started") in a JSON Lines log, in file order.
// Lines that are not records (a torn last line, say) are left out rather than failing the whole day.
[[nodiscard]] QList<QJsonObject> ReadDayRecords(const QString& logPath, QDate day, QString* error = nullptr);

// Records as CSV with a header row, CR LF line ends and quoted fields where a field needs it.
[[nodiscard]] QByteArray RecordsCsv(const QList<QJsonObject>& records);

// The day's records of the log written to csvPath. Empty on success, else the reason, starting with the path.
[[nodiscard]] QString ExportDayCsv(const QString& logPath, QDate day, const QString& csvPath);

// A record passed when its transfer completed.
[[nodiscard]] bool RecordPassed(const QJsonObject& record);

// What a line's tile shows: its state in a word or two, and the detail under it.
struct TileText {
    QString state;
    QString detail;
};
[[nodiscard]] TileText LineTileText(const LineStatus& status);
