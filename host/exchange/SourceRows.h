#pragma once

#include "platform/Recordset.h"

#include <memory>
#include <string>
#include <string_view>

struct sqlite3_stmt;

namespace zelk::host {
class DataService;
}

namespace zelk::host::exchange {

// The rows of one query, read cell by cell. On SQLite the cells come straight from the
// statement, blobs included, with no recordset in between: an export reads every column of
// every record once and a copy of each cell costs as much as the file write. Elsewhere the
// rows come through the service's recordset.
class SourceRows {
public:
    SourceRows(DataService& db, const std::string& sql);
    ~SourceRows();
    SourceRows(const SourceRows&) = delete;
    SourceRows& operator=(const SourceRows&) = delete;

    bool Next();
    int Columns() const { return columns_; }
    // A number as its shortest exact text, anything else as stored; "" for null.
    std::string Text(int column) const;
    long Long(int column) const;
    // The bytes of a blob (valid until Next); on other services the cell as text.
    std::string_view Bytes(int column) const;

private:
    sqlite3_stmt* stmt_ = nullptr;
    RecordsetPtr rs_;
    bool first_ = true;
    int columns_ = 0;
    mutable std::string bytes_;
};

} // namespace zelk::host::exchange
