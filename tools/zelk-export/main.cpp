// zelk-export: managed areas of a database to a CSV, GeoJSON, GeoPackage or Shapefile.
#include "CommandLine.h"
#include "host/ReferenceHost.h"
#include "host/exchange/AreaReader.h"
#include "host/exchange/Exporter.h"

#include <fstream>
#include <iostream>
#include <set>

using namespace zelk;
using namespace zelk::host;

int main(int argc, char** argv) {
    std::string db, idsFile, name, format, out;
    cli::CommandLine cmd("zelk-export",
                         "usage: zelk-export --db DB [--ids FILE | --name TEXT] --format "
                         "csv|geojson|gpkg|shp --out FILE\n"
                         "Writes the managed areas (those whose IDs FILE lists, one a line, or "
                         "whose name holds TEXT, or else all) to FILE.");
    cmd.Text("--db", "DB", db);
    cmd.Text("--ids", "FILE", idsFile);
    cmd.Text("--name", "TEXT", name);
    cmd.Text("--format", "FMT", format, [](const std::string& v) {
        return exchange::FormatByName(v) ? "" : "is not csv, geojson, gpkg or shp";
    });
    cmd.Text("--out", "FILE", out);
    if (auto status = cmd.Parse(argc, argv)) return *status;
    if (db.empty()) return cmd.Refuse("--db", "is required");
    if (out.empty()) return cmd.Refuse("--out", "is required");
    if (!idsFile.empty() && !name.empty()) return cmd.Refuse("--name", "goes without --ids");
    auto fmt = format.empty() ? exchange::FormatOfFile(out) : exchange::FormatByName(format);
    if (!fmt) return cmd.Refuse("--format", "is required when the file's extension names none");
    try {
        HostOptions o;
        o.dbPath = db;
        o.sampleData = false;
        auto host = ReferenceHost::Open(o);
        exchange::ExportRequest rq;
        rq.format = *fmt;
        rq.path = out;
        if (!idsFile.empty()) {
            std::ifstream in(idsFile);
            if (!in) return cmd.Refuse("--ids", "cannot be read");
            std::set<long> ids;
            for (std::string line; std::getline(in, line);) {
                if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
                try {
                    ids.insert(std::stol(line));
                } catch (const std::exception&) {
                    return cmd.Refuse("--ids", "holds \"" + line + "\", which is no ID");
                }
            }
            rq.ids.assign(ids.begin(), ids.end());
            if (rq.ids.empty()) return cmd.Refuse("--ids", "lists no ID");
        } else if (!name.empty()) {
            rq.ids = exchange::IdsByName(*host->Db(), name);
            if (rq.ids.empty()) {
                std::cerr << "zelk-export: no managed area's name holds \"" << name << "\"\n";
                return 1;
            }
        }
        auto r = exchange::ExportAreas(*host->Db(), rq);
        if (!r.error.empty()) {
            std::cerr << "zelk-export: " << r.error << "\n";
            return 1;
        }
        std::cout << r.written << " managed areas written to " << out << "\n";
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "zelk-export: " << e.what() << "\n";
        return 1;
    }
}
