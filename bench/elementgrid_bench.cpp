// The element grid on a managed area with 2,000 elements: loading it (query, grid, domain
// combos, detail panel) against a bare sqlite3_step loop over the same translated statement,
// and copying 2,000 changed rows into the record's element collection.
#include "common/bo/Shape.h"
#include "elementgrid/ElementQuery.h"
#include "elementgrid/MA_ElementGrid.h"
#include "host/ReferenceHost.h"
#include "host/data/SqliteDataService.h"
#include "host/sql/OracleTranslator.h"
#include "platform/Conv.h"
#include "platform/ProgIdRegistry.h"
#include "platform/ui/ScriptedUiDriver.h"

#include "RawSqlite.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

using namespace zelk;

namespace {

constexpr long kArea = 900001;
constexpr int kElements = 2000;

struct Bench {
    std::unique_ptr<host::ReferenceHost> host;
    std::shared_ptr<Form> form;
    std::shared_ptr<elementgrid::MA_ElementGrid> grid;
    bo::ShapePtr shape;

    Bench() {
        SetUiDriver(std::make_shared<ScriptedUiDriver>());
        host::HostOptions o;
        o.userName = "bench";
        o.sampleAreas = 20;
        host = host::ReferenceHost::Open(o);
        // One area whose elements cycle through the three levels, half of them cited.
        std::string sql = "INSERT INTO shape (shape_id, has_shape_ind) VALUES (900001, 'N');"
                          "INSERT INTO ma (managed_area_id, shape_id, managed_area_name) VALUES "
                          "(900001, 900001, 'Benchmark Preserve');";
        const long species =
            CLng(host->Db()->Query("SELECT count(*) AS n FROM element_global")->Value("n"));
        const long refs =
            CLng(host->Db()->Query("SELECT min(reference_id) AS n FROM reference")->Value("n"));
        for (int i = 0; i < kElements; ++i) {
            const long sp = i % species + 1;
            const int level = i % 3;
            sql += "INSERT INTO element_managed_area (managed_area_id, element_global_id, "
                   "element_national_id, element_subnational_id, reference_id, d_origin_id, "
                   "d_regularity_id, d_dist_confidence_id, d_curr_presence_absence_id, "
                   "d_population_id, status_in_ma, ma_distribution_com, display_order) VALUES "
                   "(900001, " +
                   (level == 0 ? std::to_string(sp) : "NULL") + ", " +
                   (level == 1 ? std::to_string(sp) : "NULL") + ", " +
                   (level == 2 ? std::to_string(100 + sp) : "NULL") + ", " +
                   (i % 2 ? std::to_string(refs) : "NULL") + ", " + std::to_string(i % 4 + 1) +
                   ", 1, 2, 1, " + std::to_string(i % 5 + 1) + ", 'Resident', 'Row " +
                   std::to_string(i) + "', " + std::to_string(i + 1) + ");";
        }
        host->Db()->ExecScript("BEGIN;" + sql + "COMMIT;");
        form = std::make_shared<Form>("frmEditor");
        grid = std::dynamic_pointer_cast<elementgrid::MA_ElementGrid>(
            form->AddControl("ZELK_ManagedArea.MA_ElementGrid", "ctlElement"));
    }

    // The record as the editor has it when it sets up the Elements page: loaded, its element
    // collection not yet read.
    void LoadRecord() {
        shape =
            std::dynamic_pointer_cast<bo::IShape>(CreateObject("ZELK_ManagedAreaClient.CShape"));
        shape->Connect("local", 1);
        shape->Load(std::to_string(kArea));
    }
    void InitializeGrid() {
        auto& list = shape->ManagedArea(1)->Children(bo::ChildList::Elements);
        grid->Initialize(dynamic_cast<Object&>(list).shared_from_this(), kArea, host->WinMan(),
                         host->App());
    }
    void Load() {
        LoadRecord();
        InitializeGrid();
    }
};

Bench& B() {
    static Bench b;
    return b;
}

bench::RawStatement Raw() {
    auto& db = dynamic_cast<host::SqliteDataService&>(*B().host->Db());
    return {db.Handle(),
            host::sql::OracleTranslator().Translate(elementgrid::BuildElementQuery(kArea))};
}

} // namespace

static void BM_LoadGrid(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        B().LoadRecord();
        state.ResumeTiming();
        B().InitializeGrid();
    }
    state.counters["rows"] = static_cast<double>(B().grid->Grid().Rows() - 2);
}
BENCHMARK(BM_LoadGrid)->Unit(benchmark::kMillisecond);

static void BM_LoadRawQuery(benchmark::State& state) {
    bench::RawStatement raw = Raw();
    long rows = 0;
    for (auto _ : state)
        rows = raw.Step();
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_LoadRawQuery)->Unit(benchmark::kMillisecond);

// Both, alternately; "ratio" is the grid's load time over the raw query's (goal <= 3). The
// grid's load includes reading the element collection, which its first domain lookup does.
static void BM_LoadRatio(benchmark::State& state) {
    bench::RawStatement raw = Raw();
    bench::Alternation both;
    for (auto _ : state) {
        B().LoadRecord();
        both.Run([] { B().InitializeGrid(); }, raw);
    }
    state.counters["ratio"] = both.Ratio();
}
BENCHMARK(BM_LoadRatio)->Unit(benchmark::kMillisecond);

// 2,000 rows changed in the grid, copied into a freshly loaded record's element collection.
static void BM_StoreToCollection2000Changed(benchmark::State& state) {
    long stored = 0;
    for (auto _ : state) {
        state.PauseTiming();
        B().Load();
        VSFlexGrid& g = B().grid->Grid();
        const long col = g.ColIndex("status_in_ma");
        for (long r = 1; r < g.Rows() - 1; ++r) {
            g.SetTextMatrix(r, col, "Changed " + std::to_string(r));
            g.SetRowData(r, Variant(elementgrid::rowstate::Modified));
        }
        state.ResumeTiming();
        benchmark::DoNotOptimize(B().grid->StoreToCollection());
        stored = B().shape->ManagedArea(1)->Children(bo::ChildList::Elements).Count();
    }
    state.counters["elements"] = static_cast<double>(stored);
}
BENCHMARK(BM_StoreToCollection2000Changed)->Unit(benchmark::kMillisecond);

// The database is written before any timing starts.
int main(int argc, char** argv) {
    B();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
