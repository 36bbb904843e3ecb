#include "base/savewholefile.h"

#include <QFile>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

QString CheckReplaceableFile(const QString& path)
{
    struct stat info { };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        if (errno == ENOENT)
            return {};
        return path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
    }
    if (!S_ISREG(info.st_mode))
        return path + QStringLiteral(": not a regular file; left as it is");
    return {};
}

QString SaveWholeFile(const QString& path, const QByteArray& bytes)
{
    if (QString refused = CheckReplaceableFile(path); !refused.isEmpty())
        return refused;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return path + QStringLiteral(": ") + file.errorString();
    // The explicit flush matters: a commit after a short write of the buffered bytes (a full disk, a
    // file size limit) would otherwise rename a cut file into place and report success.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        (void)file.commit();
        return path + QStringLiteral(": ") + reason;
    }
    if (!file.commit())
        return path + QStringLiteral(": ") + file.errorString();
    return {};
}
