#pragma once

#include <QByteArray>
#include <QString>

// The whole image of a send, read once before the sync: the wire, the progress and the record all come
// from these bytes, so a file changed, cut or replaced during the download changes nothing of it.
struct SendImage {
    QString path;
    QByteArray bytes;
    QString failure; // empty when bytes hold the whole file, else the text to show
};

// Receiver images are a few MiB; anything larger is not one.
inline constexpr qint64 kSendImageMaxSize = qint64(64) << 20;

// Reads the regular file at path (a FIFO or a device would block or never end) without blocking.
[[nodiscard]] SendImage ReadSendImage(const QString& path);
