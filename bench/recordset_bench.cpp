// Record moving at working-list sizes: appending selected grid rows and finding by ID must
// cost the same per row whether the lists hold a thousand or a hundred thousand records.
#include "common/RS_Functions.h"
#include "platform/Recordset.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

using namespace zelk;

RecordsetPtr MakeList(long first, long count) {
    auto rs = NewRecordset();
    Fields f = rs->GetFields();
    f.Append("ID", ad::Integer, 4);
    f.Append("managed_area_name", ad::VarChar, 120);
    f.Append("managed_area_desc", ad::VarChar, 255);
    f.Append("acres", ad::Double, 8);
    rs->Open();
    for (long id = first; id < first + count; ++id) {
        rs->AddNew();
        (*rs)["ID"] = static_cast<int>(id);
        (*rs)["managed_area_name"] = "Area " + std::to_string(id);
        (*rs)["managed_area_desc"] = "Managed area number " + std::to_string(id);
        (*rs)["acres"] = static_cast<double>(id) * 1.25;
    }
    rs->Update();
    return rs;
}

class Grid : public SelectedRowSource {
public:
    explicit Grid(long first, long count) {
        for (long id = first; id < first + count; ++id)
            ids_.push_back(std::to_string(id));
    }
    long SelectedRows() const override { return static_cast<long>(ids_.size()); }
    long SelectedRow(long index) const override { return index; }
    std::string TextMatrix(long row, long) const override {
        return ids_[static_cast<std::size_t>(row)];
    }

private:
    std::vector<std::string> ids_;
};

// n selected rows into a target of n records, half of whose IDs are already listed.
void BM_AppendSelectedRows(benchmark::State& state) {
    long n = static_cast<long>(state.range(0));
    auto source = MakeList(0, n);
    Grid grid(0, n);
    for (auto _ : state) {
        state.PauseTiming();
        auto target = MakeList(n / 2, n);
        state.ResumeTiming();
        AppendSelectedRows(grid, *source, *target);
        benchmark::DoNotOptimize(target->RecordCount());
        state.PauseTiming();
        target.reset();
        state.ResumeTiming();
    }
    state.counters["per_row"] =
        benchmark::Counter(static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate |
                                                       benchmark::Counter::kInvert);
}
BENCHMARK(BM_AppendSelectedRows)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// One "ID=" find from the first record, as the working list is searched.
void BM_FindById(benchmark::State& state) {
    long n = static_cast<long>(state.range(0));
    auto rs = MakeList(0, n);
    long id = 0;
    for (auto _ : state) {
        id = (id + 7919) % n;
        rs->MoveFirst();
        rs->Find("ID=" + std::to_string(id));
        benchmark::DoNotOptimize(rs->EOF());
    }
}
BENCHMARK(BM_FindById)->Arg(1000)->Arg(10000)->Arg(100000);

// Filter on the key field reads the index, not every record.
void BM_FilterById(benchmark::State& state) {
    long n = static_cast<long>(state.range(0));
    auto rs = MakeList(0, n);
    long id = 0;
    for (auto _ : state) {
        id = (id + 7919) % n;
        rs->SetFilter("ID = " + std::to_string(id));
        benchmark::DoNotOptimize(rs->RecordCount());
    }
}
BENCHMARK(BM_FilterById)->Arg(1000)->Arg(100000);

} // namespace

BENCHMARK_MAIN();
