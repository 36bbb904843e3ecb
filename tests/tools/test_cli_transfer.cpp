#include "emulatorprocess.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray RandomBytes(int size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, '\0');
    for (char& c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

QString Sha256(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QString WriteFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

const QStringList kShortTimers { QStringLiteral("TESSAVO2_TIMERS=300,1000") };

TEST(CliTransfer, ImageArrivesWholeWithAndWithoutFaults)
{
    QTemporaryDir dir;
    const QByteArray image = RandomBytes(300 * 1024, 2);
    const QString path = WriteFile(dir, "image.bin", image);

    struct Run {
        QStringList emulatorArgs;
        QStringList mustShow;
    };
    const std::vector<Run> runs {
        { {}, {} },
        { { "--nak", "3,4", "--other", "7", "--silent", "9", "--noise", "12,13", "--silent-syncs", "2" },
            { "No Answer 1", "No Answer 2", "NAK  Data = 1", "NAK  Data = 2", "Other Answer this Data",
                "No Answer 3" } },
    };
    for (const Run& run : runs) {
        EmulatorProcess emulator(QStringList { "--save-dir", dir.path() } + run.emulatorArgs);
        ASSERT_FALSE(emulator.Device().isEmpty());
        const CliResult cli = RunCli({ "send", "--port", emulator.Device(), "--kind", "code", path }, kShortTimers);
        EXPECT_EQ(cli.exitCode, 0);
        EXPECT_EQ(cli.lines.value(cli.lines.size() - 1), QStringLiteral("Transfer Completed "));
        EXPECT_TRUE(cli.lines.contains(QStringLiteral("Trnasmited Count 300")));
        for (const QString& text : run.mustShow)
            EXPECT_TRUE(cli.lines.contains(text)) << text.toStdString();
        const QStringList summary = emulator.Summaries(1);
        ASSERT_EQ(summary.size(), 1);
        EXPECT_TRUE(summary[0].startsWith(
            QStringLiteral("saved kind=code type=5 frames=300 size=307200 sha256=") + Sha256(image)))
            << summary[0].toStdString();
        QFile file(summary[0].section(QStringLiteral("file="), 1));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), image);
        EXPECT_EQ(emulator.Stop(), 0);
    }
}

TEST(CliTransfer, TerminateFailsAndBadPortOrUsageHaveTheirExitCodes)
{
    QTemporaryDir dir;
    const QString path = WriteFile(dir, "loader.bin", RandomBytes(5000, 3));
    {
        EmulatorProcess emulator({ "--terminate", "3" });
        const CliResult cli = RunCli({ "send", "--port", emulator.Device(), "--kind", "loader", path });
        EXPECT_EQ(cli.exitCode, 1);
        EXPECT_EQ(cli.lines,
            (QStringList { "Sync Dectected ...", "Transmited Count 1", "Transmited Count 2", "Transfer Error !! " }));
    }
    const CliResult noPort = RunCli({ "send", "--port", "/dev/tessavo-no-such-port", "--kind", "code", path });
    EXPECT_EQ(noPort.exitCode, 2);
    EXPECT_EQ(noPort.lines, QStringList { "CommPort Open Error" });

    EmulatorProcess emulator({});
    const CliResult nineBits
        = RunCli({ "send", "--port", emulator.Device(), "--kind", "code", "--data-bits", "9", path });
    EXPECT_EQ(nineBits.exitCode, 2);

    const CliResult missing = RunCli({ "send", "--port", emulator.Device(), "--kind", "code", dir.filePath("nope") });
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.lines, QStringList { dir.filePath("nope") + " Open Failed" });

    for (const QStringList& bad : { QStringList { "send", "--kind", "code", path },
             QStringList { "send", "--port", "COM1", "--kind", "firmware", path },
             QStringList { "send", "--port", "COM1", "--kind", "code", "--parity", "mark", path },
             QStringList { "send", "--port", "COM1", "--kind", "code" }, QStringList { "receive", "--port", "COM1" } })
        EXPECT_EQ(RunCli(bad).exitCode, 64) << bad.join(' ').toStdString();
}

// The receive goes through the emulator's --link, which must be gone once the emulator has ended.
TEST(CliTransfer, ReceiveTakesThePresetTheEmulatorSendsOrGivesUpAtItsTimeout)
{
    QTemporaryDir dir;
    const QByteArray preset = RandomBytes(3 * 1024 + 100, 4);
    const QString out = dir.filePath("received.rcu");
    const QString link = dir.filePath("ttySTB");
    {
        EmulatorProcess emulator({ "--send-preset", WriteFile(dir, "preset.rcu", preset), "--link", link });
        EXPECT_EQ(QFileInfo(link).symLinkTarget(), emulator.Device());
        const CliResult cli = RunCli({ "receive", "--port", link, "--out", out, "--timeout", "30" });
        EXPECT_EQ(cli.exitCode, 0);
        EXPECT_EQ(cli.lines,
            (QStringList { "Packet 1/64 Received", "Packet 2/64 Received", "Packet 3/64 Received",
                "Packet 4/64 Received", "Packet 5/64 Received", "Transfer Completed " }));
        QFile file(out);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), preset);
        EXPECT_EQ(emulator.Summaries(1),
            QStringList { QStringLiteral("sent kind=preset frames=4 size=3172 sha256=") + Sha256(preset) });
        EXPECT_EQ(emulator.Stop(), 0);
    }
    EXPECT_FALSE(QFileInfo::exists(link));
    EmulatorProcess idle({});
    const QString none = dir.filePath("none.rcu");
    EXPECT_EQ(RunCli({ "receive", "--port", idle.Device(), "--out", none, "--timeout", "1" }).exitCode, 1);
    EXPECT_FALSE(QFile::exists(none));
}

} // namespace
