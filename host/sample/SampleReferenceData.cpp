#include "host/embedded/UsCountiesCsv.h"
#include "host/embedded/UsStatesCsv.h"
#include "host/gis/Boundaries.h"
#include "host/gis/ReferenceBoundaries.h"
#include "host/gis/SampleShapes.h"
#include "host/sample/SampleNames.h"
#include "host/sample/SampleWriter.h"
#include "platform/Strings.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

namespace zelk::host::sample {

namespace {

// Rows of a committed CSV file without quoted fields; the header row is skipped.
std::vector<std::vector<std::string>> CsvRows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    for (const std::string& line : Split(text, "\n")) {
        std::string l = line;
        if (!l.empty() && l.back() == '\r') l.pop_back();
        if (l.empty()) continue;
        rows.push_back(Split(l, ","));
    }
    if (!rows.empty()) rows.erase(rows.begin());
    return rows;
}

// A coded domain of the common shape: ID, display_value, display_order, description.
void Domain(DataService& db, const std::string& table, const std::string& idColumn,
            const std::string& descColumn, const std::vector<std::string>& values) {
    Insert ins(db, "INSERT INTO " + table + " (" + idColumn + ", display_value, display_order, " +
                       descColumn + ") VALUES (?, ?, ?, ?)");
    int n = 0;
    for (const std::string& v : values) {
        ++n;
        ins.Row({n, v, n, v});
    }
}

void WriteDomains(DataService& db) {
    db.ExecScript(R"(
INSERT INTO org_unit (org_unit_id, org_unit_code, org_unit_name) VALUES
  (1, 'HQ', 'Central Office'), (2, 'EAST', 'Eastern Region'), (3, 'WEST', 'Western Region');
INSERT INTO d_nation (nation_id, display_value, display_order, default_ind, nation_code, nation_name)
  VALUES (1, 'United States', 1, 'Y', 'US', 'United States of America'),
         (2, 'Canada', 2, 'N', 'CA', 'Canada'),
         (3, 'Mexico', 3, 'N', 'MX', 'United Mexican States');
INSERT INTO d_state (d_state_id, display_value, display_order, default_ind, nation_id, state_code, state_name)
  VALUES (101, 'Alberta', 1, 'N', 2, 'AB', 'Alberta'),
         (102, 'British Columbia', 2, 'N', 2, 'BC', 'British Columbia'),
         (103, 'Manitoba', 3, 'N', 2, 'MB', 'Manitoba'),
         (104, 'New Brunswick', 4, 'N', 2, 'NB', 'New Brunswick'),
         (105, 'Newfoundland and Labrador', 5, 'N', 2, 'NL', 'Newfoundland and Labrador'),
         (106, 'Northwest Territories', 6, 'N', 2, 'NT', 'Northwest Territories'),
         (107, 'Nova Scotia', 7, 'N', 2, 'NS', 'Nova Scotia'),
         (108, 'Nunavut', 8, 'N', 2, 'NU', 'Nunavut'),
         (109, 'Ontario', 9, 'N', 2, 'ON', 'Ontario'),
         (110, 'Prince Edward Island', 10, 'N', 2, 'PE', 'Prince Edward Island'),
         (111, 'Quebec', 11, 'N', 2, 'QC', 'Quebec'),
         (112, 'Saskatchewan', 12, 'N', 2, 'SK', 'Saskatchewan'),
         (113, 'Yukon', 13, 'N', 2, 'YT', 'Yukon');
)");
    Domain(db, "d_owner_type", "d_owner_type_id", "owner_type_desc",
           {"Federal", "State", "Local Government", "Tribal", "Non-profit Organization", "Private",
            "Joint", "Unknown"});
    Domain(db, "d_protection_level", "d_protection_level_id", "description",
           {"1 - Permanent, natural processes", "2 - Permanent, managed", "3 - Multiple use",
            "4 - None known"});
    Domain(db, "d_iucn_category", "d_iucn_category_id", "description",
           {"Ia Strict Nature Reserve", "Ib Wilderness Area", "II National Park",
            "III Natural Monument", "IV Habitat/Species Management Area", "V Protected Landscape",
            "VI Sustainable Use", "Other"});
    Domain(db, "d_public_access", "d_public_access_id", "description",
           {"Open", "Restricted", "Closed", "Unknown"});
    Domain(db, "d_data_qc_status", "d_data_qc_status_id", "data_qc_status_desc",
           {"Not reviewed", "In review", "Reviewed", "Approved"});
    Domain(db, "d_map_qc_status", "map_qc_status", "description",
           {"Not mapped", "Mapped, not reviewed", "Mapped and reviewed"});
    Domain(db, "d_managed_area_type", "d_managed_area_type_id", "description", Designations());
    Domain(
        db, "d_managed_area_keyword", "d_managed_area_keyword_id", "keyword_desc",
        {"Wetland", "Grassland", "Old growth", "Karst", "Riparian", "Coastal", "Alpine", "Dunes"});
    Domain(db, "d_used_by", "d_used_by_id", "used_by_desc",
           {"Heritage Program", "Stewardship", "GIS"});
    Domain(db, "d_origin", "d_origin_id", "description",
           {"Native", "Introduced", "Reintroduced", "Unknown"});
    Domain(db, "d_regularity", "d_regularity_id", "description",
           {"Regularly occurring", "Occasional", "Accidental", "Unknown"});
    Domain(db, "d_dist_confidence", "d_dist_confidence_id", "description",
           {"Confident", "Probable", "Possible", "Unknown"});
    Domain(db, "d_curr_presence_absence", "d_curr_presence_absence_id", "description",
           {"Present", "Presumed present", "Absent", "Unknown"});
    Domain(db, "d_population", "d_population_id", "description",
           {"Breeding", "Non-breeding", "Migratory", "Resident", "Unknown"});
    db.ExecScript("INSERT INTO ma_keyword_used_by (d_managed_area_keyword_id, d_used_by_id) "
                  "SELECT k.d_managed_area_keyword_id, u.d_used_by_id FROM "
                  "d_managed_area_keyword k, d_used_by u");
}

// States and territories from the committed FIPS list; generated areas lie in the 50 states
// and the District of Columbia.
std::vector<SampleState> WriteStatesAndCounties(DataService& db) {
    auto states = CsvRows(embedded::UsStatesCsv());
    std::sort(states.begin(), states.end(),
              [](const auto& a, const auto& b) { return a.at(2) < b.at(2); });
    Insert st(db,
              "INSERT INTO d_state (d_state_id, display_value, display_order, default_ind, "
              "nation_id, state_code, state_name, fips_code) VALUES (?, ?, ?, 'N', 1, ?, ?, ?)");
    std::map<int, SampleState> byId;
    std::set<int> stateIds, countyIds;
    int order = 0;
    for (const auto& s : states) {
        int id = std::stoi(s.at(1));
        st.Row({id, s.at(2), ++order, s.at(0), s.at(2), s.at(1)});
        stateIds.insert(id);
        if (id <= 56) byId[id] = SampleState{id, s.at(0), s.at(2), {}, {}, {}, {}};
    }
    Insert co(db, "INSERT INTO d_county (d_county_id, display_value, display_order, d_state_id, "
                  "county_name, fips_code, fips_class) VALUES (?, ?, ?, ?, ?, ?, ?)");
    order = 0;
    gis::SampleShapes shapes(gis::UsBoundaries());
    for (const auto& c : CsvRows(embedded::UsCountiesCsv())) {
        int stateId = std::stoi(c.at(1));
        int id = stateId * 1000 + std::stoi(c.at(2));
        co.Row({id, c.at(3), ++order, stateId, c.at(3), c.at(1) + c.at(2), c.at(4)});
        countyIds.insert(id);
        if (auto it = byId.find(stateId); it != byId.end()) {
            if (shapes.Drawable(id))
                it->second.drawable.push_back(static_cast<int>(it->second.counties.size()));
            it->second.counties.push_back(id);
            it->second.countyNames.push_back(c.at(3));
        }
    }
    gis::WriteReferenceBoundaries(db, countyIds, stateIds);
    std::vector<SampleState> out;
    out.reserve(byId.size());
    for (auto& [id, s] : byId)
        out.push_back(std::move(s));
    return out;
}

void WriteLocalJurisdictions(DataService& db, std::vector<SampleState>& states, SampleRandom& r) {
    Insert ins(db, "INSERT INTO d_local_jurisdiction (d_local_jurisdiction_id, display_value, "
                   "display_order, d_state_id, local_jurisdiction_desc) VALUES (?, ?, ?, ?, ?)");
    int id = 0;
    for (SampleState& s : states) {
        for (int k = 0; k < 4; ++k) {
            static const char* const kinds[] = {"City of ", "Town of ", "Village of ",
                                                "Township of "};
            std::string desc = kinds[k] + r.Pick(LastNames()) + (k % 2 ? "ville" : " Springs");
            ins.Row({++id, desc, id, s.id, desc});
            s.localJurisdictions.push_back(id);
        }
    }
}

int WriteMapsheets(DataService& db, SampleRandom& r) {
    // Quadrangle codes: latitude and longitude of the one-degree block, row letter, column.
    Insert ins(db, "INSERT INTO d_mapsheet (d_mapsheet_id, display_value, display_order, "
                   "mapsheet_cd, mapsheet_name) VALUES (?, ?, ?, ?, ?)");
    const int count = 2000;
    for (int k = 0; k < count; ++k) {
        char code[40];
        std::snprintf(code, sizeof code, "%02d%03d-%c%d", 25 + k % 25, 67 + (k / 25) % 58,
                      'A' + (k / (25 * 58)) % 8, (k * 7) % 8 + 1);
        ins.Row({k + 1, code, k + 1, code, PlaceName(r)});
    }
    return count;
}

std::vector<std::string> WriteSites(DataService& db, const std::vector<SampleState>& states,
                                    int count, SampleRandom& r) {
    Insert ins(db, "INSERT INTO conservation_site (conservation_site_id, site_code, site_name, "
                   "d_state_id, site_desc) VALUES (?, ?, ?, ?, ?)");
    static const std::vector<std::string> kinds = {"Macrosite", "Conservation Site", "Site",
                                                   "Biodiversity Area"};
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(count));
    for (int id = 1; id <= count; ++id) {
        const SampleState& s = r.Pick(states);
        std::string name = PlaceName(r);
        name += " " + r.Pick(kinds);
        char code[40];
        std::snprintf(code, sizeof code, "S%s%06d", s.code.c_str(), id);
        ins.Row({id, code, name, s.id, "Core habitat around " + name + ", " + s.name + "."});
        names.push_back(std::move(name));
    }
    return names;
}

