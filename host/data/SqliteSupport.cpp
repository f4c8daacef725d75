#include "host/data/SqliteSupport.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/FetchProgress.h"

#include <sqlite3.h>

#include <cstdio>
#include <limits>
#include <string_view>
#include <vector>

namespace zelk::host {

namespace {

std::string Describe(sqlite3* db, int rc) {
    std::string msg = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return "The database is locked by another user or program. Try again in a moment.";
    case SQLITE_READONLY:
        return "The database is read-only; changes cannot be saved.";
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return "The database file is damaged or is not a database.";
    case SQLITE_CANTOPEN:
        return "The database file cannot be opened.";
    case SQLITE_FULL:
        return "The disk is full; the change was not saved.";
    case SQLITE_CONSTRAINT:
        return "The change breaks a rule of the database (" + msg + ").";
    case SQLITE_TOOBIG:
        return "A value is too large for the database.";
    default:
        break;
    }
    // A syntax error names the text near it; that is the statement, not the user's concern.
    if (msg.find("syntax error") != std::string::npos) return "The statement is not valid SQL.";
    return "The database reported an error: " + msg + ".";
}

bool FitsLong(sqlite3_int64 v) {
    return v >= std::numeric_limits<std::int32_t>::min() &&
           v <= std::numeric_limits<std::int32_t>::max();
}

int DeclaredType(sqlite3_stmt* stmt, int col) {
    const char* decl = sqlite3_column_decltype(stmt, col);
    if (!decl) return ad::VarChar;
    std::string_view d(decl);
    auto has = [&](std::string_view w) {
        for (std::size_t i = 0; i + w.size() <= d.size(); ++i) {
            bool eq = true;
            for (std::size_t k = 0; k < w.size() && eq; ++k)
                eq = (d[i + k] | 0x20) == (w[k] | 0x20);
            if (eq) return true;
        }
        return false;
    };
    if (has("INT")) return ad::Integer;
    if (has("REAL") || has("FLOA") || has("DOUB") || has("NUM")) return ad::Double;
    return ad::VarChar;
}

struct ColumnSeen {
    bool whole = false, big = false, real = false, text = false;
    long maxLen = 0;
};

} // namespace

void RaiseSqlite(sqlite3* db, int rc, const std::string& context) {
    std::string text = Describe(db, rc);
    if (!context.empty()) text = context + ": " + text;
    Raise(err::ProviderError, text, "DataService");
}

void BindValue(sqlite3* db, sqlite3_stmt* stmt, int index, const Variant& v) {
    int rc = SQLITE_OK;
    switch (v.Type()) {
    case VarType::Empty:
    case VarType::Null:
        rc = sqlite3_bind_null(stmt, index);
        break;
    case VarType::Boolean:
        // Y/N indicators are text; a Boolean parameter is stored the same way.
        rc = sqlite3_bind_text(stmt, index, v.Bool() ? "Y" : "N", 1, SQLITE_STATIC);
        break;
    case VarType::Integer:
    case VarType::Long:
        rc = sqlite3_bind_int64(stmt, index, static_cast<sqlite3_int64>(v.NumberValue()));
        break;
    case VarType::Single:
    case VarType::Double:
        rc = sqlite3_bind_double(stmt, index, v.NumberValue());
        break;
    case VarType::String:
        if (v.Str().empty())
            rc = sqlite3_bind_null(stmt, index);
        else
            rc = sqlite3_bind_text(stmt, index, v.Str().data(), static_cast<int>(v.Str().size()),
                                   SQLITE_TRANSIENT);
        break;
    case VarType::Date: {
        // The database keeps dates as ISO text, which sorts and compares as dates do.
        DateParts p = SplitDate(v.Date());
        char iso[32];
        std::snprintf(iso, sizeof iso, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day,
                      p.hour, p.minute, p.second);
        rc = sqlite3_bind_text(stmt, index, iso, -1, SQLITE_TRANSIENT);
        break;
    }
    case VarType::Object:
        Raise(err::TypeMismatch, "An object cannot be stored in the database.", "DataService");
    }
    if (rc != SQLITE_OK) RaiseSqlite(db, rc, "Binding parameter " + std::to_string(index));
}

