#pragma once

#include <string>

namespace zelk::host {

class DataService;

// The schema script rewritten for PostgreSQL: the same tables, views and data, with keys that
// number themselves, DOUBLE PRECISION for REAL, and the few SQLite functions and catalogue
// views the host's statements use provided as PostgreSQL functions and views.
std::string PgSchemaSql();

// On a connected PostgreSQL database: creates the schema when it is missing and `create` is
// set (answers true then), brings an older one up to date, and fails with a clear text when
// the database holds something else or the schema is missing and `create` is not set.
bool EnsurePgSchema(DataService& db, bool create);

// Audit triggers in PL/pgSQL for the tables of AuditedTables, from the catalogue.
void InstallPgAuditTriggers(DataService& db);
// Turns the audit triggers off and on again (a bulk load is nobody's change).
void EnablePgAuditTriggers(DataService& db, bool enabled);
// Moves every key generator past the largest key in its table, after rows were written
// with their keys given.
void SyncPgKeyGenerators(DataService& db);

} // namespace zelk::host
