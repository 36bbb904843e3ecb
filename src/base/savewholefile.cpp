#include "base/savewholefile.h"

#include "base/localpath.h"

#include <QList>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
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
    const QByteArray encoded = EncodePath(path);
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
                      .arg(DecodePath(entry));
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
    if (::stat(EncodePath(path).constData(), &info) != 0) {
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
    const auto failed
        = [&path](int error) { return path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error)); };
    // A link that passed the check is kept: the file it names is replaced, as an editor's save does.
    QByteArray target = EncodePath(path);
    std::array<char, PATH_MAX> link {};
    for (int hops = 0; hops < kMaxLinkHops; ++hops) {
        const ssize_t length = ::readlink(target.constData(), link.data(), link.size());
        if (length <= 0)
            break;
        const QByteArray next(link.data(), length);
        const qsizetype slash = target.lastIndexOf('/');
        target = (next.startsWith('/') || slash < 0) ? next : target.left(slash + 1) + next;
    }
    const qsizetype slash = target.lastIndexOf('/');
    QByteArray temp
        = (slash < 0 ? QByteArray() : target.left(slash + 1)) + ".~" + target.mid(slash + 1).left(200) + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return failed(errno);
    // The new file gets the old one's permissions, or what a new file of ours would get.
    struct stat old { };
    mode_t mode = 0;
    if (::stat(target.constData(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    int error = ::fchmod(fd, mode) == 0 ? 0 : errno;
    // Every byte must reach the disk before the rename: a short write (a full disk, a file size limit)
    // must never put a cut file in place of a whole one and pass for success.
    for (qsizetype done = 0; error == 0 && done < bytes.size();) {
        const ssize_t wrote = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (wrote > 0)
            done += wrote;
        else if (wrote < 0 && errno != EINTR)
            error = errno;
    }
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temp.constData(), target.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temp.constData());
        return failed(error);
    }
    return {};
}
