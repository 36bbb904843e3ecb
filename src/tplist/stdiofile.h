#pragma once

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <memory>

struct StdioFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

using StdioFile = std::unique_ptr<std::FILE, StdioFileCloser>;

// A stdio stream into memory: output files are built whole and then saved in one step, so a failed
// write never leaves a partial file or removes the old one.
class MemoryStream {
public:
    MemoryStream()
        : m_file(open_memstream(&m_data, &m_size))
    {
    }
    ~MemoryStream()
    {
        m_file.reset();
        std::free(m_data);
    }
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;

    [[nodiscard]] std::FILE* File() const { return m_file.get(); }
    // What was written so far; empty with ok false when the stream failed.
    [[nodiscard]] QByteArray Bytes(bool& ok)
    {
        ok = m_file && std::fflush(m_file.get()) == 0 && std::ferror(m_file.get()) == 0;
        return ok ? QByteArray(m_data, qsizetype(m_size)) : QByteArray();
    }

private:
    char* m_data = nullptr;
    std::size_t m_size = 0;
    StdioFile m_file;
};
