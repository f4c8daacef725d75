#pragma once

#include "host/data/DataService.h"
#include "host/sql/OracleTranslator.h"

#include <string>

namespace zelk::host {

// Runs the module's Oracle SQL on the data service: translated, then run as one statement.
// The recordset's column types come from the values returned (see ReadRecordset).
RecordsetPtr QueryOracle(DataService& db, sql::OracleTranslator& translator,
                         const std::string& oracleSql, sql::Dialect dialect = sql::Dialect::SQLite);

// The same for a statement that returns no rows; answers the number of rows changed.
long ExecuteOracle(DataService& db, sql::OracleTranslator& translator, const std::string& oracleSql,
                   sql::Dialect dialect = sql::Dialect::SQLite);

} // namespace zelk::host
