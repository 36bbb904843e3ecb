#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>

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
    ~EmulatorProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000))
                m_process.kill();
        }
    }
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
    QStringList Summaries(int count, int timeoutMs = 5000)
    {
        const QStringList all = WaitForLines(count + 1, timeoutMs);
        return all.mid(1);
    }

    // Ends the emulator as a test harness would and returns its exit code.
    int Stop()
    {
        m_process.terminate();
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
    QStringList lines;
};

// Runs tessavo2-cli to its end; env entries are "NAME=value".
inline CliResult RunCli(const QStringList& args, const QStringList& env = {}, int timeoutMs = 60000)
{
    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : env)
        environment.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
    cli.setProcessEnvironment(environment);
    cli.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    cli.start(EmulatorProcess::Program("tessavo2-cli"), args);
    CliResult result;
    if (!cli.waitForFinished(timeoutMs)) {
        cli.kill();
        cli.waitForFinished();
        return result;
    }
    result.exitCode = cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
    const QByteArray out = cli.readAllStandardOutput();
    for (const QByteArray& line : out.split('\n'))
        result.lines << QString::fromLocal8Bit(line);
    if (!result.lines.isEmpty() && result.lines.last().isEmpty())
        result.lines.removeLast();
    return result;
}
