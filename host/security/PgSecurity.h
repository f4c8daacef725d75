#pragma once

namespace zelk::host {

class DataService;

// True when the PostgreSQL database has its group roles and grants.
bool PgSecurityInstalled(DataService& db);
// Creates the database's group roles (read, edit, administer), grants the tables, views,
// sequences and server procedures to them, and makes the connected user the first
// administrator. The caller holds the transaction; the connected user must own the schema
// and be able to create roles.
void InstallPgSecurity(DataService& db);

} // namespace zelk::host
