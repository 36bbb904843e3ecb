#include "../serial/ptypair.h"
#include "emulatorprocess.h"
#include "transfer/ccrc32.h"
#include "transfer/frame.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QStringList kShortTimers { QStringLiteral("TESSAVO2_TIMERS=300,1000") };

// The --json record: the last line of standard output.
QJsonObject Record(const CliResult& cli)
{
    return QJsonDocument::fromJson(cli.lines.value(cli.lines.size() - 1).toUtf8()).object();
}

class CliTransfer : public testing::Test {
protected:
    QString File(const char* name, const QByteArray& bytes)
    {
        QFile file(m_dir.filePath(QLatin1String(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return file.fileName();
    }
    static QStringList Send(const QString& port, const QString& path, const QStringList& more = {})
    {
        return QStringList { "send", "--port", port, "--kind", "code" } + more + QStringList { path };
    }

    QTemporaryDir m_dir;
};

// With --json the status lines move to standard error and the record counts what went wrong.
TEST_F(CliTransfer, ImageArrivesWholeThroughFaults)
{
    const QByteArray image = RandomBytes(20 * 1024, 2);
    EmulatorProcess faulty(
        { "--nak", "3,4", "--other", "7", "--silent", "9", "--noise", "12,13", "--silent-syncs", "2" });
    const CliResult json = RunCli(Send(faulty.Device(), File("image.bin", image), { "--json" }), kShortTimers);
    EXPECT_EQ(json.exitCode, 0);
    for (const char* text : { "No Answer 1", "No Answer 2", "NAK  Data = 1", "NAK  Data = 2", "Other Answer this Data",
             "No Answer 3", "Trnasmited Count 20", "Transfer Completed " })
        EXPECT_TRUE(json.err.contains(QLatin1String(text))) << text;
    EXPECT_TRUE(
        faulty.Summaries(1).value(0).startsWith("saved kind=code type=5 frames=20 size=20480 sha256=" + Sha256(image)));
    const QJsonObject record = Record(json);
    EXPECT_EQ(json.lines.size(), 1);
    const QJsonObject expected { { "result", "completed" }, { "sha256", Sha256(image) }, { "bytes", 20480 },
        { "frames", 20 }, { "resent_frames", 4 }, { "no_answers", 3 }, { "device", faulty.Device() } };
    for (auto it = expected.begin(); it != expected.end(); ++it)
        EXPECT_EQ(record.value(it.key()), it.value()) << it.key().toStdString();
    EXPECT_TRUE(QDateTime::fromString(record.value("started").toString(), Qt::ISODateWithMs).isValid());
}

// Every way a send ends early: exit code, record, where the text goes, and that nothing was saved. A log
// that is not a regular file (a FIFO would hang the run) and a port past COM4 are refused at the start.
TEST_F(CliTransfer, FailedSendsHaveTheirExitCodesAndRecords)
{
    const QByteArray bytes = RandomBytes(5000, 3);
    const QString path = File("loader.bin", bytes);
    const QString fifo = m_dir.filePath("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString huge = File("huge.bin", {});
    ASSERT_TRUE(QFile(huge).resize((qint64(64) << 20) + 1));
    struct Case {
        QStringList emulator;
        QString file;
        QStringList options;
        int exitCode;
        const char* result;
        QString err;
    };
    const Case cases[] = {
        { { "--terminate", "3" }, path, {}, 1, "failed", "Transfer Error !! " },
        { {}, m_dir.path(), {}, 1, "failed", m_dir.path() + " Open Failed" },
        { {}, fifo, {}, 1, "failed", fifo + " Open Failed" },
        { {}, "/proc/self/mem", {}, 1, "failed", "/proc/self/mem Read Failed" },
        { {}, huge, {}, 1, "failed", huge + " Open Failed: over 64 MiB" },
        { {}, m_dir.filePath("nope"), {}, 1, "failed", m_dir.filePath("nope") + " Open Failed" },
        { {}, path, { "--log", fifo }, 64, nullptr, fifo + ": not a regular file" },
        { {}, path, { "--port", "COM5" }, 64, nullptr, "COM1 to COM4" },
        // The later --port wins: a port that is not there, named with the reason on the next line.
        { {}, path, { "--port", "/dev/tessavo-no-such-port" }, 2, "port-error",
            "CommPort Open Error\n/dev/tessavo-no-such-port: " },
        { { "--silent-syncs", "1000" }, path, { "--timeout", "1" }, 1, "failed", "Out of time" },
    };
    for (const Case& c : cases) {
        EmulatorProcess emulator(c.emulator);
        const CliResult cli
            = RunCli(Send(emulator.Device(), c.file, c.options + QStringList { "--json" }), kShortTimers);
        EXPECT_EQ(cli.exitCode, c.exitCode) << c.err.toStdString();
        EXPECT_TRUE(cli.err.contains(c.err)) << cli.err.toStdString();
        if (c.result == nullptr)
            continue;
        const QJsonObject record = Record(cli);
        EXPECT_EQ(record.value("result"), c.result) << c.err.toStdString();
        EXPECT_EQ(record.value("exit_code"), c.exitCode);
        EXPECT_TRUE(c.file != path || record.value("sha256").toString() == Sha256(bytes));
        EXPECT_EQ(emulator.Summaries(1, 200), QStringList {});
    }
}

// A send ended from outside: signal 0 stands for the emulator going away.
struct InterruptCase {
    const char* baud;
    int signal;
    int exitCode;
    const char* result;
    const char* text;
};

void PrintTo(const InterruptCase& c, std::ostream* out)
{
    *out << c.result << " at " << c.baud;
}

class CliInterrupt : public CliTransfer, public testing::WithParamInterface<InterruptCase> { };

// A lost line ends the send within 2 s without burning the CPU; a cancelled send sends no end frame,
// and a send started right after it completes.
TEST_P(CliInterrupt, EndsTheSendAtOnce)
{
    const InterruptCase& c = GetParam();
    const QByteArray first = RandomBytes(64 * 1024, 6);
    const QByteArray second = RandomBytes(3072, 7);
    EmulatorProcess emulator({ "--baud", c.baud });
    const QStringList options { "--baud", c.baud };
    CliProcess cli(Send(emulator.Device(), File("first.bin", first), options + QStringList { "--json" }));
    ASSERT_TRUE(cli.WaitFor("Trnasmited Count 2"));
    if (c.signal != 0)
        ::kill(pid_t(cli.Pid()), c.signal);
    else
        emulator.Stop();
    const double cpuBefore = CpuSeconds(RUSAGE_CHILDREN);
    QElapsedTimer timer;
    timer.start();
    const CliResult ended = cli.Finish(5000);
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_EQ(ended.exitCode, c.exitCode);
    EXPECT_TRUE(ended.err.contains(QLatin1String(c.text))) << ended.err.toStdString();
    EXPECT_EQ(Record(ended).value("result"), c.result);
    EXPECT_EQ(Record(ended).value("sha256").toString(), Sha256(first));
    if (c.signal == 0) {
        EXPECT_LT(CpuSeconds(RUSAGE_CHILDREN) - cpuBefore, 0.2);
        return;
    }
    const CliResult next = RunCli(Send(emulator.Device(), File("second.bin", second), options));
    EXPECT_EQ(next.exitCode, 0) << next.lines.join('\n').toStdString() << next.err.toStdString();
    const QStringList summaries = emulator.Summaries(1);
    ASSERT_EQ(summaries.size(), 1);
    EXPECT_TRUE(summaries[0].contains(Sha256(second))) << summaries[0].toStdString();
}

INSTANTIATE_TEST_SUITE_P(Sends, CliInterrupt,
    testing::Values(InterruptCase { "9600", 0, 3, "port-lost", "CommPort Lost" },
        InterruptCase { "9600", SIGINT, 130, "cancelled", "Transfer Cancelled" },
        InterruptCase { "115200", SIGINT, 130, "cancelled", "Transfer Cancelled" },
        InterruptCase { "115200", SIGTERM, 143, "cancelled", "Transfer Cancelled" }));

TEST_F(CliTransfer, ProgressLineOnATerminalOnly)
{
    const QString path = File("progress.bin", RandomBytes(12 * 1024, 8));
    EmulatorProcess emulator({ "--baud", "115200" });
    PtyPair terminal;
    const QByteArray tty = QFile::encodeName(terminal.SlavePath());
    const CliResult onTerminal
        = CliProcess(Send(emulator.Device(), path), {}, [tty] { ::dup2(::open(tty.constData(), O_RDWR), 2); }).Finish();
    EXPECT_EQ(onTerminal.exitCode, 0);
    const QByteArray shown = terminal.Receive(1 << 16, 300);
    EXPECT_GE(shown.count('\r'), 2);
    EXPECT_TRUE(shown.contains("/12288 bytes")) << shown.constData();

    const CliResult onPipe = RunCli(Send(emulator.Device(), path));
    EXPECT_EQ(onPipe.exitCode, 0);
    EXPECT_FALSE(onPipe.err.contains(QLatin1Char('\r')));
    EXPECT_EQ(onPipe.lines.value(onPipe.lines.size() - 1), QStringLiteral("Transfer Completed "));
}

// The receive goes through the emulator's --link, which must be gone once the emulator has ended.
// A spoilt frame is taken from its resend.
TEST_F(CliTransfer, ReceiveStoresOnlyWhatArrived)
{
    const QByteArray preset = ReadFile(qEnvironmentVariable("TESSAVO_TEST_DATA") + "/preset/gap.rcu");
    const QString link = m_dir.filePath("ttySTB");
    {
        EmulatorProcess emulator({ "--send-preset", File("preset.rcu", preset), "--link", link, "--spoil", "2" });
        const CliResult cli = RunCli({ "receive", "--port", link, "--out", "-", "--timeout", "30" });
        EXPECT_EQ(cli.exitCode, 0);
        EXPECT_EQ(cli.out, preset);
        EXPECT_TRUE(cli.err.endsWith("Packet 3/64 Received\nTransfer Completed \n")) << cli.err.toStdString();
        EXPECT_EQ(emulator.Stop(), 0);
    }
    EXPECT_FALSE(QFileInfo::exists(link));

    // Data the editor would refuse: said, and with --require-preset not written.
    const QByteArray notPreset = RandomBytes(3 * 1024 + 100, 4);
    for (const bool require : { false, true }) {
        EmulatorProcess emulator({ "--send-preset", File("other.rcu", notPreset) });
        const QString out = File("received.rcu", "old");
        const CliResult cli = RunCli(QStringList { "receive", "--port", emulator.Device(), "--out", out, "--json" }
            + (require ? QStringList { "--require-preset" } : QStringList {}));
        EXPECT_EQ(cli.exitCode, require ? 1 : 0);
        EXPECT_TRUE(cli.err.contains("fails the preset check")) << cli.err.toStdString();
        EXPECT_EQ(Record(cli).value("preset_check"), "failed");
        EXPECT_EQ(ReadFile(out), require ? QByteArray("old") : notPreset);
    }

    // Noise after the sync, then an end frame, on a line of our own: nothing stored, the old file kept.
    PtyPair line;
    const QString out = File("kept.rcu", "old");
    CliProcess receive({ "receive", "--port", line.SlavePath(), "--out", out, "--timeout", "10" });
    std::array<std::uint8_t, kFrameMaxSize> frame {};
    const int endSize = BuildFrame(CCrc32(), frame.data(), 0, kTypeEnd, kEndFramePayload, nullptr, kEndFramePayload);
    const std::pair<QByteArray, char> steps[] = { { "U", 'A' }, { RandomBytes(200, 9).replace('U', 'u'), 'N' },
        { QByteArray(reinterpret_cast<const char*>(frame.data()), endSize), 'T' } };
    for (const auto& [bytes, letter] : steps) {
        for (int attempt = 0; attempt < 10; ++attempt) {
            line.Send(bytes);
            if (line.Receive(3, 300).contains(letter))
                break;
        }
    }
    const CliResult noise = receive.Finish(10000);
    EXPECT_EQ(noise.exitCode, 1);
    EXPECT_TRUE(noise.err.contains("no data frame")) << noise.err.toStdString();
    EXPECT_EQ(QFile(out).size(), 3);
}

// The image is read once before the sync: a file overwritten or cut mid-send changes nothing of the download.
TEST_F(CliTransfer, SendsTheImageAsItWasAtTheStart)
{
    const QByteArray image = RandomBytes(24 * 1024, 10);
    for (const QByteArray& later : { RandomBytes(24 * 1024, 11), QByteArray("cut") }) {
        const QString path = File("release.bin", image);
        EmulatorProcess emulator({ "--baud", "115200" });
        CliProcess cli(Send(emulator.Device(), path, { "--baud", "115200", "--json" }));
        ASSERT_TRUE(cli.WaitFor("Trnasmited Count 2"));
        File("release.bin", later);
        const CliResult ended = cli.Finish();
        EXPECT_EQ(ended.exitCode, 0);
        EXPECT_TRUE(emulator.Summaries(1).value(0).contains("size=24576 sha256=" + Sha256(image)));
        EXPECT_EQ(Record(ended).value("sha256").toString(), Sha256(image));
        EXPECT_EQ(Record(ended).value("bytes"), 24576);
    }
}

// An ordinary user sends twice in a row to one receiver on a pseudo-terminal, a file whose name is not
// UTF-8; the emulator numbers its saves on from what its folder holds. The second run's standard output is
// a pipe whose reader has gone (send ... | head -1): the flash is not cut and its record is logged.
TEST_F(CliTransfer, OrdinaryUserSendsTwiceUnderAnyName)
{
    const QByteArray image = RandomBytes(3072, 13);
    const QByteArray name = QFile::encodeName(m_dir.path()) + "/n\xE9.bin";
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_TRUE(fd >= 0 && ::write(fd, image.constData(), size_t(image.size())) == image.size() && ::close(fd) == 0);
    const QString saves = m_dir.filePath("saves");
    ASSERT_TRUE(QDir().mkpath(saves));
    File("saves/5_0003.bin", "old");
    EmulatorProcess emulator({ "--save-dir", saves });
    ASSERT_EQ(::chmod(QFile::encodeName(emulator.Device()).constData(), 0666), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(m_dir.path()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(File("flash.jsonl", {})).constData(), 0666), 0);
    for (int run = 0; run < 2; ++run) {
        const QByteArray dir = QFile::encodeName(m_dir.path());
        ChildProcess cli;
        cli.Start("sh",
            { "-c", "exec \"$0\" send --port \"$1\" --kind code --log flash.jsonl \"$(printf 'n\\351.bin')\"",
                EmulatorProcess::Program("tessavo2-cli"), emulator.Device() },
            {}, [run, dir] {
                int ends[2];
                if (run == 1 && ::pipe(ends) == 0 && ::close(ends[0]) == 0)
                    ::dup2(ends[1], STDOUT_FILENO);
                if (::chdir(dir.constData()) != 0 || ::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0
                    || ::setuid(65534) != 0)
                    ::_exit(99);
            });
        ASSERT_TRUE(cli.WaitForFinished(30000));
        const QByteArray err = cli.Err();
        EXPECT_EQ(cli.ExitCode(), run) << err.constData();
        EXPECT_EQ(err.contains("standard output: "), run == 1) << err.constData();
    }
    const QList<QByteArray> records = ReadFile(m_dir.filePath("flash.jsonl")).split('\n');
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(QJsonDocument::fromJson(records.value(i)).object().value("result"), "completed");
    const QStringList summaries = emulator.Summaries(2);
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(summaries.value(i).endsWith(Sha256(image) + " file=" + saves + QString("/5_000%1.bin").arg(i + 4)));
    EXPECT_EQ(ReadFile(saves + "/5_0003.bin"), "old");
    ::unlink(name.constData()); // a name Qt cannot remove
}

TEST_F(CliTransfer, PortsListsTheEmulatorNamedByCom1)
{
    EmulatorProcess emulator({});
    const CliResult cli = RunCli({ "ports", "--json" }, { "TESSAVO2_COM1=" + emulator.Device() });
    EXPECT_EQ(cli.exitCode, 0);
    const QJsonArray ports = QJsonDocument::fromJson(cli.lines.join('\n').toUtf8()).array();
    const auto named = std::find_if(ports.begin(), ports.end(),
        [&](const QJsonValue& port) { return port.toObject().value("com").toArray().contains("COM1"); });
    ASSERT_NE(named, ports.end()) << cli.lines.join('\n').toStdString();
    EXPECT_EQ(QFileInfo((*named).toObject().value("device").toString()).canonicalFilePath(),
        QFileInfo(emulator.Device()).canonicalFilePath());
}

// Production lines flash several receivers at once into one log: every record stays one whole line.
TEST_F(CliTransfer, FourWritersShareOneLog)
{
    const QString log = m_dir.filePath("flash.jsonl");
    const QString script = QStringLiteral("for i in $(seq 50); do \"$0\" send --port /dev/null --kind code nope "
                                          "--quiet --log \"$1\" 2>/dev/null; done");
    std::vector<std::unique_ptr<ChildProcess>> writers;
    for (int i = 0; i < 4; ++i) {
        writers.push_back(std::make_unique<ChildProcess>());
        writers.back()->Start("sh", { "-c", script, EmulatorProcess::Program("tessavo2-cli"), log });
    }
    for (auto& writer : writers)
        EXPECT_TRUE(writer->WaitForFinished(120000));
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 201);
    for (qsizetype i = 0; i < 200; ++i)
        EXPECT_EQ(QJsonDocument::fromJson(lines[i]).object().value("result"), "failed") << lines[i].constData();
}

} // namespace
