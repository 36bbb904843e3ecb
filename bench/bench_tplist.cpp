#include "base/messagebox.h"
#include "tplist/csatellitecatalog.h"
#include "tplist/listfileaction.h"
#include "tplist/tpbuildstate.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

// 200 lines per satellite: a heading, then transponders of both bands, each followed by a second
// service on the same frequency and now and then a line the conversion skips.
QByteArray SatcoDxFile(int seed)
{
    QByteArray bytes = "SatcoDX satellite list\r\n";
    for (int line = 1; line < 200; ++line) {
        const int transponder = line / 2;
        const bool ku = (transponder + seed) % 3 != 0;
        const int mhz = ku ? 10700 + 19 * transponder : 3400 + 20 * transponder;
        const char kind = line % 17 == 0 ? 'S' : (line % 5 == 0 ? 'R' : 'T');
        bytes += QByteArray(1, kind) + "\tService " + QByteArray::number(line) + "\t"
            + QByteArray::number(mhz / 1000.0, 'f', 3) + "\t" + (line % 4 == 0 ? "V" : "H")
            + "\t\tDVB\tMPEG-2\tFTA\t\t27500\t3/4\t\t" + QByteArray::number(1000 + line) + "\t\tEnglish\r\n";
    }
    return bytes;
}

void ListFileForAllSatellites(benchmark::State& bench)
{
    SetMessageBoxHandler([](const QString&, const QString&, unsigned) { return int(IDOK); });
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QDir().mkdir("TP_List");
    auto catalog = std::make_unique<CSatelliteCatalog>();
    for (int g = 0; g < CSatelliteCatalog::kGroupCount; ++g) {
        QDir().mkdir(QStringLiteral("SatcoDx%1").arg(g + 1));
        for (int i = 0; i < catalog->GroupSize(g); ++i) {
            QFile file(QStringLiteral("SatcoDx%1/%2.txt").arg(g + 1).arg(catalog->PosText(g, i)));
            if (!file.open(QIODevice::WriteOnly))
                bench.SkipWithError("cannot write the SatcoDX files");
            file.write(SatcoDxFile(g * 27 + i));
        }
    }
    catalog->SetAll(true);
    auto state = std::make_unique<TpBuildState>();
    for (auto _ : bench) {
        if (RunListFile(*catalog, *state, {}) != ListFileResult::Done)
            bench.SkipWithError("List File failed");
    }
    bench.counters["lists"] = state->listCount;
    bench.counters["transponders"] = state->tpCount;
    QDir::setCurrent(previous);
    SetMessageBoxHandler({});
}

} // namespace

BENCHMARK(ListFileForAllSatellites)->Unit(benchmark::kMillisecond)->MinTime(2.0);

BENCHMARK_MAIN();
