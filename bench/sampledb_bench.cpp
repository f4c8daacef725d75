// zelk-sampledb as a user runs it: a new sample file of N managed areas, outlines and all.
// The goal is a million areas within 90 s on two cores; the rate here tells how far off.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

void BM_SampleFile(benchmark::State& state) {
    const long areas = state.range(0);
    const fs::path dir = fs::path(ZELK_BENCH_DATA);
    fs::create_directories(dir);
    const fs::path out = dir / "sampledb-bench.db";
    const std::string cmd = std::string("'") + ZELK_SAMPLEDB + "' --force --areas " +
                            std::to_string(areas) + " --seed 1 --out '" + out.string() +
                            "' >/dev/null";
    for (auto _ : state)
        if (std::system(cmd.c_str()) != 0) state.SkipWithError("zelk-sampledb failed");
    state.counters["areas/s"] =
        benchmark::Counter(static_cast<double>(areas) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
    std::error_code ec;
    fs::remove(out, ec);
}
BENCHMARK(BM_SampleFile)
    ->Arg(20000)
    ->Arg(100000)
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace

BENCHMARK_MAIN();
