#include "base/messagebox.h"
#include "grid/cgridctrl.h"
#include "preset/cpreseteditdlg.h"
#include "preset/cpresetgrid.h"
#include "preset/presettables.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstring>

namespace {

// first transponders on satellite 0, the rest of the 512 on satellite 1.
void FillTables(int first)
{
    ResetPresetTables();
    std::strcpy(g_SatTable[0].name.data(), "Astra 19.2E");
    std::strcpy(g_SatTable[1].name.data(), "Hot Bird 13E");
    for (int i = 0; i < NUM_ME_TP; ++i) {
        const bool onFirst = i < first;
        g_TpTable[std::size_t(i)] = pre_tp_t { std::uint16_t(10700 + i), std::uint16_t(onFirst ? 27500 : 22000),
            std::uint8_t(onFirst ? 0 : 1), std::uint8_t(i % 6), std::uint8_t(i % 3), 0 };
    }
}

// Opening: the editor fills both grids and shows satellite 0 with all 512 transponders.
void BM_OpenEditor(benchmark::State& state)
{
    FillTables(NUM_ME_TP);
    CPresetEditDlg editor;
    for (auto _ : state) {
        editor.show();
        QApplication::processEvents();
        editor.hide();
    }
}

// A click on the other satellite: the shown rows are committed, the other's rows filled in.
void BM_SwitchSatellite(benchmark::State& state)
{
    FillTables(int(state.range(0)));
    CPresetEditDlg editor;
    editor.show();
    int row = 1;
    for (auto _ : state) {
        row = 3 - row;
        editor.SatGrid().SelectBlock(row, 1, row, 1, false);
        editor.OnSatSelChanged();
    }
    if (CountTransponders(g_TpTable) != NUM_ME_TP)
        state.SkipWithError("transponders lost while switching");
}

} // namespace

BENCHMARK(BM_OpenEditor)->Unit(benchmark::kMillisecond);
// 512 in all is the table's limit: all on one satellite, or half on each.
BENCHMARK(BM_SwitchSatellite)->Arg(512)->Arg(256)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetMessageBoxHandler([](const QString&, const QString&, unsigned) { return int(IDOK); });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
