#pragma once

#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>
#include <unistd.h>

// The user a planted link or folder belongs to: neither the test's user nor root.
inline constexpr uid_t kOtherUser = 65534;

// Makes link point at target, owned by owner, and gives the link's folder mode. Changing owners needs
// root; false when that is not possible.
[[nodiscard]] inline bool PlantLink(
    const QString& link, const QString& target, uid_t owner = kOtherUser, mode_t folderMode = 01777)
{
    const QByteArray path = QFile::encodeName(link);
    return ::geteuid() == 0 && ::symlink(QFile::encodeName(target).constData(), path.constData()) == 0
        && ::lchown(path.constData(), owner, owner) == 0
        && ::chmod(QFile::encodeName(QFileInfo(link).absolutePath()).constData(), folderMode) == 0;
}
