// The record editor on the sample database: LoadData until the first page shows, then every
// further page, with the number of statements each step sends.
#include "host/ReferenceHost.h"
#include "host/app/Views.h"
#include "host/data/SqliteDataService.h"
#include "platform/Conv.h"
#include "platform/ui/ScriptedUiDriver.h"
#include "zelk/ManagedAreaDetails.h"

#include <benchmark/benchmark.h>

using namespace zelk;

namespace {

struct Rig {
    std::unique_ptr<host::ReferenceHost> host;
    long statements = 0;
    long id = 0;
    Rig() {
        SetUiDriver(std::make_shared<ScriptedUiDriver>());
        host = host::ReferenceHost::Open({":memory:", "bench", 500, 1, true, true});
        // Every statement the database runs, the business objects' own loads included.
        if (auto* db = dynamic_cast<host::SqliteDataService*>(host->Db().get()))
            db->SetStatementHook([this](const std::string&) { ++statements; });
        auto rs = host->Db()->Query(
            "SELECT managed_area_id FROM ma m WHERE EXISTS (SELECT 1 FROM managed_area_owner o "
            "WHERE o.managed_area_id = m.managed_area_id) ORDER BY managed_area_id LIMIT 1");
        id = rs->EOF() ? 1 : static_cast<long>(CLng(rs->GetFields().Item(std::size_t{0}).Value()));
    }
    std::shared_ptr<editor::ManagedAreaDetails> NewEditor(std::shared_ptr<host::HostWindow>& w) {
        w = std::make_shared<host::HostWindow>("frmManagedArea");
        auto e = std::dynamic_pointer_cast<editor::ManagedAreaDetails>(
            w->AddControl("ZELK_ManagedArea.ManagedAreaDetails", "ctlDetails"));
        e->InitDetails(host->WorkingList(), host->App(), 1, host->WinMan(), host->Views(), "");
        return e;
    }
};

Rig& TheRig() {
    static Rig rig;
    return rig;
}

void BM_LoadFirstPage(benchmark::State& state) {
    Rig& rig = TheRig();
    long sent = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::shared_ptr<host::HostWindow> w;
        auto e = rig.NewEditor(w);
        rig.statements = 0;
        state.ResumeTiming();
        e->LoadData(rig.id);
        state.PauseTiming();
        sent = rig.statements;
        e->Deactivate();
        state.ResumeTiming();
    }
    state.counters["statements"] = static_cast<double>(sent);
}
BENCHMARK(BM_LoadFirstPage)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_ShowAllPages(benchmark::State& state) {
    Rig& rig = TheRig();
    long sent = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::shared_ptr<host::HostWindow> w;
        auto e = rig.NewEditor(w);
        e->LoadData(rig.id);
        rig.statements = 0;
        state.ResumeTiming();
        for (int p = 1; p < editor::PageCount; ++p)
            e->tabManagedAreas->UserSelectTab(p);
        state.PauseTiming();
        sent = rig.statements;
        e->Deactivate();
        state.ResumeTiming();
    }
    state.counters["statements"] = static_cast<double>(sent);
}
BENCHMARK(BM_ShowAllPages)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
