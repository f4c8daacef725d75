// Load and save of one managed area with 50 rows in each child list.
#include "common/bo/Shape.h"
#include "host/bo/RegisterBusinessObjects.h"
#include "host/bo/SqliteSqlPort.h"
#include "host/bo/TableDef.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace zelk;
using namespace zelk::bo;

namespace {
struct Db {
    std::shared_ptr<SqliteSqlPort> port = std::make_shared<SqliteSqlPort>();
    ProgIdRegistry registry;
    Db() {
        port->ExecScript(BoSchemaSql());
        port->ExecScript("INSERT INTO ma_shape (shape_id) VALUES (1);"
                         "INSERT INTO ma (managed_area_id, shape_id, managed_area_name) "
                         "VALUES (10, 1, 'Bench');");
        port->Begin();
        for (int l = 0; l < ChildListCount; ++l) {
            const auto& t = ChildTable(l);
            for (int r = 1; r <= 50; ++r)
                port->Execute("INSERT INTO " + t.table +
                                  " (managed_area_id, display_order) VALUES (10, ?)",
                              {Variant(r)});
        }
        port->Commit();
        RegisterBusinessObjects(registry, port);
    }
    ShapePtr Load() {
        auto s =
            std::dynamic_pointer_cast<IShape>(registry.Create("ZELK_ManagedAreaClient.CShape"));
        s->Load("1");
        auto ma = s->ManagedArea(1);
        for (int l = 0; l < ChildListCount; ++l)
            ma->Children(static_cast<ChildList>(l)).Count();
        s->OtherSpatialAttributes().Count();
        return s;
    }
};
} // namespace

static void BM_LoadRecord(benchmark::State& state) {
    Db db;
    long statements = 0;
    for (auto _ : state) {
        long s0 = db.port->StatementCount();
        benchmark::DoNotOptimize(db.Load());
        statements = db.port->StatementCount() - s0;
    }
    state.counters["statements"] = static_cast<double>(statements);
}
BENCHMARK(BM_LoadRecord);

// One field of the managed area and one row of each list changed.
static void BM_SaveRecord(benchmark::State& state) {
    Db db;
    auto shape = db.Load();
    long statements = 0;
    int n = 0;
    for (auto _ : state) {
        auto ma = shape->ManagedArea(1);
        ma->SetProperty("ManagedAreaName", "Bench " + std::to_string(++n));
        for (int l = 0; l < ChildListCount; ++l)
            ma->Children(static_cast<ChildList>(l)).Item(1)->SetProperty("DisplayOrder", 100 + n);
        long s0 = db.port->StatementCount();
        if (!shape->Save()) state.SkipWithError(shape->LastError().c_str());
        statements = db.port->StatementCount() - s0;
    }
    state.counters["statements"] = static_cast<double>(statements);
}
BENCHMARK(BM_SaveRecord);

BENCHMARK_MAIN();
