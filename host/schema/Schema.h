#pragma once

#include <string>
#include <vector>

namespace zelk::host {

class DataService;

// The schema script compiled into the library, and the version it creates.
std::string SchemaSql();
constexpr int kSchemaVersion = 2;

// Creates every table and view and the audit triggers on an empty database. The caller
// holds the transaction.
void CreateSchema(DataService& db);

// Brings a database written by an older version up to kSchemaVersion (SQLite). Only the
// steps still missing run; the caller holds the transaction.
void UpgradeSchema(DataService& db);

// A table whose row changes are audited: its own key, and the record the row belongs to.
struct AuditedTable {
    const char* table;
    const char* kind;     // 'MA' or 'SHAPE'
    const char* key;      // the row's own ID
    const char* recordId; // the managed area or shape the row belongs to
};
const std::vector<AuditedTable>& AuditedTables();
// Columns that change on every save and are no news in the audit trail: the user stamps
// and the row version.
bool IsUnauditedColumn(const std::string& column);

// Audit triggers for ma, shape and every child table, generated from the catalogue: one
// audit row per changed column on update, one per row on insert and delete.
void InstallAuditTriggers(DataService& db);

} // namespace zelk::host
