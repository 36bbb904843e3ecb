#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>

// The receiver emulator of this build, beside the benchmark program; m_device is the line to open.
class Emulator {
public:
    explicit Emulator(const QStringList& args)
    {
        const QString program = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("stb-emulator"));
        m_process.start(program, args);
        m_process.waitForReadyRead(10000);
        m_device = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }
    // The next line the emulator prints that starts with prefix; empty after timeoutMs.
    QString Line(const QString& prefix, int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            while (m_process.canReadLine()) {
                const QString line = QString::fromLocal8Bit(m_process.readLine()).trimmed();
                if (line.startsWith(prefix))
                    return line;
            }
            m_process.waitForReadyRead(200);
        }
        return {};
    }
    ~Emulator()
    {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }
    Emulator(const Emulator&) = delete;
    Emulator& operator=(const Emulator&) = delete;

    QString m_device;

private:
    QProcess m_process;
};
