#pragma once

#include "host/bo/DataServiceSqlPort.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zelk::bo {

// A port for saving many new records at once on SQLite. New rows are held back with the IDs
// they will get and written by Flush, many rows to a statement: the same rows, child rows
// after their parents, and the same triggers, but a fraction of the statements. Everything
// else goes straight to the database, after the rows held so far; a record's save must not
// run other statements while its own rows are held (they could not be taken back with it).
//
// The caller owns the transaction around a batch (the port's own Begin/Commit only mark
// where a record starts, so that a record whose save fails drops its rows alone), holds the
// database's write lock while rows are held (IDs are taken from the tables' highest), and
// calls Flush before its commit. A Flush that fails may have written part of the rows: the
// caller rolls the batch back and calls Discard.
class BatchSqlPort : public SqlPort {
public:
    explicit BatchSqlPort(host::DataServicePtr db);

    SqlResult Query(const std::string& sql, const std::vector<Variant>& params = {}) override;
    ExecResult Execute(const std::string& sql, const std::vector<Variant>& params = {}) override;
    std::int64_t InsertRow(const std::string& table, const std::string& idColumn,
                           const std::string& columns, std::vector<Variant> values) override;
    void Begin() override;
    void Commit() override;
    void Rollback() override;
    long StatementCount() const override { return statements_; }

    // Writes every row held back.
    void Flush();
    // Drops the rows held back and forgets the IDs taken, as after a rollback of the batch.
    void Discard();
    std::size_t Held() const;

private:
    // The rows held for one table, in statements' worth: each chunk is the parameters of one
    // statement. Chunks keep their memory from batch to batch.
    struct Group {
        std::string table, idColumn, columns;
        std::size_t width = 0;        // values per row, the ID included
        std::size_t perStatement = 1; // rows per chunk
        std::size_t rows = 0;
        std::vector<std::vector<Variant>> chunks;
        std::string fullSql; // the statement of a full chunk, made once
        void Truncate(std::size_t keep);
    };
    struct Mark {
        std::vector<std::size_t> rows; // rows of each group when the record began
        std::map<std::string, std::int64_t> lastIds;
    };
    void WriteGroup(Group& g);

    host::DataServicePtr db_;
    std::vector<Group> groups_; // in the order tables were first written: parents first
    std::map<std::string, std::int64_t> lastIds_;
    std::vector<Mark> marks_;
    long statements_ = 0;
};

} // namespace zelk::bo
