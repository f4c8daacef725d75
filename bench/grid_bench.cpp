// Filling and reading back a large grid, the size of the biggest results list.
#include "platform/ui/VSFlexGrid.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

namespace {

long PeakRssKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

void FillAndRead(benchmark::State& state) {
    const long rows = state.range(0), cols = 20;
    std::vector<std::string> texts;
    for (long c = 0; c < cols; ++c)
        texts.push_back("Oak Hollow value " + std::to_string(c));
    std::size_t total = 0;
    for (auto _ : state) {
        zelk::VSFlexGrid grid("flexResults");
        grid.SetRedraw(0);
        grid.SetCols(cols);
        grid.SetRows(rows + 1);
        for (long r = 1; r <= rows; ++r)
            for (long c = 0; c < cols; ++c)
                grid.SetTextMatrix(r, c,
                                   c == 0 ? std::to_string(r) : texts[static_cast<std::size_t>(c)]);
        grid.SetRedraw(2);
        for (long r = 1; r <= rows; ++r)
            for (long c = 0; c < cols; ++c)
                total += grid.CellRef(r, c).size();
        benchmark::DoNotOptimize(total);
    }
    state.counters["peak_rss_mb"] = static_cast<double>(PeakRssKb()) / 1024.0;
}
BENCHMARK(FillAndRead)->Arg(100000)->Unit(benchmark::kMillisecond);

void SortRows(benchmark::State& state) {
    zelk::VSFlexGrid grid("flexResults");
    grid.SetRedraw(0);
    grid.SetCols(20);
    grid.SetRows(100001);
    for (long r = 1; r <= 100000; ++r) {
        grid.SetTextMatrix(r, 0, std::to_string((r * 7919) % 100000));
        grid.SetTextMatrix(r, 1, "Area " + std::to_string((r * 104729) % 100000));
    }
    int order = zelk::flex::SortGenericAscending;
    for (auto _ : state) {
        grid.SetCol(state.range(0));
        grid.Sort(order);
        order = order == zelk::flex::SortGenericAscending ? zelk::flex::SortGenericDescending
                                                          : zelk::flex::SortGenericAscending;
    }
}
BENCHMARK(SortRows)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
