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
    // A new row of `table`: `columns` (comma-separated, the ID column not among them) take
    // `values` in order. Returns the new row's ID. A port may hold the row back and write it
    // later with others, as long as the ID it returns is the one the row gets.
    virtual std::int64_t InsertRow(const std::string& table, const std::string& idColumn,
                                   const std::string& columns, std::vector<Variant> values);
    virtual void Begin() = 0;
    virtual void Commit() = 0;
    virtual void Rollback() = 0;
    // Statements run so far (queries, executes and commits), for the load/save goals.
    virtual long StatementCount() const = 0;
};

} // namespace zelk::bo
