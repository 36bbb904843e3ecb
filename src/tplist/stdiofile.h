#pragma once

#include <QFile>
#include <QString>
#include <cstdio>
#include <memory>

struct StdioFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

using StdioFile = std::unique_ptr<std::FILE, StdioFileCloser>;

// Binary mode everywhere: line ends are written as CR LF explicitly and CR LF is folded on reading.
inline StdioFile OpenStdioFile(const QString& path, const char* mode)
{
    return StdioFile(std::fopen(QFile::encodeName(path).constData(), mode));
}

// Closes the file and tells whether everything written to it reached the disk.
inline bool CloseStdioFile(StdioFile& file)
{
    std::FILE* raw = file.release();
    const bool written = std::ferror(raw) == 0;
    return (std::fclose(raw) == 0) && written;
}
