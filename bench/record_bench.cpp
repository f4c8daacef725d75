// Load and save of one managed area with 50 rows in each child list.
#include "common/bo/Shape.h"
#include "host/bo/DataServiceSqlPort.h"
#include "host/bo/RegisterBusinessObjects.h"
#include "host/bo/TableDef.h"
#include "host/data/SqliteDataService.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace zelk;
using namespace zelk::bo;

namespace {
// Columns each child table needs besides its managed area, pointing at the seeded rows.
const char* Required(const std::string& table) {
    if (table == "managed_area_alias") return "managed_area_alias";
    if (table == "managed_area_site") return "conservation_site_id";
    if (table == "managed_area_county") return "d_county_id";
    if (table == "managed_area_local_juris") return "d_local_jurisdiction_id";
    if (table == "managed_area_mapsheet") return "d_mapsheet_id";
    if (table == "managed_area_reference") return "reference_id";
    if (table == "managed_area_keyword") return "d_managed_area_keyword_id";
    return nullptr;
}

struct Db {
    std::shared_ptr<host::SqliteDataService> db = std::make_shared<host::SqliteDataService>();
    std::shared_ptr<DataServiceSqlPort> port = std::make_shared<DataServiceSqlPort>(db);
    ProgIdRegistry registry;
    Db() {
        db->ExecScript(
            "INSERT INTO conservation_site (conservation_site_id, site_name) VALUES (1, 'S');"
            "INSERT INTO d_county (d_county_id, county_name) VALUES (1, 'C');"
            "INSERT INTO d_local_jurisdiction (d_local_jurisdiction_id, local_jurisdiction_desc) "
            "VALUES (1, 'L');"
            "INSERT INTO d_mapsheet (d_mapsheet_id, mapsheet_cd) VALUES (1, 'M');"
            "INSERT INTO reference (reference_id, reference_code) VALUES (1, 'R');"
            "INSERT INTO d_managed_area_keyword (d_managed_area_keyword_id, keyword_desc) "
            "VALUES (1, 'K');"
            "INSERT INTO shape (shape_id) VALUES (1);"
            "INSERT INTO ma (managed_area_id, shape_id, managed_area_name) "
            "VALUES (10, 1, 'Bench');");
        host::Transaction t(*db);
        for (int l = 0; l < ChildListCount; ++l) {
            const auto& table = ChildTable(l).table;
            const char* extra = Required(table);
            std::string sql = "INSERT INTO " + table + " (managed_area_id, display_order" +
                              (extra ? std::string(", ") + extra : "") + ") VALUES (10, ?" +
                              (extra ? ", 1" : "") + ")";
            for (int r = 1; r <= 50; ++r)
                db->Execute(sql, {Variant(r)});
        }
        t.Commit();
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
