// One row of a file through the editor's field rules: coordinates, areas, years, budgets,
// indicators, dates, and the lookups of nation, state, counties and domains.
#include "host/exchange/RowCheck.h"

#include "editor/FieldRules.h"
#include "host/app/Coordinates.h"
#include "host/app/MessageCatalog.h"
#include "host/exchange/ExchangeColumns.h"
#include "platform/Conv.h"
#include "platform/Strings.h"

#include <string_view>
#include <unordered_map>

namespace zelk::host::exchange {

namespace {

bool ValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80         ? 1
                        : (c >> 5) == 6  ? 2
                        : (c >> 4) == 14 ? 3
                        : (c >> 3) == 30 ? 4
                                         : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

// The coordinate boxes: label, width and hemisphere letters, as the editor checks them.
struct CoordRule {
    const char* column;
    const char* label;
    int width;
    const char* letters;
};
constexpr CoordRule kCoordinates[] = {
    {"North", "Latitude North", 7, "NS"}, {"South", "Latitude South", 7, "NS"},
    {"East", "Longitude East", 8, "EW"},  {"West", "Longitude West", 8, "EW"},
    {"Longitude", "Longitude", 8, "EW"},  {"Latitude", "Latitude", 7, "NS"}};

const char* AreaCode(std::string_view column) {
    if (column == "TotalAreaAcres") return "MGA019";
    if (column == "TotalAreaHectares") return "MGA020";
    if (column == "AreaInStateAcres") return "MGA018";
    return "MGA017";
}

// By a map: every row asks for every column by its name.
long ColumnIndexOf(const char* name) {
    static const std::unordered_map<std::string_view, long> index = [] {
        std::unordered_map<std::string_view, long> m;
        const auto& cols = ExchangeColumns();
        for (std::size_t i = 0; i < cols.size(); ++i)
            m.emplace(cols[i].name, static_cast<long>(i));
        return m;
    }();
    auto it = index.find(name);
    return it == index.end() ? -1 : it->second;
}

} // namespace

Rejection Reject(long row, std::string column, const std::string& code,
                 const std::vector<std::string>& args, std::string value) {
    return {row, std::move(column), code, MessageCatalog::Default().Format(code, args),
            std::move(value)};
}

ColumnMap MapColumns(const std::vector<std::string>& header,
                     const std::map<std::string, std::string>& mapping) {
    ColumnMap m;
    m.at.assign(ExchangeColumns().size(), -1);
    for (std::size_t i = 0; i < header.size(); ++i) {
        std::string name = header[i];
        // One step only: a header renamed to another header's name is not renamed again.
        for (const auto& [from, to] : mapping)
            if (IEquals(Trim(from), Trim(name))) {
                name = to;
                break;
            }
        const ExchangeColumn* c = FindColumn(name);
        const long at = c ? ColumnIndexOf(c->name) : -1;
        if (at < 0 || m.at[static_cast<std::size_t>(at)] >= 0) {
            m.ignored.push_back(header[i]);
            continue;
        }
        m.at[static_cast<std::size_t>(at)] = static_cast<int>(i);
    }
    return m;
}

std::optional<CheckedArea> CheckRow(const std::vector<std::string>& values, long row,
                                    const ColumnMap& map, const Lookups& lk,
                                    std::vector<Rejection>& out) {
    const auto& cols = ExchangeColumns();
    const std::size_t before = out.size();
    auto value = [&](const char* name) -> std::string {
        const long i = ColumnIndexOf(name);
        const int at = i < 0 ? -1 : map.at[static_cast<std::size_t>(i)];
        return at < 0 || static_cast<std::size_t>(at) >= values.size()
                   ? std::string()
                   : Trim(values[static_cast<std::size_t>(at)]);
    };
    auto reject = [&](const char* column, const std::string& code,
                      const std::vector<std::string>& args,
                      const std::string& v) { out.push_back(Reject(row, column, code, args, v)); };
    for (std::size_t i = 0; i < cols.size(); ++i) {
        const int at = map.at[i];
        if (at >= 0 && static_cast<std::size_t>(at) < values.size() &&
            !ValidUtf8(values[static_cast<std::size_t>(at)]))
            reject(cols[i].name, "MGA913", {}, values[static_cast<std::size_t>(at)]);
    }
    if (out.size() > before) return std::nullopt;

    CheckedArea a;
    a.row = row;
    if (map.at[static_cast<std::size_t>(ColumnIndexOf("ManagedAreaName"))] < 0)
        reject("ManagedAreaName", "MGA917", {"ManagedAreaName"}, "");
    else if (value("ManagedAreaName").empty())
        reject("ManagedAreaName", "MGA918", {}, "");

    for (const auto& c : cols) {
        const std::string v = value(c.name);
        switch (c.kind) {
        case ColumnKind::Text:
            if (v.empty()) break;
            if (Len(v) > c.size)
                reject(c.name, "MGA914", {std::to_string(c.size)}, v);
            else
                a.fields.emplace_back(c.name, Variant(v));
            break;
        case ColumnKind::Real: {
            std::string text = v;
            bool filled = false;
            if (text.empty()) {
                // The editor fills an area from its partner in the other unit.
                const std::string partner = value(c.pair);
                if (partner.empty() || !IsNumeric(Variant(partner))) break;
                const float p = CSng(Variant(partner));
                const float converted = std::string_view(c.name).ends_with("Acres")
                                            ? editor::HectaresToAcres(p)
                                            : editor::AcresToHectares(p);
                a.fields.emplace_back(c.name, Variant(static_cast<double>(converted)));
                filled = true;
            }
            if (filled) break;
            if (!IsNumeric(Variant(text)))
                reject(c.name, AreaCode(c.name), {}, v);
            else
                a.fields.emplace_back(c.name, Variant(CDbl(Variant(text))));
            break;
        }
        case ColumnKind::Date:
            if (v.empty()) break;
            if (auto d = ParseDate(v))
                a.fields.emplace_back(c.name, Variant(*d));
            else
                reject(c.name, "MGA912", {v, "date (yyyy-mm-dd)"}, v);
            break;
        case ColumnKind::Indicator: {
            if (v.empty()) break;
            const std::string u = UCase(v);
            if (u == "Y" || u == "YES" || u == "TRUE" || u == "1")
                a.fields.emplace_back(c.name, Variant("Y"));
            else if (u == "N" || u == "NO" || u == "FALSE" || u == "0")
                a.fields.emplace_back(c.name, Variant("N"));
            else
                reject(c.name, "MGA912", {v, "Y or N"}, v);
            break;
        }
        case ColumnKind::DomainId:
        case ColumnKind::DomainName: {
            if (c.kind == ColumnKind::DomainName && !value(c.pair).empty()) break;
            if (v.empty()) break;
            auto id = lk.Domain(c.domain, v);
            const char* field = c.kind == ColumnKind::DomainId ? c.name : c.pair;
            if (!id)
                reject(c.name, "MGA911", {c.name, v}, v);
            else
                a.fields.emplace_back(field, Variant(static_cast<int>(*id)));
            break;
        }
        default:
            break;
        }
    }
    for (const CoordRule& r : kCoordinates) {
        const std::string v = value(r.column);
        const std::string problem = CoordinateProblem(v, r.label, r.width, r.letters);
        if (!problem.empty())
            reject(r.column, "MGA910", {problem}, v);
        else if (!v.empty())
            a.fields.emplace_back(r.column, Variant(v));
    }

    // Nation and state: by code or name; a state alone names its nation.
    long nation = 0, state = 0;
    for (const char* col : {"Nation", "NationName"}) {
        const std::string v = value(col);
        if (v.empty() || nation) continue;
        if (auto id = lk.Nation(v))
            nation = *id;
        else
            reject(col, "MGA911", {"nation", v}, v);
    }
    for (const char* col : {"State", "StateName"}) {
        const std::string v = value(col);
        if (v.empty() || state) continue;
        if (auto id = lk.State(v, nation))
            state = *id;
        else
            reject(col, "MGA911", {"state", v}, v);
    }
    if (state && !nation) nation = lk.NationOfState(state);
    if (nation) a.fields.emplace_back("NationId", Variant(static_cast<int>(nation)));
    if (state) a.fields.emplace_back("DStateId", Variant(static_cast<int>(state)));
    for (const char* col : {"ManagerState", "ManagerStateName"}) {
        const std::string v = value(col);
        if (v.empty()) continue;
        if (auto id = lk.State(v, 0))
            a.fields.emplace_back("ManagerStateId", Variant(static_cast<int>(*id)));
        else
            reject(col, "MGA911", {"state", v}, v);
        break;
    }

    // Counties by FIPS code, or else by name within the state.
    const bool byCode = !value("Counties").empty();
    for (const auto& item : SplitList(value(byCode ? "Counties" : "CountyNames"))) {
        const std::string v = Trim(item.at(0));
        if (auto id = lk.County(v, state))
            a.counties.push_back(*id);
        else
            reject(byCode ? "Counties" : "CountyNames", "MGA911", {"county", v}, v);
    }
    for (const auto& item : SplitList(value("Owners"))) {
        CheckedArea::Owner o{0, "", "", "N"};
        const std::string type = item.size() > 0 ? Trim(item[0]) : "";
        o.name = item.size() > 1 ? Trim(item[1]) : "";
        o.note = item.size() > 2 ? Trim(item[2]) : "";
        o.primary = item.size() > 3 && UCase(Trim(item[3])) == "Y" ? "Y" : "N";
        if (!type.empty()) {
            if (auto id = lk.OwnerType(type))
                o.type = *id;
            else
                reject("Owners", "MGA911", {"owner type", type}, type);
        }
        if (Len(o.name) > 120) reject("Owners", "MGA914", {"120"}, o.name);
        a.owners.push_back(std::move(o));
    }
    for (const auto& item : SplitList(value("Aliases"))) {
        const std::string alias = Trim(item.at(0));
        if (Len(alias) > 120)
            reject("Aliases", "MGA914", {"120"}, alias);
        else if (!alias.empty())
            a.aliases.push_back(alias);
    }
    for (const auto& item : SplitList(value("YearBudgets"))) {
        CheckedArea::YearBudget b{Variant::Null(), Variant::Null(), Variant::Null()};
        const std::string year = item.size() > 0 ? Trim(item[0]) : "";
        const std::string budget = item.size() > 1 ? Trim(item[1]) : "";
        const std::string staff = item.size() > 2 ? Trim(item[2]) : "";
        // The budget grid's own rules.
        if (const std::string code = editor::YearProblem(year); !code.empty())
            reject("YearBudgets", code, {}, year);
        else if (!year.empty())
            b.year = Variant(static_cast<int>(Val(Variant(year))));
        if (const std::string code = editor::BudgetProblem(budget); !code.empty())
            reject("YearBudgets", code, {}, budget);
        else if (!budget.empty())
            b.budget = Variant(CDbl(Variant(budget)));
        if (!staff.empty()) {
            if (!IsNumeric(Variant(staff)))
                reject("YearBudgets", "MGA912", {staff, "number"}, staff);
            else
                b.staff = Variant(CDbl(Variant(staff)));
        }
        a.budgets.push_back(std::move(b));
    }
    a.majorCode = value("MajorMaCode");
    a.code = value("MACodeBcd");
    a.equiSite = value("EquiSiteId");
    a.name = value("ManagedAreaName");
    a.desc = value("ManagedAreaDesc");
    if (out.size() > before) return std::nullopt;
    return a;
}

} // namespace zelk::host::exchange
