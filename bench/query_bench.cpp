// The unrestricted managed area search over 100,000 managed areas: through the translated
// query service (Oracle SQL in, recordset out) and through a bare sqlite3_step loop over the
// same translated statement. The ratio counter is the price of the recordset.
#include "host/data/SqliteDataService.h"
#include "host/sample/SampleData.h"
#include "host/sql/OracleQuery.h"
#include "platform/Conv.h"
#include "platform/Error.h"

#include "RawSqlite.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

using namespace zelk;
using namespace zelk::host;

namespace {

constexpr int kAreas = 100000;
const std::string kSearch =
    "SELECT UNIQUE * FROM managed_area_wl_vw ORDER BY managed_area_wl_vw.id";

// The sample database, written once to a temporary file and reused while it has every area.
SqliteDataService& Db() {
    static std::unique_ptr<SqliteDataService> db = [] {
        auto path = (std::filesystem::temp_directory_path() / "zelk_query_bench_100k.db").string();
        try {
            auto existing = std::make_unique<SqliteDataService>(path, OpenMode::ExistingOnly);
            if (CLng(existing->Query("SELECT count(*) AS n FROM ma")->Value("n")) == kAreas)
                return existing;
        } catch (const ComError&) {
        }
        std::error_code ec;
        for (const char* suffix : {"", "-wal", "-shm"})
            std::filesystem::remove(path + suffix, ec);
        auto fresh = std::make_unique<SqliteDataService>(path);
        WriteSampleData(*fresh, kAreas, 1);
        return fresh;
    }();
    return *db;
}

sql::OracleTranslator& Translator() {
    static sql::OracleTranslator t;
    return t;
}

long ThroughQueryService() {
    return QueryOracle(Db(), Translator(), kSearch)->RecordCount();
}

bench::RawStatement Raw() {
    return {Db().Handle(), Translator().Translate(kSearch)};
}

} // namespace

static void BM_SearchThroughQueryService(benchmark::State& state) {
    long rows = 0;
    for (auto _ : state)
        rows = ThroughQueryService();
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_SearchThroughQueryService)->Unit(benchmark::kMillisecond);

static void BM_SearchRawStep(benchmark::State& state) {
    bench::RawStatement raw = Raw();
    long rows = 0;
    for (auto _ : state)
        rows = raw.Step();
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_SearchRawStep)->Unit(benchmark::kMillisecond);

// Both, alternately, in one run; "ratio" is query service time over raw time (goal <= 1.25).
static void BM_SearchRatio(benchmark::State& state) {
    bench::RawStatement raw = Raw();
    bench::Alternation both;
    for (auto _ : state)
        both.Run([] { benchmark::DoNotOptimize(ThroughQueryService()); }, raw);
    state.counters["ratio"] = both.Ratio();
}
BENCHMARK(BM_SearchRatio)->Unit(benchmark::kMillisecond);

// The database is written before any timing starts.
int main(int argc, char** argv) {
    Db();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
