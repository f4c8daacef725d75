#include "host/exchange/AreaReader.h"

#include "host/data/DataService.h"
#include "host/exchange/ExchangeColumns.h"
#include "host/exchange/SourceRows.h"
#include "host/gis/GisSchema.h"
#include "platform/Conv.h"
#include "platform/UnicodeCase.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <map>
#include <unordered_map>

namespace zelk::host::exchange {

namespace {

constexpr std::size_t kChunk = 1000;

int ColumnIndex(std::string_view name) {
    const auto& cols = ExchangeColumns();
    for (std::size_t i = 0; i < cols.size(); ++i)
        if (name == cols[i].name) return static_cast<int>(i);
    return -1;
}

std::string IdList(const std::vector<long>& ids, std::size_t from, std::size_t to) {
    std::string s;
    for (std::size_t i = from; i < to; ++i) {
        if (i > from) s += ',';
        s += std::to_string(ids[i]);
    }
    return s;
}

// The record columns: what each exchange column reads in the one statement over ma.
struct Source {
    const char* column; // exchange column
    std::string expr;   // SQL expression
};

std::vector<Source> RecordSources() {
    std::vector<Source> s;
    static const std::map<std::string, std::string> special = {
        {"MajorMaCode", "major.macode_bcd"},      {"Nation", "n.nation_code"},
        {"NationName", "n.display_value"},        {"State", "s.state_code"},
        {"StateName", "s.display_value"},         {"ManagerState", "ms.state_code"},
        {"ManagerStateName", "ms.display_value"}, {"ProtectionLevel", "pl.display_value"},
        {"IucnCategory", "iu.display_value"},     {"PublicAccess", "pa.display_value"},
        {"DataQcStatus", "qc.display_value"},
    };
    static const std::map<std::string, std::string> renamed = {
        {"MACodeBcd", "macode_bcd"},
        {"OldMACode", "old_macode"},
        {"DProtectionLevelId", "d_protection_level_id"},
        {"DIucnCategoryId", "d_iucn_category_id"},
        {"DPublicAccessId", "d_public_access_id"},
        {"DDataQcStatusId", "d_data_qc_status_id"},
        {"ManagerPostalCd", "manager_postal_cd"},
        {"ManagerAddr1", "manager_addr1"},
        {"ManagerAddr2", "manager_addr2"},
        {"MgmtPlanInd", "mgmt_plan_ind"},
        {"MgmtPlanCom", "mgmt_plan_com"},
        {"MgmtCom", "mgmt_com"},
        {"DataQcBy", "data_qc_by"},
        {"ManagedAreaId", "managed_area_id"},
        {"EquiSiteId", "equi_site_id"},
        {"EquiSiteName", "equi_site_name"},
    };
    for (const auto& c : ExchangeColumns()) {
        if (auto it = special.find(c.name); it != special.end()) {
            s.push_back({c.name, it->second});
            continue;
        }
        switch (c.kind) {
        case ColumnKind::Counties:
        case ColumnKind::CountyNames:
        case ColumnKind::Owners:
        case ColumnKind::Aliases:
        case ColumnKind::YearBudgets:
            continue;
        default:
            break;
        }
        std::string col;
        if (auto it = renamed.find(c.name); it != renamed.end()) {
            col = it->second;
        } else {
            // CamelCase to snake_case: the columns are named after the fields.
            for (const char* p = c.name; *p; ++p) {
                if (std::isupper(static_cast<unsigned char>(*p)) && p != c.name) col += '_';
                col += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
            }
        }
        s.push_back({c.name, "ma." + col});
    }
    return s;
}

const char* kRecordFrom =
    " FROM ma LEFT JOIN ma major ON major.managed_area_id = ma.major_ma_id"
    " LEFT JOIN d_nation n ON n.nation_id = ma.nation_id"
    " LEFT JOIN d_state s ON s.d_state_id = ma.d_state_id"
    " LEFT JOIN d_state ms ON ms.d_state_id = ma.manager_state_id"
    " LEFT JOIN d_protection_level pl ON pl.d_protection_level_id = ma.d_protection_level_id"
    " LEFT JOIN d_iucn_category iu ON iu.d_iucn_category_id = ma.d_iucn_category_id"
    " LEFT JOIN d_public_access pa ON pa.d_public_access_id = ma.d_public_access_id"
    " LEFT JOIN d_data_qc_status qc ON qc.d_data_qc_status_id = ma.d_data_qc_status_id";

using Items = std::unordered_map<long, std::vector<std::vector<std::string>>>;

// Rows of a child list: the managed area's ID first, then the parts of one item.
Items ListItems(DataService& db, const std::string& select, const std::string& ids) {
    Items items;
    SourceRows rows(db, select + " WHERE c.managed_area_id IN (" + ids +
                            ") ORDER BY c.managed_area_id, c.display_order, 1");
    const int n = rows.Columns();
    while (rows.Next()) {
        std::vector<std::string> parts;
        parts.reserve(static_cast<std::size_t>(n - 1));
        for (int i = 1; i < n; ++i)
            parts.push_back(rows.Text(i));
        items[rows.Long(0)].push_back(std::move(parts));
    }
    return items;
}

std::unordered_map<long, gis::MultiPolygon> Shapes(DataService& db, const std::string& ids) {
    std::unordered_map<long, gis::MultiPolygon> out;
    const bool pg = db.Dialect() == sql::Dialect::PostgreSQL;
    SourceRows rows(db, std::string("SELECT g.shape_id, ") +
                            (pg ? "encode(ST_AsBinary(g.geom), 'hex')" : "g.geom") +
                            " FROM shape_geometry g JOIN ma ON ma.shape_id = g.shape_id"
                            " WHERE ma.managed_area_id IN (" +
                            ids + ") AND g.geom IS NOT NULL");
    while (rows.Next()) {
        const long id = rows.Long(0);
        out[id] = pg ? gis::FromWkb(gis::FromHex(rows.Bytes(1))) : gis::FromGpkgBlob(rows.Bytes(1));
    }
    return out;
}

} // namespace

std::string NumberText(double v) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string DateText(const std::string& stored) {
    if (stored.empty()) return "";
    auto d = ParseDate(stored);
    if (!d) return stored;
    DateParts p = SplitDate(*d);
    char buf[40];
    if (p.hour || p.minute || p.second)
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day,
                      p.hour, p.minute, p.second);
    else
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", p.year, p.month, p.day);
    return buf;
}

