// Download throughput against the receiver emulator pacing a 115200 baud line, heap allocations of a
// whole transfer for two image sizes (they must not grow with the number of frames), and the reply
// path of the command-line tool at 115200 and 921600 baud: from the receiver's A to the tool's next
// frame (median, p99) and the share of the line the record reports. TESSAVO2_BENCH_OTHER_CLI names
// another build's tessavo2-cli to measure beside this one in the same run.
#include "base/messagebox.h"
#include "benchemulator.h"
#include "transfer/ctransferengine.h"
#include "transfer/transferreporter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryFile>
#include <QTimer>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> g_allocations { 0 };

} // namespace

void* operator new(std::size_t size)
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    return operator new(size);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

constexpr double kLineBytesPerSecond = 115200.0 / 10.0;

class SilentView : public CTransferReporter {
public:
    void SetStatusText(const QString&) override { }
    void EnableStartButtons() override { }
    void TransferProgress(unsigned, bool) override { }
};

struct Outcome {
    bool ok = false;
    double seconds = 0;
    long allocations = 0;
};

// One code download of size bytes through the engine, timed and with its allocations counted.
Outcome Download(const QString& device, int size)
{
    QTemporaryFile image;
    image.open();
    image.write(QByteArray(size, '\x5A'));
    image.flush();

    SilentView view;
    CTransferEngine engine;
    QEventLoop loop;
    Outcome outcome;
    QObject::connect(&engine, &CTransferEngine::TransferFinished, &loop, [&](bool ok) {
        outcome.ok = ok;
        loop.quit();
    });
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);

    QElapsedTimer timer;
    const long before = g_allocations.load();
    timer.start();
    if (engine.StartFileTransfer({ &view, PortSettings {}, device, TransferKind::Code }, ReadSendImage(image.fileName())))
        loop.exec();
    outcome.seconds = double(timer.nsecsElapsed()) / 1e9;
    outcome.allocations = g_allocations.load() - before;
    return outcome;
}

void BM_PacedCodeDownload(benchmark::State& state)
{
    const int size = int(state.range(0));
    Emulator emulator({ QStringLiteral("--baud"), QStringLiteral("115200") });
    for (auto _ : state) {
        const Outcome outcome = Download(emulator.m_device, size);
        if (!outcome.ok)
            state.SkipWithError("transfer failed");
        state.SetIterationTime(outcome.seconds);
        state.counters["payload_bytes_per_s"] = size / outcome.seconds;
        state.counters["line_share_pct"] = 100.0 * size / outcome.seconds / kLineBytesPerSecond;
        state.counters["protocol_ceiling_pct"] = 100.0 * 1024.0 / 1036.0;
    }
}
BENCHMARK(BM_PacedCodeDownload)->Arg(256 * 1024)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_AllocationsPerDownload(benchmark::State& state)
{
    Emulator emulator({});
    for (auto _ : state) {
        (void)Download(emulator.m_device, 1024); // warm-up: first-use allocations of Qt and the C library
        const Outcome small = Download(emulator.m_device, 16 * 1024);
        const Outcome large = Download(emulator.m_device, 1024 * 1024);
        if (!small.ok || !large.ok)
            state.SkipWithError("transfer failed");
        state.counters["allocs_16_frames"] = double(small.allocations);
        state.counters["allocs_1024_frames"] = double(large.allocations);
        state.counters["extra_allocs_per_frame"] = double(large.allocations - small.allocations) / (1024 - 16);
    }
}
BENCHMARK(BM_AllocationsPerDownload)->Iterations(1)->Unit(benchmark::kMillisecond);

// One value of a summary line ("key=value ...").
double SummaryValue(const QString& line, const QString& key)
{
    for (const QString& field : line.split(QLatin1Char(' ')))
        if (field.startsWith(key + QLatin1Char('=')))
            return field.mid(key.size() + 1).toDouble();
    return 0;
}

void BM_ReplyPath(benchmark::State& state)
{
    const int baud = int(state.range(0));
    const bool other = state.range(1) != 0;
    const QString cli = other
        ? qEnvironmentVariable("TESSAVO2_BENCH_OTHER_CLI")
        : QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("tessavo2-cli"));
    if (cli.isEmpty()) {
        state.SkipWithError("TESSAVO2_BENCH_OTHER_CLI is not set");
        return;
    }
    // About 45 s of line time at either speed.
    const int size = baud >= 921600 ? 4 * 1024 * 1024 : 512 * 1024;
    QTemporaryFile image;
    image.open();
    image.write(QByteArray(size, '\x5A'));
    image.flush();
    Emulator emulator({ QStringLiteral("--baud"), QString::number(baud), QStringLiteral("--timing") });
    for (auto _ : state) {
        QProcess send;
        send.start(cli,
            { QStringLiteral("send"), QStringLiteral("--port"), emulator.m_device, QStringLiteral("--kind"),
                QStringLiteral("code"), QStringLiteral("--baud"), QString::number(baud), QStringLiteral("--quiet"),
                QStringLiteral("--json"), image.fileName() });
        send.waitForFinished(300000);
        const QJsonObject record = QJsonDocument::fromJson(send.readAllStandardOutput()).object();
        const QString timing = emulator.Line(QStringLiteral("timing "), 10000);
        if (record.value(QStringLiteral("result")).toString() != QLatin1String("completed") || timing.isEmpty()) {
            state.SkipWithError("transfer failed");
            return;
        }
        const double seconds = record.value(QStringLiteral("seconds")).toDouble();
        state.SetIterationTime(seconds);
        state.counters["line_share_pct"]
            = 100.0 * record.value(QStringLiteral("bytes_per_second")).toDouble() / (baud / 10.0);
        state.counters["protocol_ceiling_pct"] = 100.0 * 1024.0 / 1036.0;
        state.counters["reply_to_frame_median_us"] = SummaryValue(timing, QStringLiteral("reply_to_frame_median_us"));
        state.counters["reply_to_frame_p99_us"] = SummaryValue(timing, QStringLiteral("reply_to_frame_p99_us"));
    }
}
// The second argument: 0 this build's tool, 1 the one in TESSAVO2_BENCH_OTHER_CLI.
BENCHMARK(BM_ReplyPath)
    ->ArgNames({ "baud", "other" })
    ->ArgsProduct({ { 115200, 921600 }, { 0, 1 } })
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    SetMessageBoxHandler([](const QString&, const QString&, unsigned) { return int(IDOK); });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
