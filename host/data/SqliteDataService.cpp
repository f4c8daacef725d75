#include "host/data/SqliteDataService.h"

#include "host/data/SqliteSupport.h"
#include "host/schema/Schema.h"
#include "platform/Error.h"
#include "platform/UnicodeCase.h"

#include <sqlite3.h>

#include <filesystem>

namespace zelk::host {

namespace {

// SQLite counts every allocation under one process-wide mutex unless told not to before its
// first use; nothing here reads those counts, and every statement allocates.
[[maybe_unused]] const bool kMemoryCountsOff = [] {
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    return true;
}();

class SqliteStatement : public Statement {
public:
    SqliteStatement(SqliteDataService& owner, std::string sql)
        : owner_(owner), sql_(std::move(sql)) {
        int rc = sqlite3_prepare_v2(owner_.Handle(), sql_.c_str(), static_cast<int>(sql_.size()),
                                    &stmt_, nullptr);
        if (rc != SQLITE_OK) RaiseSqlite(owner_.Handle(), rc, "");
    }
    ~SqliteStatement() override { sqlite3_finalize(stmt_); }
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    void Bind(int index, const Variant& value) override {
        BindValue(owner_.Handle(), stmt_, index, value);
    }
    long Execute() override {
        owner_.Hook(sql_);
        long n = StepToEnd(owner_.Handle(), stmt_);
        sqlite3_clear_bindings(stmt_);
        return n;
    }
    RecordsetPtr Query() override {
        owner_.Hook(sql_);
        auto rs = ReadRecordset(owner_.Handle(), stmt_);
        sqlite3_clear_bindings(stmt_);
        return rs;
    }

private:
    SqliteDataService& owner_;
    std::string sql_;
    sqlite3_stmt* stmt_ = nullptr;
};

// The session's user and organisation unit, for the audit triggers.
void SessionUserFn(sqlite3_context* ctx, int, sqlite3_value**) {
    auto* self = static_cast<SqliteDataService*>(sqlite3_user_data(ctx));
    const std::string& u = self->SessionUser();
    if (u.empty())
        sqlite3_result_null(ctx);
    else
        sqlite3_result_text(ctx, u.c_str(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
}

// UPPER by the module's own rule: SQLite's built-in one folds ASCII letters only, so "doña"
// would never find "DOÑA ANA". Names are mostly ASCII and every row of a name search passes
// here, so ASCII text is folded in place without a copy through ICU.
void UnicodeUpperFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    if (!text) return; // NULL stays NULL
    const int n = sqlite3_value_bytes(argv[0]);
    bool ascii = true;
    for (int i = 0; i < n && ascii; ++i)
        ascii = static_cast<unsigned char>(text[i]) < 0x80;
    if (!ascii) {
        const std::string upper = UpperUtf8(std::string_view(text, static_cast<std::size_t>(n)));
        sqlite3_result_text64(ctx, upper.data(), upper.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
        return;
    }
    auto* out = static_cast<char*>(sqlite3_malloc64(static_cast<sqlite3_uint64>(n) + 1));
    if (!out) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    for (int i = 0; i < n; ++i) {
        const char c = text[i];
        out[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    out[n] = '\0';
    sqlite3_result_text(ctx, out, n, sqlite3_free);
}

void SessionOrgUnitFn(sqlite3_context* ctx, int, sqlite3_value**) {
    auto* self = static_cast<SqliteDataService*>(sqlite3_user_data(ctx));
    if (self->SessionOrgUnit() < 0)
        sqlite3_result_null(ctx);
    else
        sqlite3_result_int64(ctx, self->SessionOrgUnit());
}

} // namespace

SqliteDataService::SqliteDataService(const std::string& path, OpenMode mode) : path_(path) {
    const bool memory = path.empty() || path == ":memory:";
    std::error_code ec;
    const bool exists = !memory && std::filesystem::exists(path, ec);
    if (!memory && !exists && mode != OpenMode::CreateIfMissing)
        Raise(err::ProviderError, "The database file '" + path + "' does not exist.",
              "DataService");

    int flags = SQLITE_OPEN_FULLMUTEX;
    if (mode == OpenMode::ReadOnly && !memory)
        flags |= SQLITE_OPEN_READONLY;
    else
        flags |= SQLITE_OPEN_READWRITE;
    if (memory || !exists) flags |= SQLITE_OPEN_CREATE;
    int rc = sqlite3_open_v2(memory ? ":memory:" : path.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(db_);
        db_ = nullptr;
        Raise(err::ProviderError,
              "The database file '" + path + "' cannot be " + (exists ? "opened." : "created."),
              "DataService");
    }
    try {
        Configure();
        if (memory || !exists) {
            ApplySchema();
            created_ = true;
        } else if (!Query("SELECT name FROM sqlite_master WHERE type = 'table' AND "
                          "name = 'schema_version'")
                        ->RecordCount()) {
            Raise(err::ProviderError, "The file '" + path + "' is not a managed area database.",
                  "DataService");
        } else if (!IsReadOnly()) {
            Transaction t(*this);
            UpgradeSchema(*this);
            t.Commit();
        }
    } catch (const ComError& e) {
        for (auto& [sql, stmt] : cache_)
            sqlite3_finalize(stmt);
        cache_.clear();
        sqlite3_close(db_);
        db_ = nullptr;
        if (!exists && !memory) std::filesystem::remove(path, ec);
        std::string text = e.Description();
        if (text.rfind("The file", 0) != 0 && text.rfind("The database file", 0) != 0)
            text = "The database '" + path + "' cannot be used. " + text;
        Raise(err::ProviderError, text, "DataService");
    }
}

SqliteDataService::~SqliteDataService() {
    for (auto& [sql, stmt] : cache_)
        sqlite3_finalize(stmt);
    sqlite3_close(db_);
}

void SqliteDataService::Configure() {
    sqlite3_busy_timeout(db_, 5000);
    sqlite3_extended_result_codes(db_, 0);
    // Touches the file header, so a file that is no database fails here with a clear text.
    StepToEnd(db_, Cached("PRAGMA schema_version"));
    if (!IsReadOnly()) ExecScript("PRAGMA journal_mode = WAL;");
    ExecScript("PRAGMA foreign_keys = ON; PRAGMA case_sensitive_like = ON;");
    sqlite3_create_function(db_, "zelk_user", 0, SQLITE_UTF8, this, SessionUserFn, nullptr,
                            nullptr);
    sqlite3_create_function(db_, "zelk_org_unit", 0, SQLITE_UTF8, this, SessionOrgUnitFn, nullptr,
                            nullptr);
    int rc = sqlite3_create_function(db_, "upper", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                     UnicodeUpperFn, nullptr, nullptr);
    if (rc != SQLITE_OK) RaiseSqlite(db_, rc, "");
}

void SqliteDataService::ApplySchema() {
    Transaction t(*this);
    CreateSchema(*this);
    t.Commit();
}

void SqliteDataService::Hook(const std::string& sql) {
    if (hook_) hook_(sql);
}

sqlite3_stmt* SqliteDataService::Cached(const std::string& sql) {
    auto it = cache_.find(sql);
    if (it != cache_.end()) return it->second;
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &stmt, &tail);
    if (rc != SQLITE_OK) RaiseSqlite(db_, rc, "");
    if (!stmt) Raise(err::ProviderError, "The statement is empty.", "DataService");
    for (; tail && *tail; ++tail) {
        if (*tail != ' ' && *tail != '\n' && *tail != '\t' && *tail != '\r' && *tail != ';') {
            sqlite3_finalize(stmt);
            Raise(err::ProviderError, "Only one statement can be run at a time.", "DataService");
        }
    }
    // Bounded: statements built by concatenation differ by their values.
    if (cache_.size() >= 256) {
        for (auto& [text, s] : cache_)
            sqlite3_finalize(s);
        cache_.clear();
    }
    cache_.emplace(sql, stmt);
    return stmt;
}

RecordsetPtr SqliteDataService::Query(const std::string& sql, const Params& params) {
    sqlite3_stmt* stmt = Cached(sql);
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    for (std::size_t i = 0; i < params.size(); ++i)
        BindValue(db_, stmt, static_cast<int>(i) + 1, params[i]);
    Hook(sql);
    return ReadRecordset(db_, stmt);
}

long SqliteDataService::Execute(const std::string& sql, const Params& params) {
    sqlite3_stmt* stmt = Cached(sql);
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    for (std::size_t i = 0; i < params.size(); ++i)
        BindValue(db_, stmt, static_cast<int>(i) + 1, params[i]);
    Hook(sql);
    return StepToEnd(db_, stmt);
}

std::unique_ptr<Statement> SqliteDataService::Prepare(const std::string& sql) {
    return std::make_unique<SqliteStatement>(*this, sql);
}

std::int64_t SqliteDataService::LastInsertId() const {
    return sqlite3_last_insert_rowid(db_);
}

void SqliteDataService::ExecScript(const std::string& sql) {
    char* msg = nullptr;
    int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &msg);
    sqlite3_free(msg);
    if (rc != SQLITE_OK) RaiseSqlite(db_, rc, "");
}

// Nested transactions become savepoints, so a procedure can run inside a caller's save.
void SqliteDataService::Begin() {
    // Through the statement cache: an import opens and releases a savepoint per record.
    if (depth_ == 0)
        Execute("BEGIN IMMEDIATE");
    else
        Execute("SAVEPOINT sp" + std::to_string(depth_));
    ++depth_;
}

void SqliteDataService::Commit() {
    if (depth_ == 0) Raise(err::ProviderError, "No transaction is open.", "DataService");
    if (depth_ == 1) {
        Execute("COMMIT");
    } else {
        Execute("RELEASE sp" + std::to_string(depth_ - 1));
    }
    --depth_;
}

void SqliteDataService::Rollback() {
    if (depth_ == 0) return;
    --depth_;
    if (depth_ == 0) {
        if (!sqlite3_get_autocommit(db_)) ExecScript("ROLLBACK");
    } else {
        const std::string sp = "sp" + std::to_string(depth_);
        Execute("ROLLBACK TO " + sp);
        Execute("RELEASE " + sp);
    }
}

bool SqliteDataService::InTransaction() const {
    return depth_ > 0;
}

void SqliteDataService::SetSessionUser(const std::string& userName, long orgUnitId) {
    user_ = userName;
    orgUnit_ = orgUnitId;
}

void SqliteDataService::SetBusyTimeout(int milliseconds) {
    sqlite3_busy_timeout(db_, milliseconds);
}

bool SqliteDataService::IsReadOnly() const {
    return sqlite3_db_readonly(db_, "main") == 1;
}

} // namespace zelk::host