RecordsetPtr ReadRecordset(sqlite3* db, sqlite3_stmt* stmt) {
    const int cols = sqlite3_column_count(stmt);
    std::vector<ColumnSeen> seen(static_cast<std::size_t>(cols));
    RecordBatch batch;
    for (;;) {
        int rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE) break;
        if (rc != SQLITE_ROW) {
            sqlite3_reset(stmt);
            RaiseSqlite(db, rc, "");
        }
        try {
            FetchProgress::Row(static_cast<long>(batch.Rows().size()) + 1);
        } catch (...) {
            sqlite3_reset(stmt);
            throw;
        }
        RecordBatch::Row& row = batch.NewRow(static_cast<std::size_t>(cols));
        for (int c = 0; c < cols; ++c) {
            ColumnSeen& s = seen[static_cast<std::size_t>(c)];
            switch (sqlite3_column_type(stmt, c)) {
            case SQLITE_INTEGER: {
                sqlite3_int64 n = sqlite3_column_int64(stmt, c);
                if (FitsLong(n)) {
                    s.whole = true;
                    row.emplace_back(static_cast<int>(n));
                } else {
                    s.big = true;
                    row.emplace_back(static_cast<double>(n));
                }
                break;
            }
            case SQLITE_FLOAT:
                s.real = true;
                row.emplace_back(sqlite3_column_double(stmt, c));
                break;
            case SQLITE_NULL:
                row.push_back(Variant::Null());
                break;
            default: {
                s.text = true;
                const char* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
                int n = sqlite3_column_bytes(stmt, c);
                if (n > s.maxLen) s.maxLen = n;
                row.emplace_back(std::string(t ? t : "", static_cast<std::size_t>(n)));
                break;
            }
            }
        }
    }

    auto rs = NewRecordset();
    Fields fields = rs->GetFields();
    for (int c = 0; c < cols; ++c) {
        const ColumnSeen& s = seen[static_cast<std::size_t>(c)];
        int type = ad::VarChar;
        long size = 0;
        if (s.text)
            type = ad::VarChar, size = s.maxLen;
        else if (s.real || s.big)
            type = ad::Double;
        else if (s.whole)
            type = ad::Integer;
        else
            type = DeclaredType(stmt, c);
        if (type == ad::VarChar && size == 0) size = 255;
        std::string name = sqlite3_column_name(stmt, c);
        // The recordset keeps one field per name; a repeated name (a join's "*") gets a suffix.
        std::string unique = name;
        for (int k = 2; fields.Exists(unique); ++k)
            unique = name + "_" + std::to_string(k);
        fields.Append(unique, type, size, ad::FldIsNullable | ad::FldMayBeNull | ad::FldUpdatable);
    }
    sqlite3_reset(stmt);
    rs->Open();
    // Values of a column the engine typed differently from row to row take the field's type.
    for (int c = 0; c < cols; ++c) {
        const ColumnSeen& s = seen[static_cast<std::size_t>(c)];
        const bool toText = s.text && (s.whole || s.real || s.big);
        const bool toReal = !s.text && (s.real || s.big) && s.whole;
        if (!toText && !toReal) continue;
        for (RecordBatch::Row& row : batch.Rows()) {
            Variant& v = row[static_cast<std::size_t>(c)];
            if (v.IsNull()) continue;
            if (toText && !v.IsString())
                v = Variant(CStr(v));
            else if (toReal && !v.IsString())
                v = Variant(CDbl(v));
        }
    }
    bool any = !batch.Empty();
    rs->AppendRecords(std::move(batch));
    if (any) rs->MoveFirst();
    return rs;
}

long StepToEnd(sqlite3* db, sqlite3_stmt* stmt) {
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    sqlite3_reset(stmt);
    if (rc != SQLITE_DONE) RaiseSqlite(db, rc, "");
    return sqlite3_changes(db);
}

} // namespace zelk::host
