#pragma once

#include "host/bo/SqlPort.h"

#include <string>

struct sqlite3;

namespace zelk::bo {

// SqlPort on a SQLite connection. Stands in until the host's data service can be adapted;
// FailAt is the test hook that makes the Nth statement from now fail.
class SqliteSqlPort : public SqlPort {
public:
    explicit SqliteSqlPort(const std::string& path = ":memory:");
    ~SqliteSqlPort() override;
    SqliteSqlPort(const SqliteSqlPort&) = delete;
    SqliteSqlPort& operator=(const SqliteSqlPort&) = delete;

    SqlResult Query(const std::string& sql, const std::vector<Variant>& params = {}) override;
    std::int64_t Execute(const std::string& sql, const std::vector<Variant>& params = {}) override;
    void Begin() override;
    void Commit() override;
    void Rollback() override;
    long StatementCount() const override { return statements_; }

    // Runs a script of several statements (schema, sample rows).
    void ExecScript(const std::string& sql);
    // 1 = the next statement (execute or commit) fails; 0 disarms.
    void FailAt(long n) { failAt_ = n; }

private:
    void CountAndMaybeFail(const std::string& sql);
    sqlite3* db_ = nullptr;
    long statements_ = 0;
    long failAt_ = 0;
};

} // namespace zelk::bo
