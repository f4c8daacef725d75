#pragma once

#include "host/data/DataService.h"

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

namespace zelk::host {

enum class OpenMode {
    CreateIfMissing, // a new file gets the schema; an existing one is opened as it is
    ExistingOnly,    // a missing file is an error
    ReadOnly,        // an existing file, read and never written (an archive, a shared copy)
};

// The data service on one SQLite database file (or ":memory:"). The connection runs in WAL
// mode with foreign keys enforced, a busy timeout, and case-sensitive LIKE. Statements run
// through Query and Execute are compiled once and kept by text.
class SqliteDataService : public DataService {
public:
    // Raises ComError with a clear text when the file is missing, not a database, locked or
    // cannot be created. A new database gets the schema and nothing else.
    explicit SqliteDataService(const std::string& path = ":memory:",
                               OpenMode mode = OpenMode::CreateIfMissing);
    ~SqliteDataService() override;
    SqliteDataService(const SqliteDataService&) = delete;
    SqliteDataService& operator=(const SqliteDataService&) = delete;

    RecordsetPtr Query(const std::string& sql, const Params& params = {}) override;
    long Execute(const std::string& sql, const Params& params = {}) override;
    std::unique_ptr<Statement> Prepare(const std::string& sql) override;
    std::int64_t LastInsertId() const override;
    void ExecScript(const std::string& sql) override;
    void Begin() override;
    void Commit() override;
    void Rollback() override;
    bool InTransaction() const override;
    void SetSessionUser(const std::string& userName, long orgUnitId) override;

    bool IsReadOnly() const;
    // How long a statement waits for another connection's lock before it fails as locked.
    void SetBusyTimeout(int milliseconds);
    // True when this connection created the file and applied the schema.
    bool WasCreated() const { return created_; }
    // Called with the text of every statement about to run; a test throws from it to
    // simulate a failure at that point.
    void SetStatementHook(std::function<void(const std::string&)> hook) { hook_ = std::move(hook); }

    sqlite3* Handle() const { return db_; }
    // Runs the statement hook; used by this service's prepared statements.
    void Hook(const std::string& sql);

    const std::string& SessionUser() const { return user_; }
    long SessionOrgUnit() const { return orgUnit_; }

private:
    sqlite3_stmt* Cached(const std::string& sql);
    void Configure();
    void ApplySchema();

    sqlite3* db_ = nullptr;
    std::string path_;
    bool created_ = false;
    std::string user_;
    long orgUnit_ = -1;
    int depth_ = 0;
    std::function<void(const std::string&)> hook_;
    std::unordered_map<std::string, sqlite3_stmt*> cache_;
};

} // namespace zelk::host
