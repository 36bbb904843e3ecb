#include "transfer/sendimage.h"

#include "base/localpath.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

SendImage ReadSendImage(const QString& path)
{
    SendImage image;
    image.path = path;
    const int fd = ::open(EncodePath(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info { };
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (fd >= 0)
            ::close(fd);
        image.failure = path + QStringLiteral(" Open Failed");
        return image;
    }
    // One byte past the limit is enough to know, even of a file that grows while it is read.
    constexpr qint64 kReadLimit = kSendImageMaxSize + 1;
    image.bytes.resize(qsizetype(std::min<qint64>(info.st_size, kReadLimit)));
    qsizetype filled = 0;
    for (;;) {
        if (filled == image.bytes.size() && filled < kReadLimit)
            image.bytes.resize(std::min<qsizetype>(filled + 65536, kReadLimit));
        if (filled == image.bytes.size())
            break;
        const ssize_t got = ::read(fd, image.bytes.data() + filled, size_t(image.bytes.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            image.failure = path + QStringLiteral(" Read Failed");
            break;
        }
        if (got == 0)
            break;
        filled += got;
    }
    ::close(fd);
    image.bytes.truncate(filled);
    if (image.failure.isEmpty() && filled > kSendImageMaxSize)
        image.failure = path + QStringLiteral(" Open Failed: over 64 MiB, which no receiver image is");
    if (!image.failure.isEmpty())
        image.bytes.clear();
    return image;
}
