#include "host/bo/SqliteSqlPort.h"

#include "platform/Conv.h"
#include "platform/Error.h"

#include <sqlite3.h>

namespace zelk::bo {

namespace {
[[noreturn]] void Fail(sqlite3* db, const std::string& what) {
    Raise(err::ProviderError, what + ": " + sqlite3_errmsg(db), "DataService");
}

void BindParam(sqlite3_stmt* st, int i, const Variant& v) {
    if (v.IsNull() || v.IsEmpty()) {
        sqlite3_bind_null(st, i);
    } else if (v.IsString()) {
        sqlite3_bind_text(st, i, v.Str().c_str(), static_cast<int>(v.Str().size()),
                          SQLITE_TRANSIENT);
    } else if (v.IsDate()) {
        std::string s = Format(v, "yyyy-mm-dd hh:nn:ss");
        sqlite3_bind_text(st, i, s.c_str(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
    } else if (v.Type() == VarType::Single || v.Type() == VarType::Double) {
        sqlite3_bind_double(st, i, v.NumberValue());
    } else if (v.IsNumber()) {
        sqlite3_bind_int64(st, i, static_cast<sqlite3_int64>(v.NumberValue()));
    } else {
        Raise(err::TypeMismatch, "A parameter of this type cannot be stored");
    }
}

Variant Column(sqlite3_stmt* st, int c) {
    switch (sqlite3_column_type(st, c)) {
    case SQLITE_INTEGER: {
        auto n = sqlite3_column_int64(st, c);
        if (n >= INT32_MIN && n <= INT32_MAX) return Variant(static_cast<int>(n));
        return Variant(static_cast<double>(n));
    }
    case SQLITE_FLOAT:
        return Variant(sqlite3_column_double(st, c));
    case SQLITE_TEXT:
        return Variant(std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, c)),
                                   static_cast<std::size_t>(sqlite3_column_bytes(st, c))));
    default:
        return Variant::Null();
    }
}

struct Stmt {
    sqlite3_stmt* st = nullptr;
    ~Stmt() { sqlite3_finalize(st); }
};
} // namespace

SqliteSqlPort::SqliteSqlPort(const std::string& path) {
    if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) {
        std::string msg = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        Raise(err::ProviderError, "Cannot open database " + path + ": " + msg, "DataService");
    }
}

SqliteSqlPort::~SqliteSqlPort() {
    sqlite3_close(db_);
}

void SqliteSqlPort::CountAndMaybeFail(const std::string& sql) {
    ++statements_;
    if (failAt_ > 0 && --failAt_ == 0)
        Raise(err::ProviderError, "Injected failure at: " + sql, "DataService");
}

SqlResult SqliteSqlPort::Query(const std::string& sql, const std::vector<Variant>& params) {
    ++statements_;
    Stmt s;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &s.st, nullptr) != SQLITE_OK)
        Fail(db_, "Cannot prepare query");
    for (std::size_t i = 0; i < params.size(); ++i)
        BindParam(s.st, static_cast<int>(i + 1), params[i]);
    SqlResult r;
    int n = sqlite3_column_count(s.st);
    for (int c = 0; c < n; ++c)
        r.columns.emplace_back(sqlite3_column_name(s.st, c));
    int rc;
    while ((rc = sqlite3_step(s.st)) == SQLITE_ROW) {
        std::vector<Variant> row;
        row.reserve(static_cast<std::size_t>(n));
        for (int c = 0; c < n; ++c)
            row.push_back(Column(s.st, c));
        r.rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) Fail(db_, "Query failed");
    return r;
}

std::int64_t SqliteSqlPort::Execute(const std::string& sql, const std::vector<Variant>& params) {
    CountAndMaybeFail(sql);
    Stmt s;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &s.st, nullptr) != SQLITE_OK)
        Fail(db_, "Cannot prepare statement");
    for (std::size_t i = 0; i < params.size(); ++i)
        BindParam(s.st, static_cast<int>(i + 1), params[i]);
    if (sqlite3_step(s.st) != SQLITE_DONE) Fail(db_, "Statement failed");
    return sqlite3_last_insert_rowid(db_);
}

void SqliteSqlPort::ExecScript(const std::string& sql) {
    char* msg = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &msg) != SQLITE_OK) {
        std::string text = msg ? msg : "unknown error";
        sqlite3_free(msg);
        Raise(err::ProviderError, "Script failed: " + text, "DataService");
    }
}

void SqliteSqlPort::Begin() {
    ExecScript("BEGIN IMMEDIATE");
}

void SqliteSqlPort::Commit() {
    CountAndMaybeFail("COMMIT");
    ExecScript("COMMIT");
}

void SqliteSqlPort::Rollback() {
    if (!sqlite3_get_autocommit(db_)) ExecScript("ROLLBACK");
}

} // namespace zelk::bo
