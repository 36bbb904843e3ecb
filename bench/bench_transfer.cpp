// Download throughput against the receiver emulator pacing a 115200 baud line, and heap allocations
// of a whole transfer for two image sizes (they must not grow with the number of frames).
#include "base/messagebox.h"
#include "transfer/ctransferengine.h"
#include "transfer/transferreporter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
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
    [[nodiscard]] int DownloadKind() const override { return 2; }
};

class Emulator {
public:
    explicit Emulator(const QStringList& args)
    {
        const QString program = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("stb-emulator"));
        m_process.start(program, args);
        m_process.waitForReadyRead(10000);
        m_device = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }
    ~Emulator()
    {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }
    QString m_device;

private:
    QProcess m_process;
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
    engine.SetPortDevice(device);
    engine.SetSelectedPath(image.fileName());
    engine.SetTransferView(&view);
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
    if (engine.StartFileTransfer())
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
