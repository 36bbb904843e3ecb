#include "base/savewholefile.h"

#include <QFile>
#include <QList>
#include <QSaveFile>
#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// As many links as the kernel follows before it gives up on a path with ELOOP.
constexpr int kMaxLinkHops = 40;

// The kernel's own rule for following links in shared folders, applied where its switch is off too.
bool IsPlantedLink(const QByteArray& folder, const struct stat& link)
{
    struct stat dir { };
    if (::stat(folder.isEmpty() ? "." : folder.constData(), &dir) != 0)
        return false;
    const bool shared = (dir.st_mode & S_ISVTX) != 0 && (dir.st_mode & S_IWOTH) != 0;
    return shared && link.st_uid != ::geteuid() && link.st_uid != dir.st_uid;
}

} // namespace

QString CheckPlantedLinks(const QString& path)
{
    const QByteArray encoded = QFile::encodeName(path);
    // Empty stands for the working directory.
    QByteArray folder = encoded.startsWith('/') ? QByteArray("/") : QByteArray();
    QList<QByteArray> pending = encoded.split('/');
    std::array<char, PATH_MAX> target {};
    // Walks the path as the kernel would, one name at a time, replacing each link by its target.
    for (int hops = 0; !pending.isEmpty();) {
        const QByteArray name = pending.takeFirst();
        if (name.isEmpty() || name == ".")
            continue;
        const QByteArray entry = (folder.isEmpty() || folder.endsWith('/')) ? folder + name : folder + '/' + name;
        struct stat info { };
        // What does not exist yet has no link on it; what cannot be reached fails when it is opened.
        if (::lstat(entry.constData(), &info) != 0)
            return {};
        if (!S_ISLNK(info.st_mode)) {
            folder = entry;
            continue;
        }
        if (IsPlantedLink(folder, info))
            return path
                + QStringLiteral(": refused: %1 is a symbolic link of another user in a shared folder")
                      .arg(QFile::decodeName(entry));
        const ssize_t length = ::readlink(entry.constData(), target.data(), target.size());
        if (++hops > kMaxLinkHops || length <= 0)
            return {};
        const QByteArray next(target.data(), length);
        if (next.startsWith('/'))
            folder = "/";
        pending = next.split('/') + pending;
    }
    return {};
}

QString CheckReplaceableFile(const QString& path)
{
    if (QString refused = CheckPlantedLinks(path); !refused.isEmpty())
        return refused;
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
