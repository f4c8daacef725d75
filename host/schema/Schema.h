#pragma once

#include <string>

namespace zelk::host {

class DataService;

// The schema script compiled into the library, and the version it creates.
std::string SchemaSql();
constexpr int kSchemaVersion = 1;

// Creates every table and view and the audit triggers on an empty database. The caller
// holds the transaction.
void CreateSchema(DataService& db);

// Audit triggers for ma, shape and every child table, generated from the catalogue: one
// audit row per changed column on update, one per row on insert and delete.
void InstallAuditTriggers(DataService& db);

} // namespace zelk::host
