// A bulk load on the server: the INSERTs of a load are gathered per statement and sent as
// COPY (or, failing that, multi-row INSERTs) instead of one round trip per row.
#include "host/data/PgSupport.h"
#include "platform/Conv.h"
#include "platform/Strings.h"

#include <cctype>
#include <optional>

namespace zelk::host {

using namespace pg;

namespace {

// COPY's text format: tab between values, newline after a row, backslash escapes.
void AppendCopyText(std::string& out, std::string_view v) {
    for (char c : v) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
}

// One value of an INSERT's row: parameter k ("$k") gives k - 1; a number, a quoted text or
// NULL gives -1 and its COPY text; anything else (an expression) gives nothing.
std::optional<int> CopyCell(std::string_view item, std::string& text) {
    std::string v = Trim(std::string(item));
    if (v.size() > 1 && v[0] == '$') {
        int k = 0;
        for (std::size_t i = 1; i < v.size(); ++i) {
            if (!std::isdigit(static_cast<unsigned char>(v[i]))) return std::nullopt;
            k = k * 10 + (v[i] - '0');
        }
        return k - 1;
    }
    if (IEquals(v, "NULL")) {
        text = "\\N";
        return -1;
    }
    if (v.size() >= 2 && v.front() == '\'' && v.back() == '\'') {
        std::string plain;
        for (std::size_t i = 1; i + 1 < v.size(); ++i) {
            if (v[i] == '\'') {
                if (v[i + 1] != '\'' || i + 2 >= v.size()) return std::nullopt;
                ++i;
            }
            plain += v[i];
        }
        AppendCopyText(text, plain);
        return -1;
    }
    if (v.empty()) return std::nullopt;
    for (char c : v)
        if (!std::isdigit(static_cast<unsigned char>(c)) && c != '.' && c != '-')
            return std::nullopt;
    text = v;
    return -1;
}

// "INSERT INTO t (a, b) VALUES " and "($1, 'x')" as COPY; false when the row holds more than
// parameters and constants or the statement names no columns.
bool AsCopy(const std::string& head, const std::string& row, std::string& copy,
            std::vector<std::string>& cells, std::vector<int>& params) {
    const std::string up = UCase(head);
    const auto into = up.find("INTO");
    const auto values = up.rfind("VALUES");
    if (into == std::string::npos || values == std::string::npos || values < into) return false;
    const std::string target = Trim(head.substr(into + 4, values - into - 4));
    if (target.find('(') == std::string::npos || target.back() != ')') return false;
    std::vector<std::string_view> items;
    bool quoted = false;
    int depth = 0;
    std::size_t start = 1;
    for (std::size_t i = 1; i + 1 < row.size(); ++i) {
        const char c = row[i];
        if (c == '\'') quoted = !quoted;
        if (quoted) continue;
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (c == ',' && depth == 0) {
            items.push_back(std::string_view(row).substr(start, i - start));
            start = i + 1;
        }
    }
    items.push_back(std::string_view(row).substr(start, row.size() - 1 - start));
    for (std::string_view item : items) {
        std::string text;
        std::optional<int> k = CopyCell(item, text);
        if (!k) return false;
        params.push_back(*k);
        cells.push_back(std::move(text));
    }
    copy = "COPY " + target + " FROM STDIN";
    return true;
}

// Rows gathered before a statement is sent; enough to keep the round trips few.
constexpr std::size_t kCopyBytes = 8u << 20;

} // namespace

void PgDataService::SetBulkLoad(bool on) {
    if (on == bulk_) return;
    if (on) {
        if (depth_ == 0) RaisePg("A bulk load runs inside a transaction.");
        // Checked row by row at the end, the foreign keys of a large load take longer than the
        // load itself; added back afterwards, each is checked in one pass over its table. The
        // transaction puts them back should the load fail.
        auto keys = Query("SELECT conrelid::regclass::text AS t, conname AS n, "
                          "pg_get_constraintdef(oid) AS d FROM pg_constraint WHERE contype = 'f' "
                          "AND connamespace = current_schema()::regnamespace ORDER BY 1, 2");
        std::string drop;
        for (; !keys->EOF(); keys->MoveNext()) {
            const std::string table = CStr(keys->Value("t")), name = CStr(keys->Value("n"));
            drop += "ALTER TABLE " + table + " DROP CONSTRAINT \"" + name + "\";\n";
            foreignKeys_ += "ALTER TABLE " + table + " ADD CONSTRAINT \"" + name + "\" " +
                            CStr(keys->Value("d")) + ";\n";
        }
        // Likewise the indexes that no constraint needs: kept up row by row, the spatial ones
        // cost the server more than the rows themselves; built once over the loaded rows, they
        // are sorted in one pass.
        auto ix = Query("SELECT i.indexrelid::regclass::text AS n, pg_get_indexdef(i.indexrelid) "
                        "AS d FROM pg_index i JOIN pg_class c ON c.oid = i.indexrelid WHERE "
                        "c.relnamespace = current_schema()::regnamespace AND NOT i.indisprimary "
                        "AND NOT i.indisunique AND NOT EXISTS (SELECT 1 FROM pg_constraint k "
                        "WHERE k.conindid = i.indexrelid) ORDER BY 1");
        for (; !ix->EOF(); ix->MoveNext()) {
            drop += "DROP INDEX " + CStr(ix->Value("n")) + ";\n";
            indexes_ += CStr(ix->Value("d")) + ";\n";
        }
        if (!drop.empty()) ExecScript(drop);
        ExecScript("SET CONSTRAINTS ALL DEFERRED;");
        bulk_ = true;
        return;
    }
    FlushBulk();
    bulk_ = false;
    std::string indexes, keys;
    indexes.swap(indexes_);
    keys.swap(foreignKeys_);
    // Memory for sorting the index keys and for the checks' hash joins, until the commit.
    if (!indexes.empty() || !keys.empty()) ExecScript("SET LOCAL maintenance_work_mem = '256MB';");
    if (!indexes.empty()) ExecScript(indexes);
    if (!keys.empty()) ExecScript(keys);
    ExecScript("SET CONSTRAINTS ALL IMMEDIATE;");
}

bool PgDataService::Queue(const std::string& pgSql, int paramCount, const Params& params) {
    if (!bulk_ || paramCount == 0 || !StartsWithWord(pgSql, "INSERT")) return false;
    auto it = batches_.find(pgSql);
    if (it == batches_.end()) {
        // One row's values: the parenthesised list after VALUES, with nothing after it.
        std::string up = UCase(pgSql);
        auto values = up.find("VALUES");
        auto open = values == std::string::npos ? values : pgSql.find('(', values);
        auto close = open == std::string::npos ? open : pgSql.rfind(')');
        if (close == std::string::npos || Trim(pgSql.substr(close + 1)) != "") return false;
        Batch b;
        b.head = pgSql.substr(0, open);
        b.row = pgSql.substr(open, close - open + 1);
        b.columns = paramCount;
        if (!AsCopy(b.head, b.row, b.copy, b.cells, b.params)) {
            b.copy.clear();
            b.cells.clear();
            b.params.clear();
        }
        it = batches_.emplace(pgSql, std::move(b)).first;
    }
    Batch& b = it->second;
    if (!b.copy.empty()) {
        std::string text;
        for (std::size_t i = 0; i < b.params.size(); ++i) {
            if (i) b.data += '\t';
            const int k = b.params[i];
            if (k < 0) {
                b.data += b.cells[i];
                continue;
            }
            text.clear();
            if (k < static_cast<int>(params.size()) &&
                ParamText(params[static_cast<std::size_t>(k)], text))
                AppendCopyText(b.data, text);
            else
                b.data += "\\N";
        }
        b.data += '\n';
        if (b.data.size() >= kCopyBytes) CopyIn(b);
        return true;
    }
    for (int i = 0; i < paramCount; ++i)
        b.values.push_back(i < static_cast<int>(params.size()) ? params[static_cast<std::size_t>(i)]
                                                               : Variant());
    // The protocol carries at most 65535 parameters in one statement.
    if (b.values.size() + static_cast<std::size_t>(paramCount) > 65535 ||
        b.values.size() >= static_cast<std::size_t>(paramCount) * 1000)
        FlushBatch(b);
    return true;
}

void PgDataService::CopyIn(Batch& b) {
    if (b.data.empty()) return;
    std::string data;
    data.swap(b.data);
    Hook(b.copy);
    EnsureConnected();
    Result start(PQexec(conn_, b.copy.c_str()));
    if (PQresultStatus(start.res) != PGRES_COPY_IN) RaiseResult(start.res, conn_);
    const bool sent = PQputCopyData(conn_, data.data(), static_cast<int>(data.size())) == 1;
    PQputCopyEnd(conn_, sent ? nullptr : "the rows could not be sent");
    // The first result says how the COPY ended; the connection is idle once all are read.
    Result end(PQgetResult(conn_));
    while (PGresult* more = PQgetResult(conn_))
        PQclear(more);
    if (PQresultStatus(end.res) != PGRES_COMMAND_OK) {
        if (PQstatus(conn_) != CONNECTION_OK) broken_ = true;
        RaiseResult(end.res, conn_);
    }
}

void PgDataService::FlushBatch(Batch& b) {
    if (!b.copy.empty()) {
        CopyIn(b);
        return;
    }
    if (b.values.empty()) return;
    const std::size_t rows = b.values.size() / static_cast<std::size_t>(b.columns);
    std::string sql = b.head;
    sql.reserve(b.head.size() + rows * (b.row.size() + 16));
    for (std::size_t r = 0; r < rows; ++r) {
        if (r) sql += ", ";
        const std::size_t offset = r * static_cast<std::size_t>(b.columns);
        for (std::size_t i = 0; i < b.row.size(); ++i) {
            if (b.row[i] != '$') {
                sql += b.row[i];
                continue;
            }
            std::size_t j = i + 1;
            while (j < b.row.size() && std::isdigit(static_cast<unsigned char>(b.row[j])))
                ++j;
            sql += "$" + std::to_string(std::stoul(b.row.substr(i + 1, j - i - 1)) + offset);
            i = j - 1;
        }
    }
    Params values;
    values.swap(b.values);
    Run(sql, static_cast<int>(values.size()), values);
}

void PgDataService::FlushBulk() {
    if (!bulk_) return;
    for (auto& [sql, b] : batches_)
        FlushBatch(b);
}

} // namespace zelk::host