std::string Letters(int n) {
    std::string s;
    for (; n > 0; n = (n - 1) / 26)
        s.insert(s.begin(), static_cast<char>('a' + (n - 1) % 26));
    return s;
}

void WriteReferences(DataService& db, const std::vector<SampleState>& states, int count,
                     SampleRandom& r) {
    Insert ins(db, "INSERT INTO reference (reference_id, reference_code, full_citation, "
                   "short_citation, pub_year) VALUES (?, ?, ?, ?, ?)");
    static const std::vector<std::string> titles = {
        "Vegetation of the ", "Breeding birds of the ", "Rare plant survey of the ",
        "Management plan for the ", "Natural communities of the "};
    for (int id = 1; id <= count; ++id) {
        std::string last = r.Pick(LastNames()), first = r.Pick(FirstNames());
        int year = r.Range(1962, 2021);
        const SampleState& s = r.Pick(states);
        std::string code = Replace(last, "'", "") + std::to_string(year) + Letters(id);
        std::string place = PlaceName(r);
        place += " " + r.Pick(Designations());
        std::string full = last + ", " + first.substr(0, 1) + ". " + std::to_string(year) + ". " +
                           r.Pick(titles) + place + ". " + s.name + " Natural Heritage Program.";
        ins.Row({id, code, full, last + " " + std::to_string(year), year});
    }
}

