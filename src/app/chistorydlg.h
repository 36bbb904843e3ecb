#pragma once

#include <QDialog>
#include <QJsonObject>
#include <QList>

// What the form keeps of a finished download: its result, frames, resent frames, time, rate and the
// image's SHA-256, in three short lines.
[[nodiscard]] QString HistoryRowSummary(const QJsonObject& record);

// Tools > History: the records of past transfers, newest first, one row each.
class CHistoryDlg : public QDialog {
    Q_OBJECT
public:
    explicit CHistoryDlg(const QList<QJsonObject>& records, QWidget* parent = nullptr);
};
