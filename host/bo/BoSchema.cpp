#include "host/bo/TableDef.h"

#include "common/bo/ManagedArea.h"

#include <set>

namespace zelk::bo {

namespace {
const char* SqlType(FieldKind k) {
    switch (k) {
    case FieldKind::Long:
        return "INTEGER";
    case FieldKind::Double:
        return "REAL";
    default:
        return "TEXT";
    }
}

void Create(std::string& out, const TableDef& t) {
    out += "CREATE TABLE IF NOT EXISTS " + t.table + " (";
    bool first = true;
    for (const auto& f : t.fields) {
        if (!f.lookupTable.empty()) continue;
        if (!first) out += ", ";
        first = false;
        out += f.column + " " + SqlType(f.kind);
        if (f.column == t.idColumn) out += " PRIMARY KEY";
    }
    out += ");\n";
}

void CreateLookup(std::string& out, std::set<std::string>& done, const TableDef& t) {
    for (const auto& f : t.fields) {
        if (f.lookupTable.empty() || done.count(f.lookupTable)) continue;
        done.insert(f.lookupTable);
        out += "CREATE TABLE IF NOT EXISTS " + f.lookupTable + " (" + f.lookupKey +
               " INTEGER PRIMARY KEY";
        for (const auto& g : t.fields)
            if (g.lookupTable == f.lookupTable) out += ", " + g.column + " TEXT";
        out += ", display_value TEXT, display_order INTEGER);\n";
    }
}
} // namespace

// The business objects' tables. Applied after the host's main schema; IF NOT EXISTS keeps
// whatever the main schema already defines.
std::string BoSchemaSql() {
    std::string out;
    Create(out, ShapeTable());
    Create(out, ManagedAreaTable());
    std::set<std::string> done;
    for (int i = 0; i < ChildListCount; ++i) {
        Create(out, ChildTable(i));
        CreateLookup(out, done, ChildTable(i));
    }
    Create(out, SpatialAttributeTable());
    out += "CREATE TABLE IF NOT EXISTS audit_log (audit_log_id INTEGER PRIMARY KEY, "
           "audit_date TEXT, user_name TEXT, table_name TEXT, action TEXT, primary_key "
           "INTEGER, org_unit_id INTEGER);\n"
           "CREATE TABLE IF NOT EXISTS audit_log_column (audit_log_column_id INTEGER PRIMARY "
           "KEY, audit_log_id INTEGER, column_name TEXT, old_value TEXT, new_value TEXT, "
           "comments TEXT);\n"
           "CREATE TABLE IF NOT EXISTS user_option_category (user_option_category_id INTEGER "
           "PRIMARY KEY, category_name TEXT UNIQUE);\n"
           "CREATE TABLE IF NOT EXISTS user_option (user_option_id INTEGER PRIMARY KEY, "
           "user_option_category_id INTEGER, option_name TEXT, user_id TEXT, option_value "
           "TEXT);\n";
    for (const auto& d : AllDomains()) {
        if (done.count(d.table)) continue;
        done.insert(d.table);
        out += "CREATE TABLE IF NOT EXISTS " + d.table + " (" + d.idColumn +
               " INTEGER PRIMARY KEY, display_value TEXT, display_order INTEGER, default_ind TEXT";
        if (d.table == "d_state") out += ", nation_id INTEGER";
        for (const auto& c : d.extraColumns)
            out += ", " + c + " TEXT";
        out += ");\n";
    }
    return out;
}

} // namespace zelk::bo
