#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zelk::host::exchange {

// How a column's text is read and written.
enum class ColumnKind {
    Text,      // a text field of the managed area, up to `size` characters
    Real,      // an area (acres or hectares)
    Date,      // yyyy-mm-dd
    Indicator, // "Y" or "N"
    Coordinate,
    DomainId,   // a coded domain's ID; its display value has a column of its own
    DomainName, // the display value of the domain in `domain`
    NationCode, // nation_code, or the nation's display value on import
    NationName,
    StateCode, // state_code within the nation, or the state's display value
    StateName,
    ManagerStateCode,
    ManagerStateName,
    MajorCode,   // the code of the major managed area
    Counties,    // FIPS codes, listed
    CountyNames, // their names, listed
    Owners,
    Aliases,
    YearBudgets,
    SourceId, // the record's ID in the database it came from; never imported
};

// One column of the exchange form of a managed area. `name` is the editor's field name
// where there is one; `shortName` (at most 10 characters) is the name in a Shapefile.
struct ExchangeColumn {
    const char* name;
    const char* shortName;
    ColumnKind kind;
    int size = 0;            // longest text, for Text
    const char* domain = ""; // for DomainId and DomainName: the domain's table
    const char* pair = "";   // the partner column (display value, or the other area unit)
};

// Every column, in the order files are written.
const std::vector<ExchangeColumn>& ExchangeColumns();
// By name or short name, ignoring case; nullptr when none.
const ExchangeColumn* FindColumn(std::string_view name);

// Lists inside one column: items separated by ";", an item's parts by "|", a backslash
// before either (or before itself) taking it literally.
std::string JoinList(const std::vector<std::vector<std::string>>& items);
std::vector<std::vector<std::string>> SplitList(std::string_view text);

} // namespace zelk::host::exchange
