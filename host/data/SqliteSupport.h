#pragma once

#include "platform/Recordset.h"
#include "platform/Variant.h"

#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace zelk::host {

// Raises ComError (err::ProviderError) for a failed SQLite call, in words a user can act on.
[[noreturn]] void RaiseSqlite(sqlite3* db, int rc, const std::string& context);

// Binds one value; empty text binds NULL, as the module's home database stores it.
void BindValue(sqlite3* db, sqlite3_stmt* stmt, int index, const Variant& value);

// Steps the statement to the end and returns its rows. Column types come from the values:
// whole numbers -> ad::Integer (ad::Double when one exceeds 32 bits), reals -> ad::Double,
// text -> ad::VarChar; NULL stays Null. A column of NULLs takes its declared type.
RecordsetPtr ReadRecordset(sqlite3* db, sqlite3_stmt* stmt);

// Steps a statement that returns no rows; returns the rows changed.
long StepToEnd(sqlite3* db, sqlite3_stmt* stmt);

} // namespace zelk::host
