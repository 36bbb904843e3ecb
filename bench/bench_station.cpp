// The production station at scale: 8 lines at 115200 baud in one station process (8 receiver emulators)
// beside one line alone, in the same run. Each line's share of its line rate comes from its record; the
// ratio is the 8 lines' slowest share over the one line's, and the CPU per line is the station process's
// user and system time over the run's wall time, per line.
#include "benchemulator.h"
#include "station/cstation.h"

#include <QCryptographicHash>
#include <QEventLoop>
#include <QJsonObject>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int kBaud = 115200;
constexpr double kLineBytesPerSecond = kBaud / 10.0;
constexpr int kImageSize = 128 * 1024;

double CpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Run {
    bool ok = false;
    double minSharePct = 0;
    double meanSharePct = 0;
    double cpuPerLinePct = 0;
};

// Every line flashes one receiver; the run ends when all have.
Run Station(int lines)
{
    std::vector<std::unique_ptr<Emulator>> emulators;
    StationConfig config;
    for (int i = 0; i < lines; ++i) {
        emulators.push_back(std::make_unique<Emulator>(QStringList {
            QStringLiteral("--baud"), QString::number(kBaud), QStringLiteral("--receivers"), QStringLiteral("1") }));
        config.ports << emulators.back()->m_device;
    }
    config.image.path = QStringLiteral("bench.bin");
    config.image.bytes = QByteArray(kImageSize, '\x5A');
    config.sha256
        = QString::fromLatin1(QCryptographicHash::hash(config.image.bytes, QCryptographicHash::Sha256).toHex());
    config.count = lines;
    config.station = QStringLiteral("bench");

    CStation station(std::move(config));
    QEventLoop loop;
    std::vector<double> shares;
    bool allPassed = true;
    QObject::connect(&station, &CStation::recordWritten, &loop, [&](const QJsonObject& record) {
        allPassed = allPassed && record.value(QStringLiteral("result")).toString() == QLatin1String("completed");
        shares.push_back(100.0 * record.value(QStringLiteral("bytes_per_second")).toDouble() / kLineBytesPerSecond);
    });
    QObject::connect(&station, &CStation::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(300000, &loop, &QEventLoop::quit);
    const double cpuBefore = CpuSeconds();
    QElapsedTimer clock;
    clock.start();
    station.Start();
    loop.exec();
    const double wall = double(clock.nsecsElapsed()) / 1e9;
    Run run;
    run.ok = allPassed && int(shares.size()) == lines;
    if (!shares.empty()) {
        run.minSharePct = *std::min_element(shares.begin(), shares.end());
        for (const double share : shares)
            run.meanSharePct += share / double(shares.size());
    }
    run.cpuPerLinePct = 100.0 * (CpuSeconds() - cpuBefore) / wall / lines;
    return run;
}

void BM_StationEightLinesBesideOne(benchmark::State& state)
{
    for (auto _ : state) {
        const Run one = Station(1);
        const Run eight = Station(8);
        if (!one.ok || !eight.ok) {
            state.SkipWithError("a download failed");
            return;
        }
        state.counters["one_line_share_pct"] = one.meanSharePct;
        state.counters["eight_min_share_pct"] = eight.minSharePct;
        state.counters["eight_mean_share_pct"] = eight.meanSharePct;
        state.counters["ratio_eight_to_one"] = eight.minSharePct / one.meanSharePct;
        state.counters["cpu_per_line_pct_one"] = one.cpuPerLinePct;
        state.counters["cpu_per_line_pct_eight"] = eight.cpuPerLinePct;
        state.counters["protocol_ceiling_pct"] = 100.0 * 1024.0 / 1036.0;
    }
}
BENCHMARK(BM_StationEightLinesBesideOne)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
