// Rows of a file into the database: read all, check all, then save the accepted rows through
// the business objects as the editor saves a new record.
#include "host/exchange/Importer.h"

#include "host/data/DataService.h"
#include "host/exchange/FileRows.h"
#include "host/exchange/ImportWriter.h"
#include "host/exchange/RowCheck.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <thread>
#include <unordered_map>
#include <unordered_set>

namespace zelk::host::exchange {

namespace {

// The managed areas already holding these values in a column of ma, asked a few hundred at
// a time: value -> ID of one of them.
std::unordered_map<std::string, std::string> HeldBy(DataService& db, const std::string& column,
                                                    const std::vector<std::string>& values) {
    constexpr std::size_t kPerQuery = 500;
    std::unordered_map<std::string, std::string> held;
    std::vector<std::string> asked;
    {
        std::unordered_set<std::string> seen;
        for (const auto& v : values)
            if (!v.empty() && seen.insert(v).second) asked.push_back(v);
    }
    for (std::size_t first = 0; first < asked.size(); first += kPerQuery) {
        const std::size_t n = std::min(kPerQuery, asked.size() - first);
        std::string sql =
            "SELECT " + column + ", managed_area_id FROM ma WHERE " + column + " IN (";
        Params params;
        params.reserve(n);
        for (std::size_t i = 0; i < n; ++i) {
            sql += i ? ", ?" : "?";
            params.emplace_back(asked[first + i]);
        }
        auto rs = db.Query(sql + ")", params);
        for (; !rs->EOF(); rs->MoveNext()) {
            Fields f = rs->GetFields();
            held.emplace(CStr(f.Item(std::size_t{0}).ValueRef()),
                         CStr(f.Item(std::size_t{1}).ValueRef()));
        }
    }
    return held;
}

std::string Find(const std::unordered_map<std::string, std::string>& m, const std::string& key) {
    auto it = m.find(key);
    return it == m.end() ? "" : it->second;
}

// The save-time checks of the editor that need other records: the code and the equivalent
// site unique in the file and in the database, the major area known to either.
void CheckAgainstOthers(const CheckedArea& a, const std::unordered_map<std::string, long>& codes,
                        std::unordered_map<std::string, long>& seenCodes,
                        std::unordered_map<std::string, long>& sites,
                        const std::unordered_map<std::string, std::string>& heldCodes,
                        const std::unordered_map<std::string, std::string>& heldSites,
                        std::vector<Rejection>& out) {
    const long row = a.row;
    if (auto [it, fresh] = seenCodes.emplace(a.code, row); !a.code.empty() && !fresh)
        out.push_back(Reject(row, "MACodeBcd", "MGA915", {std::to_string(it->second)}, a.code));
    else if (auto other = Find(heldCodes, a.code); !other.empty())
        out.push_back(Reject(row, "MACodeBcd", "MGA012", {other}, a.code));
    if (auto [it, fresh] = sites.emplace(a.equiSite, row); !a.equiSite.empty() && !fresh)
        out.push_back(
            Reject(row, "EquiSiteId", "MGA916", {std::to_string(it->second)}, a.equiSite));
    else if (auto other = Find(heldSites, a.equiSite); !other.empty())
        out.push_back(Reject(row, "EquiSiteId", "MGA011", {other}, a.equiSite));
    if (!a.majorCode.empty() && !codes.count(a.majorCode) && Find(heldCodes, a.majorCode).empty())
        out.push_back(Reject(row, "MajorMaCode", "MGA921", {a.majorCode}, a.majorCode));
}

void AddToWorkingList(Recordset& list, long id, const CheckedArea& a) {
    list.AddNew();
    list["ID"] = Variant(static_cast<int>(id));
    if (list.GetFields().Exists("managed_area_name")) list["managed_area_name"] = Variant(a.name);
    if (list.GetFields().Exists("managed_area_desc"))
        list["managed_area_desc"] = a.desc.empty() ? Variant::Null() : Variant(a.desc);
    list.Update();
}

} // namespace

std::string ImportResult::Summary() const {
    std::string s = std::to_string(read) + " read, " + std::to_string(imported) + " imported, " +
                    std::to_string(rejected) + " rejected";
    if (cancelled) s += " (cancelled)";
    if (!error.empty()) s += "; " + error;
    return s + ".";
}

ImportResult ImportAreas(const std::shared_ptr<DataService>& db, const ImportRequest& rq) {
    ImportResult r;
    FileContents file = ReadFile(rq.path);
    if (!file.error.empty()) {
        r.error = Reject(0, "", "MGA920", {file.error}, "").message;
        r.rejections.push_back(Reject(0, "", "MGA920", {file.error}, ""));
        return r;
    }
    r.read = static_cast<long>(file.rows.size());
    const ColumnMap map = MapColumns(file.header, rq.mapping);
    r.ignoredColumns = map.ignored;
    // A database that refuses before any row is checked leaves the whole file unread.
    std::optional<Lookups> lookups;
    std::unique_ptr<Statement> codeLookup;
    try {
        lookups.emplace(*db);
        codeLookup = db->Prepare("SELECT managed_area_id FROM ma WHERE macode_bcd = ?");
    } catch (const ComError& e) {
        r.rejections.push_back(Reject(0, "", "MGA922", {e.Description()}, ""));
        r.error = r.rejections.back().message;
        r.rejected = r.read;
        return r;
    }

    // Every check first, so that a rejected row is known before anything is written: each
    // row on its own, then against the file and the database.
    struct Checked {
        std::optional<CheckedArea> area;
        std::vector<Rejection> problems;
    };
    std::vector<Checked> rows(file.rows.size());
    // The rows' own checks need nothing but the lookups read above: a large file is checked
    // on two threads.
    auto checkRows = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            const FileRow& row = file.rows[i];
            Checked& c = rows[i];
            c.area = CheckRow(row.values, row.number, map, *lookups, c.problems);
            if (!row.shapeProblem.empty())
                c.problems.push_back(
                    Reject(row.number, "geometry", "MGA919", {row.shapeProblem}, ""));
        }
    };
    constexpr std::size_t kRowsForTwoThreads = 2000;
    if (rows.size() >= kRowsForTwoThreads) {
        const std::size_t half = rows.size() / 2;
        std::thread other(checkRows, half, rows.size());
        checkRows(0, half);
        other.join();
    } else {
        checkRows(0, rows.size());
    }
    std::vector<std::string> askCodes, askSites;
    std::unordered_map<std::string, long> codes, sites;
    for (std::size_t i = 0; i < file.rows.size(); ++i) {
        const FileRow& row = file.rows[i];
        if (const int at = map.at[1]; at >= 0 && static_cast<std::size_t>(at) < row.values.size())
            codes.emplace(Trim(row.values[static_cast<std::size_t>(at)]), row.number);
        if (const auto& a = rows[i].area) {
            askCodes.push_back(a->code);
            askCodes.push_back(a->majorCode);
            askSites.push_back(a->equiSite);
        }
    }
    std::unordered_map<std::string, std::string> heldCodes, heldSites;
    std::string lookupFailure;
    try {
        heldCodes = HeldBy(*db, "macode_bcd", askCodes);
        heldSites = HeldBy(*db, "equi_site_id", askSites);
    } catch (const ComError& e) {
        lookupFailure = e.Description();
    }
    std::vector<CheckedArea> accepted;
    accepted.reserve(file.rows.size());
    std::unordered_map<std::string, long> seenCodes;
    for (std::size_t i = 0; i < file.rows.size(); ++i) {
        FileRow& row = file.rows[i];
        Checked& c = rows[i];
        r.rejections.insert(r.rejections.end(), std::make_move_iterator(c.problems.begin()),
                            std::make_move_iterator(c.problems.end()));
        const bool fine = c.problems.empty();
        if (c.area) {
            const std::size_t before = r.rejections.size();
            if (lookupFailure.empty())
                CheckAgainstOthers(*c.area, codes, seenCodes, sites, heldCodes, heldSites,
                                   r.rejections);
            else
                r.rejections.push_back(Reject(row.number, "", "MGA922", {lookupFailure}, ""));
            c.area->shape = std::move(row.shape);
            if (fine && r.rejections.size() == before) {
                accepted.push_back(std::move(*c.area));
                continue;
            }
        }
        ++r.rejected;
    }
    if (rq.dryRun || (rq.atomic && r.rejected > 0)) return r;

    const auto done = SaveAccepted(db, rq, accepted, *codeLookup, r);
    if (!r.error.empty() && done.empty() && r.rejected == r.read) return r;
    for (const auto& [id, a] : done) {
        r.importedIds.push_back(id);
        if (rq.workingList) AddToWorkingList(*rq.workingList, id, *a);
    }
    r.imported = static_cast<long>(done.size());
    if (rq.progress) rq.progress(r.imported, static_cast<long>(accepted.size()));
    return r;
}

