#include "cliio.h"

#include "base/savewholefile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

void PrintError(const QString& text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

namespace {

int g_stdoutError = 0;

void NoteStandardOutputError()
{
    if (g_stdoutError == 0)
        g_stdoutError = errno != 0 ? errno : EIO;
}

} // namespace

bool WriteStandardOutput(const QByteArray& bytes)
{
    errno = 0;
    if (std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout) != std::size_t(bytes.size()))
        NoteStandardOutputError();
    return StandardOutputIntact();
}

bool StandardOutputIntact()
{
    static bool reported = false;
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0)
        NoteStandardOutputError();
    if (g_stdoutError == 0)
        return true;
    if (!reported)
        PrintError(QStringLiteral("tessavo2-cli: standard output: %1")
                       .arg(QString::fromLocal8Bit(std::strerror(g_stdoutError))));
    reported = true;
    return false;
}

bool WriteOutput(const QString& path, const QByteArray& bytes)
{
    if (path == QLatin1String("-"))
        return WriteStandardOutput(bytes);
    const QString failure = SaveWholeFile(path, bytes);
    if (!failure.isEmpty())
        PrintError(failure);
    return failure.isEmpty();
}
