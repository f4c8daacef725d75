#include "host/bo/Store.h"

#include <atomic>
#include <map>

namespace zelk::bo {

std::vector<std::vector<Variant>> Store::LoadRows(const TableDef& t, const std::string& column,
                                                  const Variant& key) {
    return LoadRowsWhere(t, "t." + column + " = ?", {key});
}

std::vector<std::vector<Variant>> Store::LoadRowsWhere(const TableDef& t, const std::string& where,
                                                       const std::vector<Variant>& params,
                                                       const std::string& orderBy,
                                                       const std::string& extraColumn) {
    std::string cols, joins;
    std::map<std::string, std::string> alias;
    for (const auto& f : t.fields) {
        if (!cols.empty()) cols += ", ";
        if (f.lookupTable.empty()) {
            cols += "t." + f.column;
            continue;
        }
        auto it = alias.find(f.lookupTable);
        if (it == alias.end()) {
            std::string a = "l" + std::to_string(alias.size() + 1);
            it = alias.emplace(f.lookupTable, a).first;
            joins += " LEFT JOIN " + f.lookupTable + " " + a + " ON " + a + "." + f.lookupKey +
                     " = t." + f.lookupKey;
        }
        cols += it->second + "." + f.column;
    }
    if (!extraColumn.empty()) cols += ", t." + extraColumn;
    std::string sql = "SELECT " + cols + " FROM " + t.table + " t" + joins + " WHERE " + where;
    if (!orderBy.empty())
        sql += " ORDER BY " + orderBy;
    else if (t.hasDisplayOrder)
        sql += " ORDER BY t.display_order, t." + t.idColumn;
    return port_->Query(sql, params).rows;
}

std::vector<std::vector<Variant>>
Store::LoadVersionedRows(const TableDef& t, const std::string& column, const Variant& key) {
    return LoadRowsWhere(t, "t." + column + " = ?", {key}, "", kVersionColumn);
}

// Clients on several threads, each with its own objects, share these counters.
int Store::NextTempId() {
    static std::atomic<int> next{-1};
    return --next;
}

std::string Store::NextUniqueId() {
    static std::atomic<long> next{0};
    return "U" + std::to_string(++next);
}

} // namespace zelk::bo
