#pragma once

#include "host/sql/Dialect.h"
#include "platform/Recordset.h"
#include "platform/Variant.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zelk::host {

using Params = std::vector<Variant>;

// The error number of a change the database refused because the user may not make it.
constexpr int kPermissionDenied = 70;

// A compiled statement, run as often as needed with new parameters. Parameters are bound by
// 1-based position; a value never becomes part of the SQL text.
class Statement {
public:
    virtual ~Statement() = default;
    virtual void Bind(int index, const Variant& value) = 0;
    void BindAll(const Params& params) {
        for (std::size_t i = 0; i < params.size(); ++i)
            Bind(static_cast<int>(i) + 1, params[i]);
    }
    // Runs to completion and resets for the next run; returns the number of rows changed.
    virtual long Execute() = 0;
    // Runs and returns every row as a disconnected recordset; resets for the next run.
    virtual RecordsetPtr Query() = 0;
};

// The database behind the host. Failures raise ComError with err::ProviderError and a text
// that says what went wrong without echoing the statement.
class DataService {
public:
    virtual ~DataService() = default;
    virtual RecordsetPtr Query(const std::string& sql, const Params& params = {}) = 0;
    // Returns the number of rows changed.
    virtual long Execute(const std::string& sql, const Params& params = {}) = 0;
    virtual std::unique_ptr<Statement> Prepare(const std::string& sql) = 0;
    virtual std::int64_t LastInsertId() const = 0;
    // Runs a script of several statements (schema, migrations). Only for trusted text.
    virtual void ExecScript(const std::string& sql) = 0;
    virtual void Begin() = 0;
    virtual void Commit() = 0;
    virtual void Rollback() = 0;
    virtual bool InTransaction() const = 0;
    // The user and organisation unit that the audit trail records for later changes.
    virtual void SetSessionUser(const std::string& userName, long orgUnitId) = 0;
    // The SQL dialect the database speaks, for text that differs between the two.
    virtual sql::Dialect Dialect() const { return sql::Dialect::SQLite; }
};
using DataServicePtr = std::shared_ptr<DataService>;

// One transaction for a scope: rolled back unless Commit is called, also when an exception
// leaves the scope.
class Transaction {
public:
    explicit Transaction(DataService& db) : db_(db) { db_.Begin(); }
    ~Transaction() {
        if (open_) {
            try {
                db_.Rollback();
            } catch (...) {
                // Nothing more can be done while unwinding; the connection rolls back on close.
            }
        }
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit() {
        db_.Commit();
        open_ = false;
    }

private:
    DataService& db_;
    bool open_ = true;
};

} // namespace zelk::host
