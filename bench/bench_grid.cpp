// Fill, fit and paint of a 513 x 5 transponder-style grid: our grid against QTableWidget doing
// the same work in the same run. Prints the time ratio at the end.

#include "grid/cgridctrl.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QTableWidget>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <set>
#include <string>

namespace {

constexpr int kRows = 513;
constexpr int kColumns = 5;
const QSize kSize(650, 500);

QString CellText(int row, int column)
{
    if (row == 0)
        return QStringLiteral("Heading %1").arg(column);
    if (column == 0)
        return QString::number(row);
    static const char* const kFec[] = { "1/2", "2/3", "3/4", "5/6", "7/8", "AUTO" };
    switch (column) {
    case 1:
        return QString::number(10700 + row * 3);
    case 2:
        return QString::number(27500);
    case 3:
        return QString::fromLatin1(kFec[row % 6]);
    default:
        return row % 2 ? QStringLiteral("HOR.") : QStringLiteral("VER.");
    }
}

void BM_GridFillFitPaint(benchmark::State& state)
{
    CGridCtrl grid;
    grid.resize(kSize);
    grid.show();
    QImage image(kSize, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        grid.SetRows(kRows);
        grid.SetFixedRows(1);
        grid.SetColumns(kColumns);
        grid.SetFixedColumns(1);
        GridItemInfo item;
        item.mask = GVIF_TEXT | GVIF_FORMAT;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c) {
                item.row = r;
                item.column = c;
                item.text = CellText(r, c);
                item.format = r == 0 ? DT_WORDBREAK
                    : c == 0         ? DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS
                                     : DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
                grid.WriteItem(item);
            }
        grid.FitAll();
        grid.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_TableWidgetFillFitPaint(benchmark::State& state)
{
    QTableWidget table;
    table.resize(kSize);
    table.show();
    QImage image(kSize, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        table.setRowCount(kRows);
        table.setColumnCount(kColumns);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c) {
                auto* item = new QTableWidgetItem(CellText(r, c));
                item->setTextAlignment(c == 0 ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignCenter);
                table.setItem(r, c, item);
            }
        table.resizeColumnsToContents();
        table.resizeRowsToContents();
        table.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

BENCHMARK(BM_GridFillFitPaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableWidgetFillFitPaint)->Unit(benchmark::kMillisecond);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        // The median of repetitions, when there are any, stands for the benchmark.
        for (const Run& run : runs) {
            const std::string& name = run.run_name.function_name;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                m_times[name] = run.GetAdjustedRealTime();
            else if (run.run_type == Run::RT_Iteration && !m_medians.count(name))
                m_times[name] = run.GetAdjustedRealTime();
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                m_medians.insert(name);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintRatio() const
    {
        const auto grid = m_times.find("BM_GridFillFitPaint");
        const auto table = m_times.find("BM_TableWidgetFillFitPaint");
        if (grid == m_times.end() || table == m_times.end() || table->second <= 0)
            return;
        std::printf("CGridCtrl time / QTableWidget time: %.3f (below 1 means the grid is faster)\n",
            grid->second / table->second);
    }

private:
    std::map<std::string, double> m_times;
    std::set<std::string> m_medians;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio();
    benchmark::Shutdown();
    return 0;
}
