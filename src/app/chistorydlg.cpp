#include "app/chistorydlg.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

struct Column {
    const char* title;
    const char* field;
};

constexpr Column kColumns[] = {
    { "Started", "started" },
    { "Result", "result" },
    { "Kind", "kind" },
    { "File", "file" },
    { "Bytes", "bytes" },
    { "Frames", "frames" },
    { "Resent", "resent_frames" },
    { "Seconds", "seconds" },
    { "Bytes/s", "bytes_per_second" },
    { "Port", "port" },
    { "Device", "device" },
    { "SHA-256", "sha256" },
};

QString FieldText(const QJsonObject& record, const char* field)
{
    const QJsonValue value = record.value(QLatin1String(field));
    if (value.isDouble())
        return QString::number(value.toDouble(), 'g', 12);
    if (QLatin1String(field) == QLatin1String("started"))
        return QDateTime::fromString(value.toString(), Qt::ISODateWithMs)
            .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return value.toString();
}

} // namespace

QString HistoryRowSummary(const QJsonObject& record)
{
    const QString sha = record.value(QLatin1String("sha256")).toString();
    return QStringLiteral("Last: %1 %2\n%3 frames, %4 resent, %5 s, %6 bytes/s\n%7")
        .arg(FieldText(record, "kind"), FieldText(record, "result"), FieldText(record, "frames"),
            FieldText(record, "resent_frames"),
            QString::number(record.value(QLatin1String("seconds")).toDouble(), 'f', 1),
            FieldText(record, "bytes_per_second"),
            sha.isEmpty() ? QString() : QStringLiteral("SHA-256 %1...%2").arg(sha.left(8), sha.right(8)));
}

CHistoryDlg::CHistoryDlg(const QList<QJsonObject>& records, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("historyDialog"));
    setWindowTitle(QStringLiteral("History"));
    auto* layout = new QVBoxLayout(this);
    auto* caption = new QLabel(QStringLiteral("&Downloads, newest first (%1)").arg(records.size()), this);
    auto* table = new QTableWidget(int(records.size()), int(std::size(kColumns)), this);
    table->setObjectName(QStringLiteral("historyTable"));
    table->setAccessibleName(QStringLiteral("Downloads"));
    caption->setBuddy(table);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    for (int c = 0; c < int(std::size(kColumns)); ++c)
        table->setHorizontalHeaderItem(c, new QTableWidgetItem(QString::fromLatin1(kColumns[c].title)));
    for (int r = 0; r < int(records.size()); ++r) {
        const QJsonObject& record = records[records.size() - 1 - r];
        for (int c = 0; c < int(std::size(kColumns)); ++c)
            table->setItem(r, c, new QTableWidgetItem(FieldText(record, kColumns[c].field)));
    }
    table->resizeColumnsToContents();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(caption);
    layout->addWidget(table);
    layout->addWidget(buttons);
    resize(900, 400);
}
