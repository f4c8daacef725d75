#include "host/exchange/SourceRows.h"

#include "host/data/SqliteDataService.h"
#include "host/data/SqliteSupport.h"
#include "host/exchange/AreaReader.h"
#include "platform/Conv.h"

#include <sqlite3.h>

namespace zelk::host::exchange {

namespace {

std::string VariantText(const Variant& v) {
    if (v.IsNull() || v.IsEmpty()) return "";
    if (v.IsNumber()) return NumberText(CDbl(v));
    return CStr(v);
}

} // namespace

SourceRows::SourceRows(DataService& db, const std::string& sql) {
    auto* lite = dynamic_cast<SqliteDataService*>(&db);
    if (!lite) {
        rs_ = db.Query(sql);
        columns_ = static_cast<int>(rs_->GetFields().Count());
        return;
    }
    sqlite3* h = lite->Handle();
    const int rc =
        sqlite3_prepare_v2(h, sql.c_str(), static_cast<int>(sql.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK) RaiseSqlite(h, rc, "");
    columns_ = sqlite3_column_count(stmt_);
}

SourceRows::~SourceRows() {
    sqlite3_finalize(stmt_);
}

bool SourceRows::Next() {
    if (!stmt_) {
        if (!first_) rs_->MoveNext();
        first_ = false;
        return !rs_->EOF();
    }
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) RaiseSqlite(sqlite3_db_handle(stmt_), rc, "");
    return false;
}

std::string SourceRows::Text(int c) const {
    if (!stmt_) return VariantText(rs_->GetFields().Item(static_cast<std::size_t>(c)).ValueRef());
    switch (sqlite3_column_type(stmt_, c)) {
    case SQLITE_NULL:
        return "";
    case SQLITE_INTEGER:
        return NumberText(static_cast<double>(sqlite3_column_int64(stmt_, c)));
    case SQLITE_FLOAT:
        return NumberText(sqlite3_column_double(stmt_, c));
    default: {
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, c));
        return t ? std::string(t, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, c))) : "";
    }
    }
}

long SourceRows::Long(int c) const {
    if (!stmt_) return CLng(rs_->GetFields().Item(static_cast<std::size_t>(c)).ValueRef());
    return static_cast<long>(sqlite3_column_int64(stmt_, c));
}

std::string_view SourceRows::Bytes(int c) const {
    if (!stmt_) {
        bytes_ = Text(c);
        return bytes_;
    }
    const void* p = sqlite3_column_blob(stmt_, c);
    return p ? std::string_view(static_cast<const char*>(p),
                                static_cast<std::size_t>(sqlite3_column_bytes(stmt_, c)))
             : std::string_view();
}

} // namespace zelk::host::exchange
