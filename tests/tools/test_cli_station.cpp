#include "emulatorprocess.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <map>

namespace {

const QStringList kShortTimers { QStringLiteral("TESSAVO2_TIMERS=300,1000") };

// The station command on emulated lines, each a receiver emulator behind a link of its own.
class CliStation : public testing::Test {
protected:
    void SetUp() override
    {
        QFile file(m_image);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(m_bytes) == m_bytes.size());
    }
    QString Link(int line) const { return m_dir.filePath(QStringLiteral("line%1").arg(line)); }
    QStringList Station(int lines, const QStringList& more) const
    {
        QStringList args { "station", "--kind", "code", "--rearm", "0.3", "--log", m_log };
        for (int line = 1; line <= lines; ++line)
            args << "--port" << Link(line);
        return args + more + QStringList { m_image };
    }
    std::unique_ptr<EmulatorProcess> Emulator(int line, const QStringList& args) const
    {
        return std::make_unique<EmulatorProcess>(QStringList { "--link", Link(line) } + args);
    }
    QList<QJsonObject> Records() const
    {
        QList<QJsonObject> records;
        for (const QByteArray& line : ReadFile(m_log).split('\n'))
            if (!line.isEmpty())
                records << QJsonDocument::fromJson(line).object();
        return records;
    }

    QTemporaryDir m_dir;
    const QByteArray m_bytes = RandomBytes(6000, 18);
    const QString m_image = m_dir.filePath("image.bin");
    const QString m_log = m_dir.filePath("station.jsonl");
};

TEST_F(CliStation, ThreeLinesFlashNineReceiversInAboutTheTimeOfOne)
{
    qint64 oneLineMs = 0;
    for (const int lines : { 1, 3 }) {
        QFile::remove(m_log);
        std::vector<std::unique_ptr<EmulatorProcess>> emulators;
        for (int line = 1; line <= lines; ++line)
            emulators.push_back(Emulator(line, { "--baud", "115200", "--receivers", "3", "--swap-gap", "1000" }));
        QElapsedTimer clock;
        clock.start();
        const CliResult cli = RunCli(Station(lines, { "--count", QString::number(3 * lines) }), kShortTimers);
        const qint64 elapsedMs = clock.elapsed();
        EXPECT_EQ(cli.exitCode, 0) << cli.err.toStdString();
        EXPECT_EQ(cli.lines.filter(QRegularExpression("^PASS ")).size(), 3 * lines);
        std::map<QString, QList<int>> receivers;
        for (const QJsonObject& record : Records()) {
            EXPECT_EQ(record.value("result"), "completed");
            EXPECT_EQ(record.value("sha256"), Sha256(m_bytes));
            receivers[record.value("line").toString()] << record.value("receiver").toInt();
        }
        EXPECT_EQ(receivers.size(), std::size_t(lines));
        for (const auto& [line, counts] : receivers)
            EXPECT_EQ(counts, QList<int>({ 1, 2, 3 })) << line.toStdString();
        if (lines == 1)
            oneLineMs = elapsedMs;
        else
            EXPECT_LT(elapsedMs, oneLineMs * 3 / 2) << "one line " << oneLineMs << " ms";
    }
}

// One line to its end: output lines in order (as their starts), the exit code and the downloads the
// receivers saved. A signal, when given, comes delayMs after the output shows signalAfter.
TEST_F(CliStation, OneLineRunsEndAsTheirReceiversAndSignalsSay)
{
    struct Case {
        QStringList emulator;
        QStringList options;
        const char* signalAfter;
        int delayMs;
        int signal;
        int exitCode;
        QStringList lines;
        int saved;
    };
    const Case cases[] = {
        // Still in its loader, the receiver answers every sync: it is the same one, never flashed again.
        { { "--receivers", "2", "--stay-in-loader" }, {}, "PASS", 1500, SIGINT, 130,
            { "PASS %1 1 ", "Summary: 1 passed, 0 failed" }, 1 },
        { { "--receivers", "3", "--fail-receiver", "2", "--swap-gap", "1000" }, { "--count", "3" }, nullptr, 0, 0, 1,
            { "PASS %1 1 ", "FAIL %1 2 Transfer Error !! ", "PASS %1 3 ", "Summary: 2 passed, 1 failed" }, 2 },
        { { "--baud", "9600" }, {}, "SHA-256", 3000, SIGTERM, 143,
            { "FAIL %1 1 Transfer Cancelled", "Summary: 0 passed, 1 failed" }, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.emulator.join(' ').toStdString());
        const auto emulator = Emulator(1, c.emulator);
        CliProcess station(Station(1, c.options), kShortTimers);
        if (c.signal != 0) {
            ASSERT_TRUE(station.WaitFor(QLatin1String(c.signalAfter)));
            QThread::msleep(c.delayMs);
            ::kill(pid_t(station.Pid()), c.signal);
        }
        const CliResult cli = station.Finish();
        EXPECT_EQ(cli.exitCode, c.exitCode) << cli.err.toStdString();
        ASSERT_EQ(cli.lines.size(), c.lines.size()) << cli.out.toStdString();
        for (qsizetype i = 0; i < c.lines.size(); ++i)
            EXPECT_TRUE(cli.lines[i].startsWith(c.lines[i].arg(Link(1)))) << cli.lines[i].toStdString();
        EXPECT_EQ(emulator->Summaries(c.saved, 500).filter("saved ").size(), c.saved);
    }
}

TEST_F(CliStation, LostLineComesBackWhenItsDeviceIsThereAgain)
{
    auto emulator = Emulator(1, { "--receivers", "1" });
    CliProcess station(Station(1, { "--count", "2" }), kShortTimers);
    ASSERT_TRUE(station.WaitFor("PASS"));
    QThread::msleep(800); // re-armed and waiting
    emulator->Stop();
    ASSERT_TRUE(station.WaitFor("LOST " + Link(1)));
    // Quiet for its first syncs, so it is taken as new whether the line was lost waiting or re-arming.
    emulator = Emulator(1, { "--receivers", "1", "--silent-syncs", "5" });
    const CliResult cli = station.Finish();
    EXPECT_EQ(cli.exitCode, 0) << cli.err.toStdString();
    EXPECT_EQ(Records().size(), 2);
    EXPECT_EQ(Records().value(1).value("receiver"), 2);
    EXPECT_TRUE(emulator->Summaries(1).value(0).startsWith("saved kind=code"));
}

} // namespace
