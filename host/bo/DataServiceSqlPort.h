#pragma once

#include "host/bo/SqlPort.h"
#include "host/data/DataService.h"

#include <memory>

namespace zelk::bo {

// Every row of a query's answer, as the business objects read it.
SqlResult ReadAll(Recordset& rs);

// The business objects' port on the host's data service. The service may already be inside
// a transaction of its caller; Begin then opens a savepoint, so a save stays all or nothing.
class DataServiceSqlPort : public SqlPort {
public:
    explicit DataServiceSqlPort(host::DataServicePtr db);

    SqlResult Query(const std::string& sql, const std::vector<Variant>& params = {}) override;
    ExecResult Execute(const std::string& sql, const std::vector<Variant>& params = {}) override;
    void Begin() override;
    void Commit() override;
    void Rollback() override;
    long StatementCount() const override { return statements_; }

    host::DataService& Service() { return *db_; }
    // Test hook: the Nth write or commit from now fails before it reaches the database;
    // 0 disarms. Queries are counted but never fail.
    void FailAt(long n) { failAt_ = n; }

private:
    void CountAndMaybeFail(const std::string& sql);
    host::DataServicePtr db_;
    long statements_ = 0;
    long failAt_ = 0;
};

} // namespace zelk::bo
