#include "host/procs/ServerProcedures.h"

#include "host/data/DataService.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"

#include <algorithm>
#include <vector>

namespace zelk::host {

namespace {

struct Reference {
    std::string table, column;
};

// Tables whose rows point at a row of `parent`, read from the catalogue so that a table added
// to the schema is covered without an edit here.
std::vector<Reference> ReferencingTables(DataService& db, const std::string& parent) {
    auto rs = db.Query("SELECT m.name AS tbl, f.\"from\" AS col FROM sqlite_master m, "
                       "pragma_foreign_key_list(m.name) f WHERE m.type = 'table' AND "
                       "lower(f.\"table\") = ? ORDER BY m.name",
                       {parent});
    std::vector<Reference> out;
    for (; !rs->EOF(); rs->MoveNext())
        out.push_back({CStr(rs->Value("tbl")), CStr(rs->Value("col"))});
    return out;
}

bool Exists(DataService& db, long id) {
    return db.Query("SELECT 1 FROM ma WHERE managed_area_id = ?", {static_cast<int>(id)})
               ->RecordCount() > 0;
}

long LastAuditId(DataService& db) {
    auto rs = db.Query("SELECT COALESCE(MAX(audit_log_id), 0) AS n FROM audit_log");
    return CLng(rs->Value("n"));
}

// The procedure acts for userName; the audit trail says so when the session did not.
void SignAudit(DataService& db, long after, const std::string& userName) {
    if (userName.empty()) return;
    db.Execute("UPDATE audit_log SET user_name = ? WHERE audit_log_id > ? AND user_name IS NULL",
               {userName, static_cast<int>(after)});
}

struct Column {
    std::string name;
    bool key = false;
};

std::vector<Column> Columns(DataService& db, const std::string& table) {
    auto rs = db.Query("SELECT name, pk FROM pragma_table_info(?) ORDER BY cid", {table});
    std::vector<Column> out;
    for (; !rs->EOF(); rs->MoveNext())
        out.push_back({CStr(rs->Value("name")), CLng(rs->Value("pk")) > 0});
    return out;
}

bool IsStamp(const std::string& c) {
    return c == "rec_create_user" || c == "rec_create_date" || c == "rec_last_mod_user" ||
           c == "rec_last_mod_date";
}

// What makes two child rows the same for the copy; by default every data column.
std::vector<std::string> SameRowColumns(const std::string& table) {
    if (table == "element_managed_area")
        return {"element_global_id", "element_national_id", "element_subnational_id"};
    if (table == "managed_area_owner") return {"owner_name"};
    if (table == "managed_area_mgmt_year") return {"managed_area_mgmt_year"};
    return {};
}

constexpr const char* kNow = "datetime('now', 'localtime')";

void CopyChildRows(DataService& db, const Reference& child, long source, long target,
                   const std::string& user) {
    std::vector<std::string> data;
    std::string pk;
    bool hasOrder = false, hasStamps = false;
    for (const Column& c : Columns(db, child.table)) {
        if (c.key) {
            pk = c.name;
        } else if (c.name == child.column) {
        } else if (c.name == "display_order") {
            hasOrder = true;
        } else if (IsStamp(c.name)) {
            hasStamps = true;
        } else {
            data.push_back(c.name);
        }
    }
    std::vector<std::string> same = SameRowColumns(child.table);
    if (same.empty()) same = data;

    const std::string t = child.table, m = child.column;
    std::string cols = m, vals = "?1";
    for (const std::string& c : data) {
        cols += ", " + c;
        vals += ", s." + c;
    }
    std::string order = "s.display_order, s." + (pk.empty() ? std::string("rowid") : pk);
    if (!hasOrder) order = "s.rowid";
    if (hasOrder) {
        cols += ", display_order";
        vals += ", (SELECT COALESCE(MAX(display_order), 0) FROM " + t + " WHERE " + m +
                " = ?1) + ROW_NUMBER() OVER (ORDER BY " + order + ")";
    }
    if (hasStamps) {
        cols += ", rec_create_user, rec_create_date, rec_last_mod_user, rec_last_mod_date";
        vals += std::string(", ?3, ") + kNow + ", ?3, " + kNow;
    }
    std::string match;
    for (const std::string& c : same)
        match += " AND x." + c + " IS NOT DISTINCT FROM s." + c;
    db.Execute("INSERT INTO " + t + " (" + cols + ") SELECT " + vals + " FROM " + t +
                   " s WHERE s." + m + " = ?2 AND NOT EXISTS (SELECT 1 FROM " + t + " x WHERE x." +
                   m + " = ?1" + match + ") ORDER BY " + order,
               {static_cast<int>(target), static_cast<int>(source), user});
}

// The target's own identity and history, which a copy leaves alone.
bool KeepsOwnValue(const std::string& c) {
    static const char* const own[] = {"managed_area_id", "shape_id",    "managed_area_name",
                                      "macode_bcd",      "old_macode",  "equi_site_id",
                                      "equi_site_name",  "org_unit_id", "row_version"};
    return IsStamp(c) ||
           std::any_of(std::begin(own), std::end(own), [&](const char* o) { return c == o; });
}

// On a server the procedures are the server's own, run with the caller's rights (only editors
// may run them); the audit trail names the session user there.
bool OnServer(DataService& db) {
    return db.Dialect() == sql::Dialect::PostgreSQL;
}

bool ServerCall(DataService& db, const std::string& call, const Params& args) {
    Transaction t(db);
    bool done = CLng(db.Query("SELECT " + call + "::integer AS done", args)->Value("done")) == 1;
    t.Commit();
    return done;
}

} // namespace

bool DeleteManagedAreaData(DataService& db, long id, const std::string& userName) {
    if (OnServer(db)) return ServerCall(db, "delete_ma_data(?)", {Variant(static_cast<int>(id))});
    Transaction t(db);
    auto shape =
        db.Query("SELECT shape_id FROM ma WHERE managed_area_id = ?", {static_cast<int>(id)});
    if (shape->RecordCount() == 0) return false;
    const Variant shapeId = shape->Value("shape_id");
    const long audit = LastAuditId(db);
    const Params idParam{static_cast<int>(id)};

    for (const Reference& r : ReferencingTables(db, "ma")) {
        if (r.table == "ma")
            db.Execute("UPDATE ma SET " + r.column + " = NULL WHERE " + r.column + " = ?", idParam);
        else
            db.Execute("DELETE FROM " + r.table + " WHERE " + r.column + " = ?", idParam);
    }
    db.Execute("DELETE FROM ma WHERE managed_area_id = ?", idParam);

    if (db.Query("SELECT 1 FROM ma WHERE shape_id = ?", {shapeId})->RecordCount() == 0) {
        for (const Reference& r : ReferencingTables(db, "shape"))
            if (r.table != "ma")
                db.Execute("DELETE FROM " + r.table + " WHERE " + r.column + " = ?", {shapeId});
        db.Execute("DELETE FROM shape WHERE shape_id = ?", {shapeId});
    }
    SignAudit(db, audit, userName);
    t.Commit();
    return true;
}

bool CopyManagedAreaData(DataService& db, long source, long target, const std::string& userName) {
    if (source == target)
        Raise(err::InvalidArgument, "A managed area cannot be copied onto itself.", "COPY_MA");
    if (OnServer(db))
        return ServerCall(db, "copy_ma(?, ?)",
                          {Variant(static_cast<int>(source)), Variant(static_cast<int>(target))});
    Transaction t(db);
    if (!Exists(db, source) || !Exists(db, target)) return false;
    const long audit = LastAuditId(db);

    std::string names, values;
    for (const Column& c : Columns(db, "ma")) {
        if (KeepsOwnValue(c.name)) continue;
        names += (names.empty() ? "" : ", ") + c.name;
        // A major managed area equal to the target would make the area contain itself.
        std::string src = c.name == "major_ma_id" ? "NULLIF(s.major_ma_id, ?2)" : "s." + c.name;
        values += (values.empty() ? "" : ", ") + ("COALESCE(" + src + ", ma." + c.name + ")");
    }
    // The copy changes the target: whoever read it before must not save over it unseen.
    db.Execute("UPDATE ma SET (" + names + ", rec_last_mod_user, rec_last_mod_date) = (SELECT " +
                   values + ", ?3, " + kNow + " FROM ma s WHERE s.managed_area_id = ?1), " +
                   "row_version = row_version + 1 WHERE managed_area_id = ?2",
               {static_cast<int>(source), static_cast<int>(target), userName});

    for (const Reference& r : ReferencingTables(db, "ma"))
        if (r.table != "ma") CopyChildRows(db, r, source, target, userName);

    SignAudit(db, audit, userName);
    t.Commit();
    return true;
}

bool RunDeleteProcedure(DataService& db, const std::string& procedure, long id,
                        const std::string& userName) {
    if (!IEquals(procedure, "delete_ma_data"))
        Raise(err::InvalidArgument, "There is no delete procedure named '" + procedure + "'.",
              "DataService");
    return DeleteManagedAreaData(db, id, userName);
}

bool RunCopyProcedure(DataService& db, const std::string& procedure, long sourceId, long targetId,
                      const std::string& userName) {
    if (!IEquals(procedure, "COPY_MA"))
        Raise(err::InvalidArgument, "There is no copy procedure named '" + procedure + "'.",
              "DataService");
    return CopyManagedAreaData(db, sourceId, targetId, userName);
}

} // namespace zelk::host
