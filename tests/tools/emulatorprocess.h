#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <functional>

// The real stb-emulator for end-to-end tests: started on a new pseudo-terminal, its summary lines
// collected. TESSAVO_BIN_DIR tells where the built programs are.
class EmulatorProcess {
public:
    static QString Program(const char* name)
    {
        const QByteArray dir = qgetenv("TESSAVO_BIN_DIR");
        return QDir(dir.isEmpty() ? QCoreApplication::applicationDirPath() : QString::fromLocal8Bit(dir))
            .filePath(QString::fromLatin1(name));
    }

    explicit EmulatorProcess(const QStringList& args)
    {
        m_process.setProgram(Program("stb-emulator"));
        m_process.setArguments(args);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
        const QStringList first = WaitForLines(1, 10000);
        if (!first.isEmpty())
            m_device = first.first();
    }
    ~EmulatorProcess() { Stop(); }
    EmulatorProcess(const EmulatorProcess&) = delete;
    EmulatorProcess& operator=(const EmulatorProcess&) = delete;

    [[nodiscard]] QString Device() const { return m_device; }

    // Points the desktop tool's COM<port> at the emulator; false when the emulator did not start.
    [[nodiscard]] bool UseAsComPort(int port = 1) const
    {
        qputenv(QByteArray("TESSAVO2_COM") + QByteArray::number(port), m_device.toLocal8Bit());
        return !m_device.isEmpty();
    }

    // Lines printed after the device path, waiting (at most timeoutMs) until there are count of them.
    QStringList Summaries(int count, int timeoutMs = 5000) { return WaitForLines(count + 1, timeoutMs).mid(1); }

    // Ends the emulator as a test harness would and returns its exit code.
    int Stop()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000))
                m_process.kill();
        }
        m_process.waitForFinished(5000);
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }
private:
    QStringList WaitForLines(int count, int timeoutMs)
    {
        QElapsedTimer timer;
        timer.start();
        while (m_lines.size() < count && timer.elapsed() < timeoutMs) {
            if (!m_process.canReadLine())
                m_process.waitForReadyRead(50);
            while (m_process.canReadLine())
                m_lines << QString::fromLocal8Bit(m_process.readLine()).trimmed();
            if (m_process.state() == QProcess::NotRunning && !m_process.canReadLine())
                break;
        }
        return m_lines;
    }

    QProcess m_process;
    QString m_device;
    QStringList m_lines;
};

struct CliResult {
    int exitCode = -1;
    QByteArray out;
    QStringList lines; // of out
    QString err;
};

// A running tessavo2-cli; env entries are "NAME=value"; childSetup runs in the child before exec.
class CliProcess {
public:
    explicit CliProcess(const QStringList& args, const QStringList& env = {}, std::function<void()> childSetup = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString& entry : env)
            environment.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
        m_process.setProcessEnvironment(environment);
        if (childSetup)
            m_process.setChildProcessModifier(childSetup);
        m_process.start(EmulatorProcess::Program("tessavo2-cli"), args);
        m_process.waitForStarted();
    }
    ~CliProcess()
    {
        m_process.kill();
        m_process.waitForFinished();
    }
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    [[nodiscard]] qint64 Pid() const { return m_process.processId(); }

    // Waits until standard output or error shows text.
    bool WaitFor(const QString& text, int timeoutMs = 20000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!(m_out + m_err).contains(text.toLocal8Bit()) && timer.elapsed() < timeoutMs
            && m_process.state() == QProcess::Running) {
            m_process.waitForReadyRead(20);
            Collect();
        }
        return (m_out + m_err).contains(text.toLocal8Bit());
    }

    CliResult Finish(int timeoutMs = 60000)
    {
        CliResult result;
        if (!m_process.waitForFinished(timeoutMs))
            return result;
        Collect();
        result.exitCode = m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
        result.out = m_out;
        result.lines = QString::fromLocal8Bit(m_out).split(QLatin1Char('\n'));
        if (result.lines.last().isEmpty())
            result.lines.removeLast();
        result.err = QString::fromLocal8Bit(m_err);
        return result;
    }

private:
    void Collect()
    {
        m_out += m_process.readAllStandardOutput();
        m_err += m_process.readAllStandardError();
    }

    QProcess m_process;
    QByteArray m_out;
    QByteArray m_err;
};

inline CliResult RunCli(const QStringList& args, const QStringList& env = {})
{
    return CliProcess(args, env).Finish();
}
