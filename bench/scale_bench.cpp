// How the read path grows with the database: the same figures at 1,000, 10,000, 100,000 and
// 1,000,000 managed areas, printed as one table with each figure's ratio and goal.
//   scale_bench [largest [smallest]]   (default 1000000 and 1000; the databases are kept in
//                                       bench-data/ of the build folder and written once)
// Ratios to the 1k and 10k cases are printed only when those sizes run.
// Ratios to the bare engine are measured alternately in the same run, so both see the same load.
#include "common/RS_Functions.h"
#include "host/data/SqliteDataService.h"
#include "host/sql/OracleTranslator.h"
#include "zelk/ManagedAreaDetails.h"

#include "LoadAverage.h"
#include "RawSqlite.h"
#include "SearchHost.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace zelk;

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

double PeakMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;
}

// The high-water mark since the last ResetPeak: what one stage needs on top of what stays.
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// A figure of /proc/self/status in MB: "VmHWM:" (the high-water mark) or "VmRSS:" (held now).
double StatusMb(const char* key) {
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind(key, 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
    return 0;
}

double StagePeakMb() {
    return StatusMb("VmHWM:");
}

double RssMb() {
    return StatusMb("VmRSS:");
}

struct Row {
    std::string figure;
    long size;
    double value;
    std::string unit;
    double ratio;
    std::string goal;
    std::string load;
};
std::vector<Row> rows;

void Add(const std::string& figure, long size, double value, const std::string& unit, double ratio,
         const std::string& goal) {
    rows.push_back({figure, size, value, unit, ratio, goal, LoadAverage()});
    std::printf("  %-38s %8ld  %10.2f %-4s  ratio %6.3f  goal %s\n", figure.c_str(), size, value,
                unit.c_str(), ratio, goal.c_str());
    std::fflush(stdout);
}

struct Scale : bench::SearchHost {
    long areas;
    std::string term;

    explicit Scale(long n) : areas(n) {
        std::filesystem::create_directories(ZELK_BENCH_DATA);
        const std::string path =
            std::string(ZELK_BENCH_DATA) + "/areas-" + std::to_string(n) + ".db";
        host::HostOptions o;
        o.dbPath = path;
        o.userName = "bench";
        o.sampleAreas = static_cast<int>(n);
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
            double share =
                CDbl(rs->GetFields().Item(std::size_t{0}).Value()) / static_cast<double>(n);
            if (std::abs(share - 0.1) < best) {
                best = std::abs(share - 0.1);
                term = t;
            }
        }
    }
    sqlite3* Handle() { return dynamic_cast<host::SqliteDataService&>(*host->Db()).Handle(); }
    long NameSearch() {
        search->Get<TextBox>("txtManagedAreaName").SetText(term);
        search->Get<Control>("cmdFindNow").UserClick();
        return search->Get<VSFlexGrid>("flexResults").Rows() - 1;
    }
    bench::RawStatement Raw(bool byName) {
        search->Get<TextBox>("txtManagedAreaName").SetText(byName ? term : "");
        return {Handle(), host::sql::OracleTranslator().Translate(search->BuildSearchSQL())};
    }
};

// The search to a filled grid against the bare loop over its statement.
void SearchRatio(Scale& s, bool byName, int runs) {
    bench::RawStatement raw = s.Raw(byName);
    bench::Alternation both;
    long found = 0;
    for (int i = 0; i < runs; ++i)
        both.Run([&] { found = byName ? s.NameSearch() : s.AllRows(); }, raw);
    if (byName)
        Add("name search (" + s.term + ", " + std::to_string(found) + " rows) ms", s.areas,
            both.MeasuredMs(runs), "ms", both.Ratio(), "<= 1.15 x bare step");
    else
        Add("all rows to a filled grid ms", s.areas, both.MeasuredMs(runs), "ms", both.Ratio(),
            "<= 1.5 x bare step");
}