std::vector<long> IdsByName(DataService& db, const std::string& text) {
    const bool pg = db.Dialect() == sql::Dialect::PostgreSQL;
    auto rs = db.Query(std::string("SELECT managed_area_id AS id FROM ma WHERE ") +
                           (pg ? "strpos(UPPER((managed_area_name) COLLATE \"und-x-icu\"), ?) > 0"
                               : "instr(UPPER(managed_area_name), ?) > 0") +
                           " ORDER BY managed_area_id",
                       {Variant(UpperUtf8(text))});
    std::vector<long> ids;
    for (; !rs->EOF(); rs->MoveNext())
        ids.push_back(CLng(rs->Value("id")));
    return ids;
}

void ReadAreas(DataService& db, const std::vector<long>& wanted,
               const std::function<void(ExchangeArea&)>& each) {
    std::vector<long> ids = wanted;
    if (ids.empty()) {
        SourceRows rows(db, "SELECT managed_area_id FROM ma ORDER BY managed_area_id");
        while (rows.Next())
            ids.push_back(rows.Long(0));
    }
    static const std::vector<Source> sources = RecordSources();
    std::string select = "SELECT ma.shape_id";
    for (const auto& s : sources)
        select += ", " + s.expr;
    std::vector<int> target;
    for (const auto& s : sources)
        target.push_back(ColumnIndex(s.column));
    const int owners = ColumnIndex("Owners"), aliases = ColumnIndex("Aliases"),
              counties = ColumnIndex("Counties"), countyNames = ColumnIndex("CountyNames"),
              budgets = ColumnIndex("YearBudgets");
    const std::size_t width = ExchangeColumns().size();

    for (std::size_t from = 0; from < ids.size(); from += kChunk) {
        const std::size_t to = std::min(ids.size(), from + kChunk);
        const std::string list = IdList(ids, from, to);
        Items owner =
            ListItems(db,
                      "SELECT c.managed_area_id, t.display_value, c.owner_name, c.owner_note, "
                      "c.primary_owner_ind FROM managed_area_owner c LEFT JOIN d_owner_type t ON "
                      "t.d_owner_type_id = c.d_owner_type_id",
                      list);
        Items alias = ListItems(
            db, "SELECT c.managed_area_id, c.managed_area_alias FROM managed_area_alias c", list);
        Items county = ListItems(db,
                                 "SELECT c.managed_area_id, c.d_county_id, d.county_name FROM "
                                 "managed_area_county c JOIN d_county d ON d.d_county_id = "
                                 "c.d_county_id",
                                 list);
        Items budget = ListItems(db,
                                 "SELECT c.managed_area_id, c.managed_area_mgmt_year, "
                                 "c.managed_area_mgmt_budget, c.managed_area_mgmt_staff FROM "
                                 "managed_area_mgmt_year c",
                                 list);
        auto shapes = Shapes(db, list);
        SourceRows rows(db, select + kRecordFrom + " WHERE ma.managed_area_id IN (" + list +
                                ") ORDER BY ma.managed_area_id");
        while (rows.Next()) {
            ExchangeArea a;
            a.values.assign(width, "");
            const long shapeId = rows.Long(0);
            for (std::size_t i = 0; i < sources.size(); ++i) {
                const int at = static_cast<int>(i) + 1;
                const auto& col = ExchangeColumns()[static_cast<std::size_t>(target[i])];
                a.values[static_cast<std::size_t>(target[i])] =
                    col.kind == ColumnKind::Date ? DateText(rows.Text(at)) : rows.Text(at);
            }
            a.id = std::stol(a.values[static_cast<std::size_t>(ColumnIndex("ManagedAreaId"))]);
            if (auto it = owner.find(a.id); it != owner.end())
                a.values[static_cast<std::size_t>(owners)] = JoinList(it->second);
            if (auto it = alias.find(a.id); it != alias.end())
                a.values[static_cast<std::size_t>(aliases)] = JoinList(it->second);
            if (auto it = budget.find(a.id); it != budget.end())
                a.values[static_cast<std::size_t>(budgets)] = JoinList(it->second);
            if (auto it = county.find(a.id); it != county.end()) {
                std::vector<std::vector<std::string>> codes, names;
                for (const auto& item : it->second) {
                    char fips[16];
                    std::snprintf(fips, sizeof fips, "%05ld", std::stol(item[0]));
                    codes.push_back({fips});
                    names.push_back({item[1]});
                }
                a.values[static_cast<std::size_t>(counties)] = JoinList(codes);
                a.values[static_cast<std::size_t>(countyNames)] = JoinList(names);
            }
            if (auto it = shapes.find(shapeId); it != shapes.end()) a.shape = std::move(it->second);
            each(a);
        }
    }
}

} // namespace zelk::host::exchange
