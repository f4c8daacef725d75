#pragma once

#include "host/bo/SqlPort.h"
#include "host/bo/TableDef.h"

#include <memory>
#include <string>
#include <vector>

namespace zelk::bo {

// The business objects' access to the data service: row loading by one key column, and the
// temporary IDs and unique keys new objects carry.
class Store {
public:
    explicit Store(std::shared_ptr<SqlPort> port) : port_(std::move(port)) {}
    SqlPort& Port() { return *port_; }

    // Rows of the table whose column equals key, in field order (lookup fields joined),
    // ordered by display order when the table has one. One statement.
    std::vector<std::vector<Variant>> LoadRows(const TableDef& t, const std::string& column,
                                               const Variant& key);
    // The same with any condition on the table, written with the alias "t" and "?" for the
    // parameters; orderBy "" keeps the order above.
    std::vector<std::vector<Variant>> LoadRowsWhere(const TableDef& t, const std::string& where,
                                                    const std::vector<Variant>& params,
                                                    const std::string& orderBy = "",
                                                    const std::string& extraColumn = "");

    // LoadRows of a table that carries a row version: each row has the version appended
    // after the fields.
    std::vector<std::vector<Variant>>
    LoadVersionedRows(const TableDef& t, const std::string& column, const Variant& key);
    static constexpr const char* kVersionColumn = "row_version";

    // Negative, never -1 (which means "none" to the callers).
    static int NextTempId();
    static std::string NextUniqueId();

private:
    std::shared_ptr<SqlPort> port_;
};
using StorePtr = std::shared_ptr<Store>;

} // namespace zelk::bo
