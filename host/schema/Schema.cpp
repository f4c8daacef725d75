#include "host/schema/Schema.h"

#include "host/data/DataService.h"
#include "host/embedded/SchemaSql.h"
#include "host/gis/GisSchema.h"
#include "platform/Conv.h"

#include <string>
#include <vector>

namespace zelk::host {

namespace {

std::string Head(const AuditedTable& a, const char* action) {
    return std::string("INSERT INTO audit_log (user_name, table_name, table_kind, action, "
                       "column_name, old_value, new_value, primary_key, record_id, org_unit_id) ") +
           "SELECT zelk_user(), '" + a.table + "', '" + a.kind + "', '" + action + "', ";
}

std::vector<std::string> Columns(DataService& db, const std::string& table) {
    auto cols = db.Query("SELECT name FROM pragma_table_info('" + table + "')");
    std::vector<std::string> names;
    for (; !cols->EOF(); cols->MoveNext())
        names.push_back(CStr(cols->Value("name")));
    return names;
}

// The workbench opens with every area of the working-list view in name order. An index that
// holds every column of that view lets the read walk it in order, a fraction of the table's
// size, instead of reading the whole table and sorting it. Kept in step with the view.
// SQLite only: on PostgreSQL a long description could outgrow an index entry.
void EnsureWorkingListIndex(DataService& db) {
    db.ExecScript("CREATE INDEX IF NOT EXISTS ma_working_list_ix ON ma (managed_area_name, "
                  "managed_area_desc, managed_area_type, macode_bcd, d_state_id, shape_id);");
}

} // namespace

// Child tables belong to their managed area; ma and shape are their own record.
const std::vector<AuditedTable>& AuditedTables() {
    static const std::vector<AuditedTable> t = {
        {"ma", "MA", "managed_area_id", "managed_area_id"},
        {"shape", "SHAPE", "shape_id", "shape_id"},
        {"managed_area_owner", "MA", "managed_area_owner_id", "managed_area_id"},
        {"managed_area_alias", "MA", "managed_area_alias_id", "managed_area_id"},
        {"managed_area_county", "MA", "managed_area_county_id", "managed_area_id"},
        {"managed_area_local_juris", "MA", "managed_area_local_juris_id", "managed_area_id"},
        {"managed_area_mapsheet", "MA", "managed_area_mapsheet_id", "managed_area_id"},
        {"managed_area_site", "MA", "managed_area_site_id", "managed_area_id"},
        {"managed_area_reference", "MA", "managed_area_reference_id", "managed_area_id"},
        {"managed_area_trs", "MA", "managed_area_trs_id", "managed_area_id"},
        {"managed_area_legal", "MA", "managed_area_legal_id", "managed_area_id"},
        {"managed_area_mgmt_year", "MA", "managed_area_mgmt_year_id", "managed_area_id"},
        {"managed_area_keyword", "MA", "managed_area_keyword_id", "managed_area_id"},
        {"element_managed_area", "MA", "element_managed_area_id", "managed_area_id"},
    };
    return t;
}

bool IsUnauditedColumn(const std::string& c) {
    return c == "rec_create_user" || c == "rec_create_date" || c == "rec_last_mod_user" ||
           c == "rec_last_mod_date" || c == "row_version";
}

std::string SchemaSql() {
    return embedded::SchemaSql();
}

void CreateSchema(DataService& db) {
    db.ExecScript(SchemaSql());
    EnsureWorkingListIndex(db);
    gis::CreateGisSchema(db);
    InstallAuditTriggers(db);
}

void UpgradeSchema(DataService& db) {
    auto names = Columns(db, "ma");
    bool versioned = false;
    for (const auto& n : names)
        if (n == "row_version") versioned = true;
    if (!versioned)
        db.ExecScript("ALTER TABLE ma ADD COLUMN row_version INTEGER NOT NULL DEFAULT 1;");
    // A database written before the index gets it once, on its first open here.
    EnsureWorkingListIndex(db);
    gis::EnsureGisSchema(db);
    db.ExecScript("UPDATE schema_version SET version = " + std::to_string(kSchemaVersion) +
                  " WHERE version < " + std::to_string(kSchemaVersion) + ";");
}

void InstallAuditTriggers(DataService& db) {
    for (const AuditedTable& a : AuditedTables()) {
        auto names = Columns(db, a.table);
        const std::string key = a.key, rec = a.recordId;

        std::string sql = std::string("CREATE TRIGGER ") + a.table + "_audit_i AFTER INSERT ON " +
                          a.table + " BEGIN " + Head(a, "I") + "NULL, NULL, NULL, new." + key +
                          ", new." + rec + ", zelk_org_unit(); END;";
        sql += std::string("CREATE TRIGGER ") + a.table + "_audit_d AFTER DELETE ON " + a.table +
               " BEGIN " + Head(a, "D") + "NULL, NULL, NULL, old." + key + ", old." + rec +
               ", zelk_org_unit(); END;";
        // One statement per column; the user stamps change on every save and are not news.
        sql += std::string("CREATE TRIGGER ") + a.table + "_audit_u AFTER UPDATE ON " + a.table +
               " BEGIN ";
        for (const auto& c : names) {
            if (IsUnauditedColumn(c)) continue;
            sql += Head(a, "U") + "'" + c + "', old." + c + ", new." + c + ", new." + key +
                   ", new." + rec + ", zelk_org_unit() WHERE old." + c + " IS NOT new." + c + ";";
        }
        sql += " END;";
        db.ExecScript(sql);
    }
}

} // namespace zelk::host
