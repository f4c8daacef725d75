// The managed area search over 100,000 managed areas on a PostgreSQL server, end to end as the
// user runs it (criteria to SQL, the host's query service over libpq, the detached copy, the
// filled results grid), against the server's own execution time of the same translated
// statement (EXPLAIN ANALYZE). "ratio" is search time over server time.
//
// The server comes from ZELK_BENCH_PG or ZELK_TEST_PG (a URL the bench may create a database
// from; scripts/pg.sh start prints one). The database "zelk_bench_100k" is kept between runs.
#include "host/ReferenceHost.h"
#include "host/data/PgDataService.h"
#include "host/sql/OracleTranslator.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ui/ScriptedUiDriver.h"
#include "search/ManagedAreaSearch.h"

#include "SearchHost.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

using namespace zelk;

namespace {

constexpr int kAreas = 100000;
constexpr const char* kDatabase = "zelk_bench_100k";

std::string ServerUrl() {
    for (const char* var : {"ZELK_BENCH_PG", "ZELK_TEST_PG"})
        if (const char* v = std::getenv(var); v && *v) return v;
    return "";
}

struct Bench : bench::SearchHost {
    std::string error;

    Bench() {
        const std::string server = ServerUrl();
        if (server.empty()) {
            error = "no PostgreSQL server: set ZELK_BENCH_PG or ZELK_TEST_PG";
            return;
        }
        host::HostOptions o;
        o.dbPath = host::PgDataService::WithDatabase(server, kDatabase);
        o.userName = "bench";
        o.sampleAreas = kAreas;
        try {
            Open(o, [&] {
                host::PgDataService::Administer(server, std::string("DROP DATABASE IF EXISTS ") +
                                                            kDatabase + " WITH (FORCE)");
                host::PgDataService::Administer(server,
                                                std::string("CREATE DATABASE ") + kDatabase);
            });
        } catch (const ComError& e) {
            error = e.Description();
        }
    }

    // The server's execution time of the statement, in milliseconds.
    double ServerMs(const std::string& pgSql) {
        auto rs = host->Db()->Query("EXPLAIN (ANALYZE, FORMAT JSON) " + pgSql);
        std::string plan = CStr(rs->GetFields().Item(std::size_t{0}).Value());
        auto at = plan.find("\"Execution Time\":");
        return at == std::string::npos ? 0.0 : std::atof(plan.c_str() + at + 17);
    }
};

Bench& B() {
    static Bench b;
    return b;
}

} // namespace

static void BM_PgAllRowsSearchToGrid(benchmark::State& state) {
    Bench& b = B();
    if (!b.error.empty()) {
        state.SkipWithError(b.error.c_str());
        return;
    }
    b.search->Get<TextBox>("txtManagedAreaName").SetText("");
    host::sql::OracleTranslator t;
    const std::string pgSql =
        t.Translate(b.search->BuildSearchSQL(), host::sql::Dialect::PostgreSQL);
    using Clock = std::chrono::steady_clock;
    Clock::duration full{};
    double server = 0;
    long rows = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        rows = b.AllRows();
        full += Clock::now() - t0;
        server += b.ServerMs(pgSql);
    }
    const double searchMs = std::chrono::duration<double, std::milli>(full).count() /
                            static_cast<double>(state.iterations());
    const double serverMs = server / static_cast<double>(state.iterations());
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["search_ms"] = searchMs;
    state.counters["server_ms"] = serverMs;
    state.counters["ratio"] = serverMs > 0 ? searchMs / serverMs : 0;
}
BENCHMARK(BM_PgAllRowsSearchToGrid)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The host's part alone: the query service's recordset for the same statement.
static void BM_PgAllRowsQueryServiceOnly(benchmark::State& state) {
    Bench& b = B();
    if (!b.error.empty()) {
        state.SkipWithError(b.error.c_str());
        return;
    }
    b.search->Get<TextBox>("txtManagedAreaName").SetText("");
    const std::string sql = b.search->BuildSearchSQL();
    long rows = 0;
    for (auto _ : state)
        rows = b.host->App()->CallGetQueryRSXML(sql)->RecordCount();
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_PgAllRowsQueryServiceOnly)->Unit(benchmark::kMillisecond)->MinTime(3.0);

BENCHMARK_MAIN();
