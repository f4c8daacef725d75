#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zelk::bo {

enum class FieldKind { Text, Long, Double, Date };

// One property of a business object and the column behind it. A lookup field is read
// through a join with a domain table and never written.
struct FieldDef {
    std::string property;
    std::string column;
    FieldKind kind = FieldKind::Text;
    int size = 0;            // characters, for text
    std::string lookupTable; // join table for a read-only lookup field
    std::string lookupKey;   // column shared by both tables
};

// A table behind one class of business object.
struct TableDef {
    std::string table;
    std::string idColumn;
    std::string parentColumn;     // managed_area_id / shape_id for child rows, "" for roots
    std::vector<FieldDef> fields; // fields[0] is the ID
    bool hasStamps = true;
    bool hasDisplayOrder = true;

    // Position of a property (case-insensitive), -1 when unknown.
    int IndexOf(std::string_view property) const;
};

const TableDef& ShapeTable();
const TableDef& ManagedAreaTable();
const TableDef& ChildTable(int which); // ChildList as int
const TableDef& SpatialAttributeTable();
// Domain rows that the editor's lists may add: local jurisdictions, keywords, and the
// links that say which modules use a keyword.
const TableDef& LocalJurisdictionDomainTable();
const TableDef& KeywordDomainTable();
const TableDef& KeywordUsedByTable();

// A lookup domain: table, ID column, optional filter column.
struct DomainDef {
    std::string name;
    std::string table;
    std::string idColumn;
    std::string filterColumn;
    // The name the description column is also offered under, for callers that ask for it by
    // the domain's own name ("origin_desc"); empty when none.
    std::string descAlias;
};
// Null when the name is not a known domain.
const DomainDef* FindDomain(const std::string& name);
const std::vector<DomainDef>& AllDomains();

} // namespace zelk::bo
