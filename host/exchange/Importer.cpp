// Rows of a file into the database: read all, check all, then save each accepted row through
// the business objects as the editor saves a new record.
#include "host/exchange/Importer.h"

#include "host/bo/DataServiceSqlPort.h"
#include "host/bo/ShapeImpl.h"
#include "host/data/DataService.h"
#include "host/exchange/FileRows.h"
#include "host/exchange/RowCheck.h"
#include "host/gis/GeometryStore.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <unordered_map>

namespace zelk::host::exchange {

namespace {

// Records per commit when each record is not a transaction of its own.
constexpr std::size_t kBatchSize = 500;

// On SQLite, settings of the connection for the import's time. The journal of each record's
// savepoint stays in memory: written to a temporary file it costs a quarter of the import's
// time. A page cache large enough for the indexes that every record touches spares re-reading
// their pages from the file. Durability is untouched.
class ImportConnection {
public:
    explicit ImportConnection(DataService& db)
        : db_(db), on_(db.Dialect() == sql::Dialect::SQLite && !db.InTransaction()) {
        if (!on_) return;
        try {
            db_.ExecScript("PRAGMA temp_store = MEMORY; PRAGMA cache_size = -131072;");
        } catch (const ComError&) {
            // Only speed depends on them; the import runs as well without.
            on_ = false;
        }
    }
    ~ImportConnection() {
        try {
            // The connection never sets either itself: back to SQLite's defaults.
            if (on_ && !db_.InTransaction())
                db_.ExecScript("PRAGMA temp_store = DEFAULT; PRAGMA cache_size = -2000;");
        } catch (const ComError&) {
            // Only settings of this connection: they end with it.
        }
    }
    ImportConnection(const ImportConnection&) = delete;
    ImportConnection& operator=(const ImportConnection&) = delete;

private:
    DataService& db_;
    bool on_;
};

std::string OtherWith(Statement& s, const std::string& value) {
    if (value.empty()) return "";
    s.Bind(1, Variant(value));
    auto rs = s.Query();
    return rs->EOF() ? "" : CStr(rs->GetFields().Item(std::size_t{0}).ValueRef());
}

// Everything of one record, written as the editor's save writes a new one.
long SaveArea(const std::shared_ptr<bo::Store>& store, DataService& db, const CheckedArea& a,
              const ImportRequest& rq, Statement& codeLookup, gis::GeometryWriter& shapes,
              const std::string& comment) {
    auto shape = std::make_shared<bo::ShapeImpl>(store);
    shape->NewRecord();
    shape->SetCreateUser(rq.userName);
    shape->SetLastModUser(rq.userName);
    shape->SetOrgUnitId(rq.orgUnitId);
    auto ma = shape->ManagedArea(1);
    ma->SetProperty("RecCreateUser", Variant(rq.userName));
    ma->SetProperty("RecLastModUser", Variant(rq.userName));
    for (const auto& [name, v] : a.fields)
        ma->SetProperty(name, v);
    if (!a.majorCode.empty()) {
        const std::string major = OtherWith(codeLookup, a.majorCode);
        if (major.empty()) Raise(err::ProviderError, "MGA921", "Import");
        ma->SetProperty("MajorMaId", Variant(static_cast<int>(std::stol(major))));
    }
    if (a.shape) shape->SetProperty("HasShapeInd", Variant("Y"));
    long order = 0;
    auto& counties = ma->Children(bo::ChildList::Counties);
    for (long id : a.counties) {
        auto c = counties.AddNew();
        c->SetProperty("DCountyId", Variant(static_cast<int>(id)));
        c->SetProperty("DisplayOrder", Variant(static_cast<int>(++order)));
    }
    order = 0;
    auto& owners = ma->Children(bo::ChildList::Owners);
    for (const auto& o : a.owners) {
        auto c = owners.AddNew();
        if (o.type) c->SetProperty("DOwnerTypeID", Variant(static_cast<int>(o.type)));
        if (!o.name.empty()) c->SetProperty("OwnerName", Variant(o.name));
        if (!o.note.empty()) c->SetProperty("OwnerNote", Variant(o.note));
        c->SetProperty("PrimaryOwnerInd", Variant(o.primary));
        c->SetProperty("DisplayOrder", Variant(static_cast<int>(++order)));
    }
    order = 0;
    auto& aliases = ma->Children(bo::ChildList::Aliases);
    for (const auto& alias : a.aliases) {
        auto c = aliases.AddNew();
        c->SetProperty("ManagedAreaAlias", Variant(alias));
        c->SetProperty("DisplayOrder", Variant(static_cast<int>(++order)));
    }
    order = 0;
    auto& budgets = ma->Children(bo::ChildList::YearBudgets);
    for (const auto& b : a.budgets) {
        auto c = budgets.AddNew();
        c->SetProperty("ManagedAreaMgmtYear", b.year);
        c->SetProperty("ManagedAreaMgmtBudget", b.budget);
        c->SetProperty("ManagedAreaMgmtStaff", b.staff);
        c->SetProperty("DisplayOrder", Variant(static_cast<int>(++order)));
    }
    if (!shape->Save()) Raise(err::ProviderError, shape->LastError(), "MGA008");
    const long shapeId = shape->ShapeId();
    const long maId = ma->ManagedAreaId();
    if (a.shape) shapes.Write(shapeId, *a.shape);
    // The audit rows the save wrote say where the record came from.
    db.Execute(
        "UPDATE audit_log SET comments = ? WHERE comments IS NULL AND action = 'I' AND "
        "((table_kind = 'MA' AND record_id = ?) OR (table_kind = 'SHAPE' AND "
        "record_id = ?))",
        {Variant(comment), Variant(static_cast<int>(maId)), Variant(static_cast<int>(shapeId))});
    return maId;
}

// The save-time checks of the editor that need other records: the code and the equivalent
// site unique in the file and in the database, the major area known to either.
void CheckAgainstOthers(const CheckedArea& a, const std::unordered_map<std::string, long>& codes,
                        std::unordered_map<std::string, long>& seenCodes,
                        std::unordered_map<std::string, long>& sites, Statement& codeLookup,
                        Statement& siteLookup, std::vector<Rejection>& out) {
    const long row = a.row;
    if (auto [it, fresh] = seenCodes.emplace(a.code, row); !a.code.empty() && !fresh)
        out.push_back(Reject(row, "MACodeBcd", "MGA915", {std::to_string(it->second)}, a.code));
    else if (auto other = OtherWith(codeLookup, a.code); !other.empty())
        out.push_back(Reject(row, "MACodeBcd", "MGA012", {other}, a.code));
    if (auto [it, fresh] = sites.emplace(a.equiSite, row); !a.equiSite.empty() && !fresh)
        out.push_back(
            Reject(row, "EquiSiteId", "MGA916", {std::to_string(it->second)}, a.equiSite));
    else if (auto other = OtherWith(siteLookup, a.equiSite); !other.empty())
        out.push_back(Reject(row, "EquiSiteId", "MGA011", {other}, a.equiSite));
    if (!a.majorCode.empty() && !codes.count(a.majorCode) &&
        OtherWith(codeLookup, a.majorCode).empty())
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
    std::unique_ptr<Statement> codeLookup, siteLookup;
    try {
        lookups.emplace(*db);
        codeLookup = db->Prepare("SELECT managed_area_id FROM ma WHERE macode_bcd = ?");
        siteLookup = db->Prepare("SELECT managed_area_id FROM ma WHERE equi_site_id = ?");
    } catch (const ComError& e) {
        r.rejections.push_back(Reject(0, "", "MGA922", {e.Description()}, ""));
        r.error = r.rejections.back().message;
        r.rejected = r.read;
        return r;
    }

    // Every check first, so that a rejected row is known before anything is written.
    std::unordered_map<std::string, long> codes, sites;
    for (const auto& row : file.rows)
        if (const int at = map.at[1]; at >= 0 && static_cast<std::size_t>(at) < row.values.size())
            codes.emplace(Trim(row.values[static_cast<std::size_t>(at)]), row.number);
    std::vector<CheckedArea> accepted;
    accepted.reserve(file.rows.size());
    std::unordered_map<std::string, long> seenCodes;
    for (auto& row : file.rows) {
        const std::size_t before = r.rejections.size();
        auto a = CheckRow(row.values, row.number, map, *lookups, r.rejections);
        if (!row.shapeProblem.empty())
            r.rejections.push_back(
                Reject(row.number, "geometry", "MGA919", {row.shapeProblem}, ""));
        if (a) {
            try {
                CheckAgainstOthers(*a, codes, seenCodes, sites, *codeLookup, *siteLookup,
                                   r.rejections);
            } catch (const ComError& e) {
                r.rejections.push_back(Reject(row.number, "", "MGA922", {e.Description()}, ""));
            }
            a->shape = std::move(row.shape);
        }
        if (r.rejections.size() == before && a)
            accepted.push_back(std::move(*a));
        else
            ++r.rejected;
    }
    if (rq.dryRun || (rq.atomic && r.rejected > 0)) return r;

    auto store = std::make_shared<bo::Store>(std::make_shared<bo::DataServiceSqlPort>(db));
    const std::string comment =
        "Imported from " + std::filesystem::path(rq.path).filename().string();
    const long total = static_cast<long>(accepted.size());
    std::vector<std::pair<long, const CheckedArea*>> done;
    ImportConnection settings(*db);
    std::optional<gis::GeometryWriter> shapeWriter;
    try {
        shapeWriter.emplace(*db, gis::ShapeTable());
        if (rq.atomic) db->Begin();
    } catch (const ComError& e) {
        r.rejections.push_back(Reject(0, "", "MGA922", {e.Description()}, ""));
        r.error = r.rejections.back().message;
        r.rejected = r.read;
        return r;
    }
    // Without --atomic, records are committed in batches, each record inside its own savepoint:
    // a failing record is rolled back alone, and the disk is synced once per batch instead of
    // once per record. A batch whose commit fails is reported row by row.
    std::vector<std::pair<long, const CheckedArea*>> batch;
    auto commitBatch = [&] {
        if (rq.atomic || !db->InTransaction()) return;
        try {
            db->Commit();
            done.insert(done.end(), batch.begin(), batch.end());
        } catch (const ComError& e) {
            try {
                db->Rollback();
            } catch (const ComError&) {
                // The connection rolls an open transaction back when it closes.
            }
            for (const auto& [id, a] : batch) {
                r.rejections.push_back(Reject(a->row, "", "MGA922", {e.Description()}, ""));
                ++r.rejected;
            }
        }
        batch.clear();
    };
    for (const auto& a : accepted) {
        if (rq.progress && !rq.progress(static_cast<long>(done.size() + batch.size()), total)) {
            r.cancelled = true;
            break;
        }
        try {
            if (!rq.atomic && !db->InTransaction()) db->Begin();
            Transaction t(*db);
            const long id = SaveArea(store, *db, a, rq, *codeLookup, *shapeWriter, comment);
            t.Commit();
            batch.emplace_back(id, &a);
        } catch (const ComError& e) {
            const bool major = e.Description() == "MGA921";
            r.rejections.push_back(
                major ? Reject(a.row, "MajorMaCode", "MGA921", {a.majorCode}, a.majorCode)
                      : Reject(a.row, "", "MGA008", {e.Description()}, ""));
            ++r.rejected;
            if (rq.atomic) break;
        }
        if (batch.size() >= kBatchSize) commitBatch();
    }
    commitBatch();
    if (rq.atomic) done = std::move(batch);
    if (rq.atomic) {
        bool kept = !r.cancelled && r.rejected == 0;
        if (kept) {
            try {
                db->Commit();
            } catch (const ComError& e) {
                kept = false;
                r.rejections.push_back(Reject(0, "", "MGA922", {e.Description()}, ""));
                r.error = r.rejections.back().message;
            }
        }
        if (!kept) {
            try {
                db->Rollback();
            } catch (const ComError&) {
                // The connection rolls an open transaction back when it closes.
            }
            done.clear();
        }
    }
    for (const auto& [id, a] : done) {
        r.importedIds.push_back(id);
        if (rq.workingList) AddToWorkingList(*rq.workingList, id, *a);
    }
    r.imported = static_cast<long>(done.size());
    if (rq.progress) rq.progress(r.imported, total);
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