// LoadData until the first page shows and every other page once, the median of `runs`.
double RecordLoad(Scale& s, long& statements) {
    auto* db = dynamic_cast<host::SqliteDataService*>(s.host->Db().get());
    long sent = 0;
    db->SetStatementHook([&](const std::string&) { ++sent; });
    auto rs = s.host->Db()->Query(
        "SELECT managed_area_id FROM ma m WHERE managed_area_id >= ? AND EXISTS (SELECT 1 FROM "
        "element_managed_area e WHERE e.managed_area_id = m.managed_area_id) ORDER BY "
        "managed_area_id LIMIT 1",
        {Variant(static_cast<int>(s.areas / 2))});
    const long id = CLng(rs->GetFields().Item(std::size_t{0}).Value());
    std::vector<double> times;
    for (int run = 0; run < 15; ++run) {
        auto w = std::make_shared<host::HostWindow>("frmManagedArea");
        auto e = std::dynamic_pointer_cast<editor::ManagedAreaDetails>(
            w->AddControl("ZELK_ManagedArea.ManagedAreaDetails", "ctlDetails"));
        e->InitDetails(s.host->WorkingList(), s.host->App(), 1, s.host->WinMan(), s.host->Views(),
                       "");
        sent = 0;
        auto t0 = Clock::now();
        e->LoadData(id);
        for (int p = 1; p < editor::PageCount; ++p)
            e->tabManagedAreas->UserSelectTab(p);
        times.push_back(MsSince(t0));
        statements = sent;
        e->Deactivate();
    }
    db->SetStatementHook(nullptr);
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// A tenth of the results selected and added to a working list of `areas` other rows: ms.
double AddToList(Scale& s, long& selected) {
    s.AllRows();
    auto& grid = s.search->Get<VSFlexGrid>("flexResults");
    std::vector<long> pick;
    for (long r = 1; r < grid.Rows(); r += 10)
        pick.push_back(r);
    grid.UserSelectRows(pick);
    selected = static_cast<long>(pick.size());
    RecordsetPtr list = s.host->WorkingList();
    auto results = s.search->Results();
    constexpr int kOthers = 10000000;
    // A working list of `areas` rows none of which is among the results. Made anew for every
    // run: taking the added rows out again would copy the whole list, a peak of the benchmark's
    // own that no user meets.
    auto fill = [&] {
        EmptyRecordset(*list);
        results->MoveFirst();
        for (long i = 0; i < s.areas; ++i, results->MoveNext()) {
            if (results->EOF()) results->MoveFirst();
            list->AddNew();
            list->GetFields().Item("ID").SetValue(Variant(kOthers + static_cast<int>(i)));
            list->GetFields()
                .Item("managed_area_name")
                .SetValue(results->Value("managed_area_name"));
        }
        list->Update();
        list->Rebase();
    };
    double best = 1e18;
    for (int run = 0; run < 3; ++run) {
        fill();
        auto t0 = Clock::now();
        s.search->Get<Control>("cmdAddToList").UserClick();
        best = std::min(best, MsSince(t0));
        if (list->RecordCount() != s.areas + selected) std::fprintf(stderr, "rows not added\n");
    }
    EmptyRecordset(*list);
    return best;
}

} // namespace

int main(int argc, char** argv) {
    const long largest = argc > 1 ? std::atol(argv[1]) : 1000000;
    const long smallest = argc > 2 ? std::atol(argv[2]) : 1000;
    SetUiDriver(std::make_shared<ScriptedUiDriver>());
    double load1k = 0, perRow10k = 0;
    long statements1k = 0;
    std::printf("load average at start: %s\n", LoadAverage().c_str());
    for (long n = smallest; n <= largest; n *= 10) {
        std::printf("%ld areas\n", n);
        auto t0 = Clock::now();
        Scale s(n);
        std::printf("  (database ready in %.1f s)\n", MsSince(t0) / 1000.0);
        const int runs = n >= 1000000 ? 3 : n >= 100000 ? 5 : 20;
        const double before = RssMb();
        ResetPeak();
        SearchRatio(s, false, runs);
        const double searchPeak = StagePeakMb();
        SearchRatio(s, true, runs);
        long statements = 0;
        const double load = RecordLoad(s, statements);
        if (n == 1000) {
            load1k = load;
            statements1k = statements;
        }
        Add("record load, all pages (" + std::to_string(statements) + " statements) ms", n, load,
            "ms", load1k > 0 ? load / load1k : 0,
            "<= 1.2 x 1k, " + std::to_string(statements1k) + " statements");
        long selected = 0;
        const double kept = RssMb();
        ResetPeak();
        const double add = AddToList(s, selected);
        const double addPeak = StagePeakMb();
        const double perRow = add * 1000.0 / static_cast<double>(selected);
        if (n == 10000) perRow10k = perRow;
        Add("Add to List " + std::to_string(selected) + " into " + std::to_string(n) + " ms", n,
            add, "ms", perRow10k > 0 ? perRow / perRow10k : 0,
            n == 1000000 ? "<= 1 s, per row <= 1.5 x 10k" : "per row <= 1.5 x 10k");
        // The goal is the search's: the whole process while the all-rows searches run. The
        // stage after it adds a working list of n rows that the benchmark builds itself.
        Add("peak memory, all-rows search MB", n, searchPeak, "MB", searchPeak / 1024.0,
            "<= 1.2 GB at 1M (ratio in GB)");
        Add("peak memory, + working list of n rows MB", n, PeakMb(), "MB", PeakMb() / 1024.0,
            "none (the list is the benchmark's own)");
        // Where the peak comes from: what the process held before, and the high-water marks
        // of the all-rows searches and of Add to List (with its working list of n rows).
        std::printf("  (memory MB: %.0f before the searches, %.0f at their peak; %.0f before Add "
                    "to List, %.0f at its peak)\n",
                    before, searchPeak, kept, addPeak);
    }
    std::printf("\n%-48s %8s %12s %8s  %-34s %s\n", "figure", "areas", "value", "ratio", "goal",
                "load average");
    for (const Row& r : rows)
        std::printf("%-48s %8ld %9.2f %-2s %8.3f  %-34s %s\n", r.figure.c_str(), r.size, r.value,
                    r.unit.c_str(), r.ratio, r.goal.c_str(), r.load.c_str());
    return 0;
}
