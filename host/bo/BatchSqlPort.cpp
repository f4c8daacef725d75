#include "host/bo/BatchSqlPort.h"

#include "platform/Conv.h"
#include "platform/Error.h"

#include <algorithm>

namespace zelk::bo {

namespace {
// SQLite takes at most 32766 parameters to a statement; rows beyond a few hundred per
// statement gain nothing.
constexpr std::size_t kMaxParameters = 32000;
constexpr std::size_t kMaxRows = 500;
} // namespace

BatchSqlPort::BatchSqlPort(host::DataServicePtr db) : db_(std::move(db)) {
    if (!db_) Raise(err::ObjectRequired, "Object required: the data service", "DataService");
}

SqlResult BatchSqlPort::Query(const std::string& sql, const std::vector<Variant>& params) {
    // A query may read rows that are still held back.
    Flush();
    ++statements_;
    return ReadAll(*db_->Query(sql, params));
}

ExecResult BatchSqlPort::Execute(const std::string& sql, const std::vector<Variant>& params) {
    Flush();
    ++statements_;
    ExecResult r;
    r.rowsChanged = db_->Execute(sql, params);
    r.lastInsertId = db_->LastInsertId();
    return r;
}

void BatchSqlPort::Group::Truncate(std::size_t keep) {
    if (keep >= rows) return;
    rows = keep;
    for (std::size_t c = 0; c < chunks.size(); ++c) {
        const std::size_t first = c * perStatement;
        chunks[c].resize(keep > first ? std::min(keep - first, perStatement) * width : 0);
    }
}

std::int64_t BatchSqlPort::InsertRow(const std::string& table, const std::string& idColumn,
                                     const std::string& columns, std::vector<Variant> values) {
    auto g = std::find_if(groups_.begin(), groups_.end(),
                          [&](const Group& x) { return x.table == table && x.columns == columns; });
    if (g == groups_.end()) {
        Group n{table, idColumn, columns, values.size() + 1, 1, 0, {}, {}};
        n.perStatement = std::max<std::size_t>(1, std::min(kMaxRows, kMaxParameters / n.width));
        g = groups_.insert(groups_.end(), std::move(n));
    } else if (g->width != values.size() + 1) {
        Raise(err::InvalidArgument, "A row of " + table + " does not match its columns",
              "DataService");
    }
    auto last = lastIds_.find(table);
    if (last == lastIds_.end()) {
        auto rs = db_->Query("SELECT max(" + idColumn + ") FROM " + table);
        const Variant& top = rs->GetFields().Item(std::size_t{0}).ValueRef();
        last =
            lastIds_.emplace(table, top.IsNull() ? 0 : static_cast<std::int64_t>(CDbl(top))).first;
    }
    const std::int64_t id = ++last->second;
    const std::size_t chunk = g->rows / g->perStatement;
    if (chunk == g->chunks.size()) g->chunks.emplace_back().reserve(g->perStatement * g->width);
    auto& into = g->chunks[chunk];
    into.emplace_back(static_cast<int>(id));
    for (auto& v : values)
        into.push_back(std::move(v));
    ++g->rows;
    return id;
}

void BatchSqlPort::Begin() {
    Mark m;
    for (const auto& g : groups_)
        m.rows.push_back(g.rows);
    m.lastIds = lastIds_;
    marks_.push_back(std::move(m));
}

void BatchSqlPort::Commit() {
    if (!marks_.empty()) marks_.pop_back();
}

void BatchSqlPort::Rollback() {
    if (marks_.empty()) return;
    Mark m = std::move(marks_.back());
    marks_.pop_back();
    for (std::size_t i = 0; i < groups_.size(); ++i)
        groups_[i].Truncate(i < m.rows.size() ? m.rows[i] : 0);
    lastIds_ = std::move(m.lastIds);
}

void BatchSqlPort::WriteGroup(Group& g) {
    auto statement = [&g](std::size_t rows) {
        std::string tuple = "(?";
        for (std::size_t i = 1; i < g.width; ++i)
            tuple += ", ?";
        tuple += ")";
        std::string sql =
            "INSERT INTO " + g.table + " (" + g.idColumn + ", " + g.columns + ") VALUES ";
        sql.reserve(sql.size() + rows * (tuple.size() + 2));
        for (std::size_t r = 0; r < rows; ++r) {
            if (r) sql += ", ";
            sql += tuple;
        }
        return sql;
    };
    for (const auto& chunk : g.chunks) {
        const std::size_t n = chunk.size() / g.width;
        if (n == 0) break;
        ++statements_;
        if (n < g.perStatement) {
            db_->Execute(statement(n), chunk);
        } else {
            if (g.fullSql.empty()) g.fullSql = statement(n);
            db_->Execute(g.fullSql, chunk);
        }
    }
}

void BatchSqlPort::Flush() {
    if (Held() == 0) return;
    // Rows written in the middle of a record could not be taken back with it.
    if (!marks_.empty())
        Raise(err::InvalidProcedureCall,
              "A statement cannot run while a record's rows are held back", "DataService");
    for (auto& g : groups_)
        WriteGroup(g);
    for (auto& g : groups_)
        g.Truncate(0);
    marks_.clear();
    // Asked again after each write: another connection may write between batches.
    lastIds_.clear();
}

void BatchSqlPort::Discard() {
    for (auto& g : groups_)
        g.Truncate(0);
    marks_.clear();
    lastIds_.clear();
}

std::size_t BatchSqlPort::Held() const {
    std::size_t n = 0;
    for (const auto& g : groups_)
        n += g.rows;
    return n;
}

} // namespace zelk::bo
