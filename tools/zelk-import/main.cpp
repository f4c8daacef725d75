// zelk-import: managed areas from a CSV, GeoJSON, GeoPackage or Shapefile into a database,
// every row through the editor's checks.
#include "CommandLine.h"
#include "host/ReferenceHost.h"
#include "host/exchange/Importer.h"

#include <iostream>

using namespace zelk;
using namespace zelk::host;

int main(int argc, char** argv) {
    std::string db, user, mapping, report, file;
    bool dryRun = false, atomic = false;
    cli::CommandLine cmd("zelk-import",
                         "usage: zelk-import --db DB [--user NAME] [--map FILE] [--report FILE] "
                         "[--dry-run] [--atomic] FILE\n"
                         "Imports the managed areas of FILE. --map names the exchange column of "
                         "other headers (\"header = Column\" lines); --report writes the rejected "
                         "rows as CSV; --dry-run checks and writes nothing; --atomic imports all "
                         "rows in one transaction, or none.");
    cmd.Text("--db", "DB", db);
    cmd.Text("--user", "NAME", user);
    cmd.Text("--map", "FILE", mapping);
    cmd.Text("--report", "FILE", report);
    cmd.Flag("--dry-run", dryRun);
    cmd.Flag("--atomic", atomic);
    cmd.Operand("FILE", file, true);
    if (auto status = cmd.Parse(argc, argv)) return *status;
    if (db.empty()) return cmd.Refuse("--db", "is required");
    try {
        HostOptions o;
        o.dbPath = db;
        o.userName = user;
        o.sampleData = false;
        auto host = ReferenceHost::Open(o);
        exchange::ImportRequest rq;
        rq.path = file;
        if (!mapping.empty()) rq.mapping = exchange::ReadMapping(mapping);
        rq.dryRun = dryRun;
        rq.atomic = atomic;
        rq.userName = host->UserName();
        rq.orgUnitId = host->App()->GetSystemOrgUnitID();
        auto r = exchange::ImportAreas(host->Db(), rq);
        if (!report.empty()) exchange::WriteReport(r, report);
        for (const auto& c : r.ignoredColumns)
            std::cerr << "zelk-import: column \"" << c << "\" ignored\n";
        for (std::size_t i = 0; i < r.rejections.size() && i < 20; ++i) {
            const auto& j = r.rejections[i];
            std::cerr << "row " << j.row << (j.column.empty() ? "" : " " + j.column) << ": "
                      << j.code << " " << j.message << "\n";
        }
        std::cout << (dryRun ? "Dry run: " : "") << r.Summary() << "\n";
        return r.error.empty() && r.rejected == 0 ? 0 : 1;
    } catch (const std::exception& e) {
        std::cerr << "zelk-import: " << e.what() << "\n";
        return 1;
    }
}
