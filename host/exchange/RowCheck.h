#pragma once

#include "host/exchange/Importer.h"
#include "host/exchange/Lookups.h"
#include "host/gis/Geometry.h"
#include "platform/Variant.h"

#include <optional>
#include <utility>

namespace zelk::host::exchange {

// A row converted and checked: what is written into the business objects.
struct CheckedArea {
    long row = 0;
    std::vector<std::pair<const char*, Variant>> fields; // managed area properties (static names)
    std::vector<long> counties;
    struct Owner {
        long type;
        std::string name, note, primary;
    };
    std::vector<Owner> owners;
    std::vector<std::string> aliases;
    struct YearBudget {
        Variant year, budget, staff;
    };
    std::vector<YearBudget> budgets;
    std::string majorCode;
    std::optional<gis::MultiPolygon> shape;
    std::string code, equiSite, name, desc;
};

// Column positions of a file: for each exchange column, the file column it is read from (-1).
struct ColumnMap {
    std::vector<int> at;
    std::vector<std::string> ignored;
};
ColumnMap MapColumns(const std::vector<std::string>& header,
                     const std::map<std::string, std::string>& mapping);

// Every conversion and check of the editor that needs no other record; problems are added to
// `out` and the answer is then empty.
std::optional<CheckedArea> CheckRow(const std::vector<std::string>& values, long row,
                                    const ColumnMap& map, const Lookups& lookups,
                                    std::vector<Rejection>& out);

// A rejection with the message text of its code.
Rejection Reject(long row, std::string column, const std::string& code,
                 const std::vector<std::string>& args, std::string value);

} // namespace zelk::host::exchange
