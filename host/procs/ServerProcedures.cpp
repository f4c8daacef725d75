#include "host/procs/ServerProcedures.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"

namespace zelk::host {

namespace {

// Table and column names here come from the schema catalogue, never from a caller.
std::string Quoted(const std::string& identifier) {
    return "\"" + identifier + "\"";
}

struct Column {
    std::string name;
    bool primaryKey;
};

std::vector<Column> Columns(DataService& db, const std::string& table) {
    std::vector<Column> out;
    auto rs = db.Query("SELECT name, pk FROM pragma_table_info(?)", {Variant(table)});
    if (rs->RecordCount() > 0)
        for (rs->MoveFirst(); !rs->EOF(); rs->MoveNext())
            out.push_back({CStr(rs->Value("name")), CLng(rs->Value("pk")) > 0});
    return out;
}

bool Exists(DataService& db, long id) {
    return db.Query("SELECT 1 AS x FROM ma WHERE managed_area_id = ?",
                    {Variant(static_cast<int>(id))})
               ->RecordCount() > 0;
}

bool IsStamp(const std::string& c) {
    return IEquals(c, "rec_create_user") || IEquals(c, "rec_create_date") ||
           IEquals(c, "rec_last_mod_user") || IEquals(c, "rec_last_mod_date");
}

} // namespace

std::vector<std::string> ManagedAreaChildTables(DataService& db) {
    std::vector<std::string> out;
    auto tables =
        db.Query("SELECT m.name AS name FROM sqlite_master m, pragma_foreign_key_list(m.name) f "
                 "WHERE m.type = 'table' AND f.\"table\" = 'ma' AND f.\"from\" = "
                 "'managed_area_id' ORDER BY m.name");
    if (tables->RecordCount() > 0)
        for (tables->MoveFirst(); !tables->EOF(); tables->MoveNext())
            out.push_back(CStr(tables->Value("name")));
    return out;
}

bool DeleteManagedAreaData(DataService& db, long id) {
    Transaction tx(db);
    if (!Exists(db, id)) return false;
    const Params p{Variant(static_cast<int>(id))};
    auto shape = db.Query("SELECT shape_id FROM ma WHERE managed_area_id = ?", p);
    Variant shapeId = shape->Value("shape_id");
    for (const auto& t : ManagedAreaChildTables(db))
        db.Execute("DELETE FROM " + Quoted(t) + " WHERE managed_area_id = ?", p);
    db.Execute("DELETE FROM ma WHERE managed_area_id = ?", p);
    if (!shapeId.IsNull()) {
        const Params s{shapeId};
        if (db.Query("SELECT 1 AS x FROM ma WHERE shape_id = ?", s)->RecordCount() == 0) {
            db.Execute("DELETE FROM shape_attribute WHERE shape_id = ?", s);
            db.Execute("DELETE FROM shape WHERE shape_id = ?", s);
        }
    }
    tx.Commit();
    return true;
}

bool CopyManagedAreaData(DataService& db, long sourceId, long targetId, const std::string& user) {
    if (sourceId == targetId) return false;
    Transaction tx(db);
    if (!Exists(db, sourceId) || !Exists(db, targetId)) return false;
    const Variant src(static_cast<int>(sourceId)), tgt(static_cast<int>(targetId));

    // The record's own fields, except what makes it this record.
    std::vector<std::string> fields;
    for (const auto& c : Columns(db, "ma")) {
        static const char* keep[] = {"managed_area_id", "shape_id",          "macode_bcd",
                                     "old_macode",      "managed_area_name", "org_unit_id"};
        bool kept = c.primaryKey || IsStamp(c.name);
        for (const char* k : keep)
            kept = kept || IEquals(c.name, k);
        if (!kept) fields.push_back(Quoted(c.name));
    }
    if (!fields.empty()) {
        std::string list = Join(fields, ", ");
        db.Execute("UPDATE ma SET (" + list + ") = (SELECT " + list +
                       " FROM ma WHERE managed_area_id = ?), rec_last_mod_user = ?, "
                       "rec_last_mod_date = datetime('now') WHERE managed_area_id = ?",
                   {src, Variant(user), tgt});
    }

    // The child lists, except the elements recorded in the target, which are its own findings.
    for (const auto& t : ManagedAreaChildTables(db)) {
        if (IEquals(t, "element_managed_area")) continue;
        std::vector<std::string> cols, values;
        for (const auto& c : Columns(db, t)) {
            if (c.primaryKey || IEquals(c.name, "managed_area_id")) continue;
            cols.push_back(Quoted(c.name));
            if (IEquals(c.name, "rec_create_user") || IEquals(c.name, "rec_last_mod_user"))
                values.push_back("?2");
            else if (IEquals(c.name, "rec_create_date") || IEquals(c.name, "rec_last_mod_date"))
                values.push_back("datetime('now')");
            else
                values.push_back(Quoted(c.name));
        }
        db.Execute("DELETE FROM " + Quoted(t) + " WHERE managed_area_id = ?", {tgt});
        db.Execute("INSERT INTO " + Quoted(t) + " (managed_area_id" +
                       (cols.empty() ? "" : ", " + Join(cols, ", ")) + ") SELECT ?1" +
                       (values.empty() ? "" : ", " + Join(values, ", ")) + " FROM " + Quoted(t) +
                       " WHERE managed_area_id = ?3",
                   {tgt, Variant(user), src});
    }
    tx.Commit();
    return true;
}

bool RunServerProcedure(DataService& db, const std::string& name, const std::vector<long>& ids,
                        const std::string& userName) {
    if (IEquals(name, "delete_ma_data")) {
        if (ids.size() != 1)
            Raise(err::InvalidProcedureCall, "delete_ma_data takes one managed area ID");
        return DeleteManagedAreaData(db, ids[0]);
    }
    if (IEquals(name, "COPY_MA")) {
        if (ids.size() != 2)
            Raise(err::InvalidProcedureCall, "COPY_MA takes a source and a target ID");
        return CopyManagedAreaData(db, ids[0], ids[1], userName);
    }
    Raise(err::InvalidProcedureCall, "There is no server procedure named " + name);
}

} // namespace zelk::host
