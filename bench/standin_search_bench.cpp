// The other modules' stand-in searches on a sample database with 5,000 sites: an unrestricted
// search (query and results grid), a search for part of a name, and handing 1,000 chosen rows
// to the caller's recordset.
#include "host/ReferenceHost.h"
#include "host/modules/StandInSearch.h"
#include "platform/ui/ScriptedUiDriver.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

using namespace zelk;
using namespace zelk::host;

namespace {

constexpr int kAreas = 20000; // a quarter as many sites

ReferenceHost& Host() {
    static std::unique_ptr<ReferenceHost> host = [] {
        SetUiDriver(std::make_shared<ScriptedUiDriver>());
        auto path = (std::filesystem::temp_directory_path() / "zelk_standin_bench_20k.db").string();
        HostOptions o;
        o.dbPath = path;
        o.userName = "bench";
        o.sampleAreas = kAreas;
        return ReferenceHost::Open(o);
    }();
    return *host;
}

std::unique_ptr<StandInSearch> SiteSearch(RecordsetPtr& rs) {
    auto s = std::make_unique<StandInSearch>(SiteSearchSource());
    s->InitModalSearch(Host().App(), rs, "");
    return s;
}

void BM_SiteSearchEverything(benchmark::State& state) {
    RecordsetPtr rs;
    auto s = SiteSearch(rs);
    long rows = 0;
    for (auto _ : state)
        rows = s->FindNow();
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_SiteSearchEverything)->Unit(benchmark::kMillisecond);

void BM_SiteSearchPartOfAName(benchmark::State& state) {
    RecordsetPtr rs;
    auto s = SiteSearch(rs);
    s->Get<TextBox>("txtName").SetText("ree");
    long rows = 0;
    for (auto _ : state)
        rows = s->FindNow();
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_SiteSearchPartOfAName)->Unit(benchmark::kMillisecond);

void BM_SiteHandOverThousandRows(benchmark::State& state) {
    RecordsetPtr rs = Host().App()->GetPrototypeRSForView("SIT");
    auto s = SiteSearch(rs);
    s->UseSelectedRecordset(true);
    s->FindNow();
    auto& grid = s->Get<VSFlexGrid>("flexResults");
    for (long r = 1; r <= 1000 && r < grid.Rows(); ++r)
        grid.SetIsSelected(r, true);
    for (auto _ : state)
        s->SelectedItems();
    state.counters["rows"] = static_cast<double>(rs->RecordCount());
}
BENCHMARK(BM_SiteHandOverThousandRows)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