std::map<std::string, std::string> ReadMapping(const std::string& path) {
    std::ifstream in(path);
    if (!in)
        Raise(err::InvalidProcedureCall, "The mapping file " + path + " could not be opened.",
              "Import");
    std::map<std::string, std::string> m;
    std::string line;
    for (long n = 1; std::getline(in, line); ++n) {
        const std::string t = Trim(line);
        if (t.empty() || t[0] == '#') continue;
        const auto eq = t.find('=');
        if (eq == std::string::npos)
            Raise(err::InvalidProcedureCall,
                  "Line " + std::to_string(n) + " of the mapping file is not \"header = Column\".",
                  "Import");
        m[Trim(t.substr(0, eq))] = Trim(t.substr(eq + 1));
    }
    return m;
}

void WriteReport(const ImportResult& result, const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    auto field = [](const std::string& s) {
        if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
        std::string q = "\"";
        for (char c : s) {
            if (c == '"') q += '"';
            q += c;
        }
        return q + "\"";
    };
    out << "row,column,code,message,value\r\n";
    for (const auto& j : result.rejections)
        out << j.row << ',' << field(j.column) << ',' << field(j.code) << ',' << field(j.message)
            << ',' << field(j.value) << "\r\n";
}

} // namespace zelk::host::exchange
