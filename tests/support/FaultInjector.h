#pragma once

#include "host/data/DataService.h"

#include <map>
#include <string>

namespace zelk::testing {

// How an injected statement failure looks to the caller. Each raises what the data service
// itself raises for that condition.
enum class Fault {
    IoError,  // a failing device
    DiskFull, // "database or disk is full"
    Locked,   // "database is locked" (another writer held it past the busy timeout)
};

// Stands in front of the host's database: counts every statement on its way to the server and
// makes the Nth one fail before it runs. Queries, writes, BEGIN and COMMIT all count, so a
// sweep over N reaches every point where the database can refuse.
class FaultInjector {
public:
    explicit FaultInjector(const host::DataServicePtr& db);
    ~FaultInjector();
    FaultInjector(const FaultInjector&) = delete;
    FaultInjector& operator=(const FaultInjector&) = delete;

    // The nth statement from now fails with the given fault; the ones after it run. 0 only
    // counts.
    void FailAt(long n, Fault kind = Fault::IoError);
    // Stops failing and counting.
    void Off();
    // Statements seen since the last FailAt.
    long Seen() const { return seen_; }
    // True when the armed failure was raised.
    bool Fired() const { return fired_; }
    // The text of the statement that was made to fail.
    const std::string& FailedStatement() const { return failedSql_; }

private:
    void OnStatement(const std::string& sql);
    host::DataServicePtr db_;
    bool on_ = false;
    long failAt_ = 0;
    long seen_ = 0;
    bool fired_ = false;
    Fault kind_ = Fault::IoError;
    std::string failedSql_;
};

// The text the data service of this backend gives the fault, which the user must see.
std::string FaultCause(Fault kind);

// A text form of every row of every table, for before/after comparison. Runs with no fault
// armed, straight on the database.
// `rowsKept` narrows a table to the rows matching a condition ("0" leaves it out).
std::string DatabaseSnapshot(host::DataService& db,
                             const std::map<std::string, std::string>& rowsKept = {});
// Which tables differ between two snapshots, for a readable failure.
std::string SnapshotDiff(const std::string& before, const std::string& after);

// True when a text shown to the user carries SQL: a statement keyword followed by the words
// that make it a statement, or a quoted SQLite error.
bool LooksLikeSql(const std::string& text);

} // namespace zelk::testing
