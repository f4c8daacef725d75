#pragma once

#include "platform/Variant.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zelk::bo {

struct SqlResult {
    std::vector<std::string> columns;
    std::vector<std::vector<Variant>> rows;
};

struct ExecResult {
    long rowsChanged = 0;
    std::int64_t lastInsertId = 0;
};

// What the business objects need from the data service: statements with bound parameters
// and one transaction at a time. Every value reaches SQL as a parameter, never as text.
class SqlPort {
public:
    virtual ~SqlPort() = default;
    virtual SqlResult Query(const std::string& sql, const std::vector<Variant>& params = {}) = 0;
    virtual ExecResult Execute(const std::string& sql, const std::vector<Variant>& params = {}) = 0;
    virtual void Begin() = 0;
    virtual void Commit() = 0;
    virtual void Rollback() = 0;
    // Statements run so far (queries, executes and commits), for the load/save goals.
    virtual long StatementCount() const = 0;
};

} // namespace zelk::bo
