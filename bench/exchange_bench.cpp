// Import and export of 100,000 managed areas against GDAL's own ogr2ogr copying the same
// features GeoPackage to GeoPackage in the same run.
//   exchange_bench [areas]   (default 100000; the database is written once by zelk-sampledb
//                             into bench-data/ of the build folder and kept)
// Each side runs alternately, the best of the runs counts, so both see the same load.
#include "host/ReferenceHost.h"
#include "host/exchange/Exporter.h"
#include "host/exchange/Importer.h"

#include "LoadAverage.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

using namespace zelk;
namespace ex = zelk::host::exchange;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point t0) {
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

// Processor seconds of this process, or of its finished children: under a shared machine's
// load they move much less than the clock does.
double CpuSeconds(int who) {
    rusage u{};
    getrusage(who, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void Remove(const std::string& path) {
    std::error_code ec;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        fs::remove(path + suffix, ec);
}

double Ogr2ogr(const std::string& from, const std::string& to) {
    Remove(to);
    const auto t0 = Clock::now();
    const std::string cmd = "ogr2ogr -f GPKG '" + to + "' '" + from + "'";
    if (std::system(cmd.c_str()) != 0) {
        std::fprintf(stderr, "exchange_bench: %s failed\n", cmd.c_str());
        std::exit(1);
    }
    return SecondsSince(t0);
}

} // namespace

int main(int argc, char** argv) {
    const long areas = argc > 1 ? std::atol(argv[1]) : 100000;
    const int runs = 2;
    const std::string dir = ZELK_BENCH_DATA;
    fs::create_directories(dir);
    const std::string source = dir + "/exchange-" + std::to_string(areas) + ".db";
    if (!fs::exists(source)) {
        std::printf("writing %s with zelk-sampledb...\n", source.c_str());
        std::fflush(stdout);
        const std::string cmd = std::string("'") + ZELK_SAMPLEDB + "' --areas " +
                                std::to_string(areas) + " --seed 1 --out '" + source + "'";
        if (std::system(cmd.c_str()) != 0) return 1;
    }
    host::HostOptions o;
    o.dbPath = source;
    o.userName = "bench";
    o.sampleData = false;
    auto host = host::ReferenceHost::Open(o);

    const std::string out = dir + "/exchange-out.gpkg", copy = dir + "/exchange-copy.gpkg";
    double ours = 1e9, theirs = 1e9;
    long written = 0;
    for (int i = 0; i < runs; ++i) {
        Remove(out);
        const auto t0 = Clock::now();
        auto r = ex::ExportAreas(*host->Db(), {{}, ex::Format::GeoPackage, out, {}});
        ours = std::min(ours, SecondsSince(t0));
        if (!r.error.empty()) {
            std::fprintf(stderr, "exchange_bench: export failed: %s\n", r.error.c_str());
            return 1;
        }
        written = r.written;
        theirs = std::min(theirs, Ogr2ogr(out, copy));
    }
    const double exportRatio = ours / theirs;
    std::printf("export %ld areas to GeoPackage   ours %7.2f s  ogr2ogr %6.2f s  ratio %5.2f  "
                "goal <= 1.5  (load %s)\n",
                written, ours, theirs, exportRatio, LoadAverage().c_str());
    std::fflush(stdout);

    double importS = 1e9, copyS = 1e9;
    long imported = 0;
    for (int i = 0; i < runs; ++i) {
        const std::string target = dir + "/exchange-target.db";
        Remove(target);
        host::HostOptions t;
        t.dbPath = target;
        t.userName = "bench";
        t.sampleAreas = 0;
        auto into = host::ReferenceHost::Open(t);
        ex::ImportRequest rq;
        rq.path = out;
        rq.userName = into->UserName();
        rq.orgUnitId = into->App()->GetSystemOrgUnitID();
        rq.workingList = into->WorkingList();
        // The first call comes when every row is read and checked, before the first save.
        double checked = -1;
        const double cpu0 = CpuSeconds(RUSAGE_SELF);
        const auto t0 = Clock::now();
        rq.progress = [&](long, long) {
            if (checked < 0) checked = SecondsSince(t0);
            return true;
        };
        auto r = ex::ImportAreas(into->Db(), rq);
        const double cpu = CpuSeconds(RUSAGE_SELF) - cpu0;
        std::printf("  import run %d: read and checked in %.2f s, saved in %.2f s, %.2f s of "
                    "processor time\n",
                    i + 1, checked, SecondsSince(t0) - checked, cpu);
        importS = std::min(importS, SecondsSince(t0));
        if (!r.error.empty() || r.imported != written) {
            std::fprintf(stderr, "exchange_bench: import: %s\n", r.Summary().c_str());
            return 1;
        }
        imported = r.imported;
        into.reset();
        Remove(target);
        const double childCpu0 = CpuSeconds(RUSAGE_CHILDREN);
        copyS = std::min(copyS, Ogr2ogr(out, copy));
        std::printf("  ogr2ogr run %d: %.2f s of processor time\n", i + 1,
                    CpuSeconds(RUSAGE_CHILDREN) - childCpu0);
    }
    const double importRatio = importS / copyS;
    std::printf("import %ld areas from GeoPackage ours %7.2f s  ogr2ogr %6.2f s  ratio %5.2f  "
                "goal <= 4    (load %s)\n",
                imported, importS, copyS, importRatio, LoadAverage().c_str());
    std::printf("ratios: export %.2f x ogr2ogr (goal 1.5), import %.2f x ogr2ogr (goal 4)\n",
                exportRatio, importRatio);
    Remove(copy);
    return exportRatio <= 1.5 && importRatio <= 4 ? 0 : 2;
}
