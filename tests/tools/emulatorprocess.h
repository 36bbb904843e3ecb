#pragma once

#include "childprocess.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>
#include <QDir>
#include <QElapsedTimer>
#include <QStringList>
#include <functional>

inline QByteArray RandomBytes(int size, quint32 seed)
{
    QList<quint32> words((size + 3) / 4);
    QRandomGenerator(seed).fillRange(words.data(), words.size());
    return QByteArray(reinterpret_cast<const char*>(words.constData()), size);
}

inline QString Sha256(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

inline QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A program of this build run by an end-to-end test, its output collected. TESSAVO_BIN_DIR tells where
// the built programs are; env entries are "NAME=value"; childSetup runs in the child before exec.
class BuiltProgram {
public:
    static QString Program(const char* name)
    {
        const QByteArray dir = qgetenv("TESSAVO_BIN_DIR");
        return QDir(dir.isEmpty() ? QCoreApplication::applicationDirPath() : QString::fromLocal8Bit(dir))
            .filePath(QString::fromLatin1(name));
    }

    BuiltProgram(const char* name, const QStringList& args, const QStringList& env = {},
        const std::function<void()>& childSetup = {}, ChildProcess::Stderr errors = ChildProcess::Stderr::Separate)
    {
        m_process.Start(Program(name), args, env, childSetup, errors);
    }
    ~BuiltProgram() { Stop(); }

    [[nodiscard]] qint64 Pid() const { return m_process.Pid(); }

    // Ends the program as a test harness would and returns its exit code (-1: it crashed or was killed).
    int Stop() { return m_process.Stop(); }

    // Collects output until done() holds, the program has ended or timeoutMs has passed; returns done().
    bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
    {
        QElapsedTimer timer;
        timer.start();
        for (;;) {
            m_out = m_process.Out();
            m_err = m_process.Err();
            if (done() || timer.elapsed() >= timeoutMs)
                return done();
            if (!m_process.Running()) {
                m_process.WaitForFinished(1000);
                m_out = m_process.Out();
                m_err = m_process.Err();
                return done();
            }
            m_process.Poll(20);
        }
    }

protected:
    ChildProcess m_process;
    QByteArray m_out;
    QByteArray m_err;
};

// The receiver emulator on a new pseudo-terminal: it prints the device, then one summary per transfer.
class EmulatorProcess : public BuiltProgram {
public:
    explicit EmulatorProcess(const QStringList& args)
        : BuiltProgram("stb-emulator", args, {}, {}, ChildProcess::Stderr::Forward)
        , m_device(Lines(1, 10000).value(0))
    {
    }

    [[nodiscard]] QString Device() const { return m_device; }

    // Points the desktop tool's COM<port> at the emulator; false when the emulator did not start.
    [[nodiscard]] bool UseAsComPort(int port = 1) const
    {
        qputenv(QByteArray("TESSAVO2_COM") + QByteArray::number(port), m_device.toLocal8Bit());
        return !m_device.isEmpty();
    }

    // The summaries so far, waiting (at most timeoutMs) until there are count of them.
    QStringList Summaries(int count, int timeoutMs = 5000) { return Lines(count + 1, timeoutMs).mid(1); }

private:
    QStringList Lines(int count, int timeoutMs)
    {
        WaitUntil([&] { return m_out.count('\n') >= count; }, timeoutMs);
        QStringList lines = QString::fromLocal8Bit(m_out).split(QLatin1Char('\n'));
        lines.removeLast(); // not ended yet
        return lines;
    }

    QString m_device;
};

struct CliResult {
    int exitCode = -1;
    QByteArray out;
    QStringList lines; // of out
    QString err;
};

// A running tessavo2-cli.
class CliProcess : public BuiltProgram {
public:
    explicit CliProcess(const QStringList& args, const QStringList& env = {}, const std::function<void()>& setup = {})
        : BuiltProgram("tessavo2-cli", args, env, setup)
    {
    }

    // Waits until standard output or error shows text.
    bool WaitFor(const QString& text, int timeoutMs = 20000)
    {
        return WaitUntil([&] { return (m_out + m_err).contains(text.toLocal8Bit()); }, timeoutMs);
    }

    CliResult Finish(int timeoutMs = 60000)
    {
        CliResult result;
        if (!m_process.WaitForFinished(timeoutMs))
            return result;
        m_out = m_process.Out();
        m_err = m_process.Err();
        result.exitCode = m_process.ExitCode();
        result.out = m_out;
        result.lines = QString::fromLocal8Bit(m_out).split(QLatin1Char('\n'));
        if (result.lines.last().isEmpty())
            result.lines.removeLast();
        result.err = QString::fromLocal8Bit(m_err);
        return result;
    }
};

inline CliResult RunCli(const QStringList& args, const QStringList& env = {})
{
    return CliProcess(args, env).Finish();
}
