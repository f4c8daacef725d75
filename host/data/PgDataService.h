#pragma once

#include "host/data/DataService.h"
#include "host/data/SqliteDataService.h"

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

struct pg_conn;

namespace zelk::host {

// The data service on a PostgreSQL server, reached by a libpq connection URI
// ("postgresql://user@host/db", or a socket directory as "?host=/path"). Statements use "?"
// (or "?N") for parameters, as on SQLite; each text is prepared once per connection and all
// values travel as text parameters. Transactions run at READ COMMITTED; the business objects'
// row-version check makes that enough for a save.
//
// A connection that dropped between two actions is opened again by the next one. A drop
// inside a transaction fails that transaction: the server rolls it back, and the caller hears
// of it as a ComError; nothing is half written.
class PgDataService : public DataService {
public:
    // CreateIfMissing: a database without the managed area tables gets the schema.
    // ExistingOnly: such a database is an error.
    explicit PgDataService(const std::string& url, OpenMode mode = OpenMode::CreateIfMissing);
    ~PgDataService() override;
    PgDataService(const PgDataService&) = delete;
    PgDataService& operator=(const PgDataService&) = delete;

    RecordsetPtr Query(const std::string& sql, const Params& params = {}) override;
    long Execute(const std::string& sql, const Params& params = {}) override;
    std::unique_ptr<Statement> Prepare(const std::string& sql) override;
    std::int64_t LastInsertId() const override { return lastInsertId_; }
    void ExecScript(const std::string& sql) override;
    void Begin() override;
    void Commit() override;
    void Rollback() override;
    bool InTransaction() const override { return depth_ > 0; }
    void SetSessionUser(const std::string& userName, long orgUnitId) override;
    sql::Dialect Dialect() const override { return sql::Dialect::PostgreSQL; }

    bool WasCreated() const { return created_; }
    // Inside a transaction, for loading many rows: INSERTs run through prepared statements
    // are queued and sent many rows to one statement, foreign keys are checked at the
    // commit, and Execute answers 1 for a queued row. Anything else that runs sends the
    // queue first; an error in a queued row surfaces there. Ends with the transaction.
    void SetBulkLoad(bool on);
    // Used by this service's statements: true when the row was queued.
    bool Queue(const std::string& pgSql, int paramCount, const Params& params);
    void FlushBulk();

    // The server process serving this connection (for tests that cut it).
    int ServerPid() const;
    // Called with the text of every statement about to run; a test throws from it, or cuts
    // the connection, to simulate a failure at that point.
    void SetStatementHook(std::function<void(const std::string&)> hook) { hook_ = std::move(hook); }
    void Hook(const std::string& sql);

    // Runs trusted statements on a bare connection, without the schema check (creating and
    // dropping databases); raises ComError when the server cannot be reached or refuses.
    static void Administer(const std::string& url, const std::string& sql);

    // Asked for a password when the server wants one and neither the URL, PGPASSWORD nor the
    // password file gave it (the workbench asks the person); answers "" to give up. It is
    // shown the URL without any password.
    using PasswordPrompt = std::function<std::string(const std::string& shownUrl)>;
    static void SetPasswordPrompt(PasswordPrompt prompt);
    // The verifier the server stores for this user's password (libpq's own hashing), so that
    // the password itself never travels or reaches a log.
    std::string EncryptPassword(const std::string& user, const std::string& password);
    // The URL connecting as another user (the user goes in the parameters, encoded).
    static std::string WithUser(const std::string& url, const std::string& user);

    // True for "postgresql://..." and "postgres://...".
    static bool IsUrl(const std::string& text);
    // The URL without its password, fit to show.
    static std::string Redacted(const std::string& url);
    // The URL naming another database on the same server.
    static std::string WithDatabase(const std::string& url, const std::string& database);

    // Runs one prepared statement; used by this service's statements.
    struct Result;
    std::shared_ptr<Result> Run(const std::string& pgSql, int paramCount, const Params& params);
    // "?" and "?N" become "$N"; answers the number of parameters.
    static std::string Placeholders(const std::string& sql, int& count);
    // An INSERT gets "RETURNING <key>" so that LastInsertId can answer.
    std::string WithReturning(const std::string& pgSql);
    RecordsetPtr ToRecordset(Result& r);
    long Changed(Result& r);

private:
    void Connect();
    void EnsureConnected();
    void ApplySession();
    std::string KeyOf(const std::string& table);
    std::string Prepared(const std::string& pgSql, int paramCount, const Params& params,
                         bool typed);

    // The rows of one INSERT statement gathered during a bulk load: sent with COPY when its
    // values are parameters and constants only, else as one multi-row INSERT.
    struct Batch {
        std::string head, row; // "INSERT ... VALUES " and "($1, ..., $n)"
        int columns = 0;
        Params values;
        std::string copy;               // "COPY t (a, b) FROM STDIN", or empty
        std::vector<std::string> cells; // per value of the row: "" for parameter k, else the
        std::vector<int> params;        // constant's COPY text; params[i] is k, or -1
        std::string data;               // rows in COPY's text format, not yet sent
    };
    void FlushBatch(Batch& b);
    void CopyIn(Batch& b);

    pg_conn* conn_ = nullptr;
    bool bulk_ = false;
    std::unordered_map<std::string, Batch> batches_;
    std::string foreignKeys_; // to add back when the bulk load ends
    std::string indexes_;     // to build again when the bulk load ends
    std::string url_;
    std::string password_; // from the prompt; kept for opening the connection again
    bool created_ = false;
    int depth_ = 0;
    bool broken_ = false; // the connection dropped inside the open transaction
    std::int64_t lastInsertId_ = 0;
    std::string user_;
    long orgUnit_ = -1;
    std::function<void(const std::string&)> hook_;
    std::unordered_map<std::string, std::string> prepared_;
    std::unordered_map<std::string, std::string> keys_;
    long nextName_ = 0;
};

} // namespace zelk::host