int WriteElements(DataService& db, const std::vector<SampleState>& states, SampleRandom& r) {
    const auto& species = SpeciesList();
    Insert name(db,
                "INSERT INTO scientific_name (scientific_name_id, scientific_name) VALUES (?, ?)");
    Insert global(db, "INSERT INTO element_global (element_global_id, gname_id, "
                      "g_primary_common_name, g_rank) VALUES (?, ?, ?, ?)");
    Insert national(db, "INSERT INTO element_national (element_national_id, element_global_id, "
                        "nation_id, nname_id, n_primary_common_name, n_rank) "
                        "VALUES (?, ?, 1, ?, ?, ?)");
    Insert sub(db,
               "INSERT INTO element_subnational (element_subnational_id, element_national_id, "
               "d_state_id, sname_id, s_primary_common_name, s_rank) VALUES (?, ?, ?, ?, ?, ?)");
    for (int i = 1; i <= static_cast<int>(species.size()); ++i) {
        const Species& sp = species[static_cast<std::size_t>(i - 1)];
        int g = r.Range(1, 5);
        name.Row({i, sp.scientific});
        global.Row({i, i, sp.common, "G" + std::to_string(g)});
        national.Row({i, i, i, sp.common, "N" + std::to_string(g)});
        for (const SampleState& s : states)
            sub.Row({s.id * 100 + i, i, s.id, i, sp.common,
                     "S" + std::to_string(std::clamp(g + r.Range(-1, 1), 1, 5))});
    }
    return static_cast<int>(species.size());
}

} // namespace

SampleCatalogue WriteReferenceData(DataService& db, int areas, SampleRandom& r) {
    SampleCatalogue c;
    WriteDomains(db);
    c.states = WriteStatesAndCounties(db);
    WriteLocalJurisdictions(db, c.states, r);
    c.mapsheets = WriteMapsheets(db, r);
    c.siteNames = WriteSites(db, c.states, std::max(20, areas / 4), r);
    c.references = std::max(30, areas / 10);
    WriteReferences(db, c.states, c.references, r);
    c.species = WriteElements(db, c.states, r);
    c.keywords = 8;
    return c;
}

} // namespace zelk::host::sample
