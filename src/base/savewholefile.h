#pragma once

#include <QByteArray>
#include <QString>

// Replaces the file at path by bytes in one step: the old content stays whole until the new one is
// complete. A path that names anything but a regular file (a device, a FIFO, a directory), or that
// CheckPlantedLinks refuses, is left as it is. Returns an empty text on success, else the reason,
// starting with the path.
[[nodiscard]] QString SaveWholeFile(const QString& path, const QByteArray& bytes);

// The same refusal before any work is done: empty when path is a regular file or does not exist.
[[nodiscard]] QString CheckReplaceableFile(const QString& path);

// Refuses a path that reaches its file through a symbolic link in a sticky world-writable folder
// (/tmp) when the link belongs neither to us nor to the folder's owner: anyone can plant one there,
// pointing at a file of ours. Every link on the way counts, a folder or a link's target too.
[[nodiscard]] QString CheckPlantedLinks(const QString& path);
