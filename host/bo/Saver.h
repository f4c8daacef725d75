#pragma once

#include "host/bo/Record.h"
#include "host/bo/SqlPort.h"
#include "platform/Conv.h"

#include <functional>
#include <string>
#include <vector>

namespace zelk::bo {

// Refuses text longer than its column before anything is written (never cut).
void CheckLengths(const Record& r);

// The statements of one save, and what to put into the objects once the commit succeeded:
// nothing in the objects changes before that, so a failed save can simply be retried.
// The audit trail is written by the database itself for every row changed here.
class Saver {
public:
    explicit Saver(SqlPort& port);

    // Inserts the row (parentId into its parent column, if it has one); returns the new ID.
    std::int64_t Insert(Record& r, const Variant& parentId);
    // Writes the changed columns only, and nothing when only user stamps changed. A row
    // that no longer exists fails the save.
    void Update(Record& r);
    void Delete(const Record& r);

    void After(std::function<void()> f) { apply_.push_back(std::move(f)); }
    // Runs `write` between Begin and Commit of the port, then the after-commit work. A
    // ComError rolls back and answers its text; success answers "".
    std::string Commit(const std::function<void()>& write);
    // The error number of the failure Commit answered (0 after a success).
    int FailureNumber() const { return failure_; }
    // After the commit.
    void ApplyAll();

private:
    SqlPort& port_;
    DateValue now_;
    std::vector<std::function<void()>> apply_;
    int failure_ = 0;
};

} // namespace zelk::bo
