#pragma once

#include <QByteArray>
#include <QString>

// Replaces the file at path by bytes in one step: the old content stays whole until the new one is
// complete. A path that names anything but a regular file (a device, a FIFO, a directory) is refused
// and left as it is. Returns an empty text on success, else the reason, starting with the path.
[[nodiscard]] QString SaveWholeFile(const QString& path, const QByteArray& bytes);

// The same refusal before any work is done: empty when path is a regular file or does not exist.
[[nodiscard]] QString CheckReplaceableFile(const QString& path);
