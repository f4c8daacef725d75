// The managed area search over 100,000 managed areas, end to end as the user runs it: criteria
// to SQL, the host's query service, the detached copy and the filled results grid; against a
// bare sqlite3_step loop over the same translated statement. "ratio" is search time over raw
// time (goal <= 1.5). Add to List of 10,000 selected rows into a 100,000-row working list
// (goal < 100 ms).
#include "common/RS_Functions.h"
#include "host/ReferenceHost.h"
#include "host/data/SqliteDataService.h"
#include "host/sql/OracleTranslator.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ui/ScriptedUiDriver.h"
#include "search/ManagedAreaSearch.h"

#include "RawSqlite.h"
#include "SearchHost.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

using namespace zelk;

namespace {

constexpr int kAreas = 100000;

struct Bench : bench::SearchHost {
    std::string term; // a name part that about a tenth of the areas carry

    Bench() {
        auto path = (std::filesystem::temp_directory_path() / "zelk_search_bench_100k.db").string();
        host::HostOptions o;
        o.dbPath = path;
        o.userName = "bench";
        o.sampleAreas = kAreas;
        Open(o, [&] {
            std::error_code ec;
            for (const char* suffix : {"", "-wal", "-shm"})
                std::filesystem::remove(path + suffix, ec);
        });
        double best = 1e9;
        for (const char* t : {"RIVER", "CREEK", "LAKE", "RIDGE", "PINE", "STATE PARK", "MARSH",
                              "HOLLOW", "PRAIRIE", "PARK", "REFUGE", "PRESERVE", "AREA"}) {
            auto rs = host->Db()->Query(
                "SELECT count(*) FROM ma WHERE instr(upper(managed_area_name), ?) > 0",
                {Variant(t)});
            double share = CDbl(rs->GetFields().Item(std::size_t{0}).Value()) / kAreas;
            if (std::abs(share - 0.1) < best) {
                best = std::abs(share - 0.1);
                term = t;
            }
        }
    }

    // The user's search; answers the number of rows in the grid.
    long NameSearch() {
        search->Get<TextBox>("txtManagedAreaName").SetText(term);
        search->Get<Control>("cmdFindNow").UserClick();
        return search->Get<VSFlexGrid>("flexResults").Rows() - 1;
    }
    sqlite3* Handle() { return dynamic_cast<host::SqliteDataService&>(*host->Db()).Handle(); }
};

Bench& B() {
    static Bench b;
    return b;
}

// The statement the search builds for its current criteria, translated and prepared.
bench::RawStatement Raw(bool byName) {
    B().search->Get<TextBox>("txtManagedAreaName").SetText(byName ? B().term : "");
    return {B().Handle(), host::sql::OracleTranslator().Translate(B().search->BuildSearchSQL())};
}

void Ratio(benchmark::State& state, bool byName) {
    bench::RawStatement raw = Raw(byName);
    bench::Alternation both;
    long rows = 0;
    for (auto _ : state)
        both.Run([&] { rows = byName ? B().NameSearch() : B().AllRows(); }, raw);
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["search_ms"] = both.MeasuredMs(static_cast<long>(state.iterations()));
    state.counters["raw_ms"] = both.BareMs(static_cast<long>(state.iterations()));
    state.counters["ratio"] = both.Ratio();
}

} // namespace

static void BM_NameSearchToGrid(benchmark::State& state) {
    Ratio(state, true);
    state.SetLabel("name contains " + B().term);
}
BENCHMARK(BM_NameSearchToGrid)->Unit(benchmark::kMillisecond)->MinTime(3.0);

static void BM_AllRowsSearchToGrid(benchmark::State& state) {
    Ratio(state, false);
}
BENCHMARK(BM_AllRowsSearchToGrid)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The host's part alone: the query service's recordset for the same statement, for comparison.
static void BM_AllRowsQueryServiceOnly(benchmark::State& state) {
    B().search->Get<TextBox>("txtManagedAreaName").SetText("");
    const std::string sql = B().search->BuildSearchSQL();
    long rows = 0;
    for (auto _ : state)
        rows = B().host->App()->CallGetQueryRSXML(sql)->RecordCount();
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_AllRowsQueryServiceOnly)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// 10,000 selected result rows into a working list of 100,000 other areas.
static void BM_AddToList10kInto100k(benchmark::State& state) {
    Bench& b = B();
    b.AllRows();
    auto& grid = b.search->Get<VSFlexGrid>("flexResults");
    std::vector<long> rows;
    for (long r = 1; r < grid.Rows(); r += 10)
        rows.push_back(r);
    grid.UserSelectRows(rows);
    RecordsetPtr list = b.host->WorkingList();
    EmptyRecordset(*list);
    auto results = b.search->Results();
    results->MoveFirst();
    for (long i = 0; i < kAreas; ++i, results->MoveNext()) {
        if (results->EOF()) results->MoveFirst();
        list->AddNew();
        list->GetFields().Item("ID").SetValue(Variant(1000001 + static_cast<int>(i)));
        list->GetFields().Item("managed_area_name").SetValue(results->Value("managed_area_name"));
    }
    list->Update();
    list->Rebase();
    for (auto _ : state) {
        b.search->Get<Control>("cmdAddToList").UserClick();
        state.PauseTiming();
        if (list->RecordCount() != kAreas + static_cast<long>(rows.size()))
            state.SkipWithError("the rows were not added");
        list->SetFilter("ID > 1000000");
        list->Rebase();
        list->SetFilter("");
        state.ResumeTiming();
    }
    state.counters["selected"] = static_cast<double>(rows.size());
    state.counters["list"] = kAreas;
}
BENCHMARK(BM_AddToList10kInto100k)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
