#include "host/sql/OracleQuery.h"

namespace zelk::host {

RecordsetPtr QueryOracle(DataService& db, sql::OracleTranslator& translator,
                         const std::string& oracleSql, sql::Dialect dialect) {
    return db.Query(translator.Translate(oracleSql, dialect));
}

long ExecuteOracle(DataService& db, sql::OracleTranslator& translator, const std::string& oracleSql,
                   sql::Dialect dialect) {
    return db.Execute(translator.Translate(oracleSql, dialect));
}

} // namespace zelk::host
