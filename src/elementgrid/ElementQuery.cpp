#include "elementgrid/ElementQuery.h"

#include "platform/Strings.h"

namespace zelk::elementgrid {

namespace {

// What differs between the three selects of the union.
struct Level {
    const char* elementId;
    const char* globalId;
    const char* commonName;
    const char* rankAndLevel;
    const char* from;
    const char* elementJoin;
    const char* nameJoin;
};

constexpr Level kGlobal{
    "element_managed_area.element_global_id  as element_id, ",
    "element_managed_area.element_global_id  as element_global_id, ",
    "element_global.g_primary_common_name as common_name, ",
    "element_global.g_rank as rank, 'Global' as Geo_Level, ",
    "From element_managed_area, element_global, scientific_name, reference ",
    "element_managed_area.element_global_id = element_global.element_global_id AND ",
    "element_global.gname_id = scientific_name.scientific_name_id AND ",
};

constexpr Level kNational{
    "element_managed_area.element_national_id as element_id, ",
    "element_managed_area.element_global_id as element_global_id, ",
    "element_national.n_primary_common_name as common_name, ",
    "element_national.n_rank as rank, 'National' as Geo_Level, ",
    "From element_managed_area, element_national, scientific_name, reference ",
    "element_managed_area.element_national_id = element_national.element_national_id AND ",
    "element_national.nname_id = scientific_name.scientific_name_id AND ",
};

constexpr Level kSubnational{
    "element_managed_area.element_subnational_id as element_id, ",
    "element_managed_area.element_global_id as element_global_id, ",
    "element_subnational.s_primary_common_name as common_name, ",
    "element_subnational.s_rank as rank, 'Subnational' as Geo_Level, ",
    "From element_managed_area, element_subnational, scientific_name, reference ",
    "element_managed_area.element_subnational_id = element_subnational.element_subnational_id "
    "AND ",
    "element_subnational.sname_id = scientific_name.scientific_name_id AND ",
};

std::string LevelSelect(const Level& l, long managedAreaId) {
    std::string s;
    s.reserve(1400);
    s += "Select element_managed_area.element_managed_area_id as element_managed_area_id, ";
    s += "element_managed_area.managed_area_id AS managed_area_id, ";
    s += l.elementId;
    s += l.globalId;
    s += "element_managed_area.element_national_id as element_national_id, ";
    s += "element_managed_area.element_subnational_id as element_subnational_id, ";
    s += "scientific_name.scientific_name as scientific_name, ";
    s += l.commonName;
    s += l.rankAndLevel;
    s += "reference.reference_id as reference_id, reference.reference_code as reference_code, ";
    s += "reference.full_citation as full_citation, element_managed_area.d_origin_id, ";
    s += "element_managed_area.d_regularity_id, element_managed_area.d_dist_confidence_id, ";
    s += "element_managed_area.d_curr_presence_absence_id, element_managed_area.d_population_id, ";
    s += "element_managed_area.status_in_ma, element_managed_area.ma_distribution_com, ";
    s += "element_managed_area.display_order ";
    s += l.from;
    s += "Where element_managed_area.managed_area_id = ";
    s += std::to_string(managedAreaId);
    s += " AND ";
    s += l.elementJoin;
    s += l.nameJoin;
    s += "element_managed_area.reference_id = reference.reference_id(+) ";
    return s;
}

} // namespace

std::string BuildElementQuery(long managedAreaId) {
    return LevelSelect(kGlobal, managedAreaId) + " UNION " + LevelSelect(kNational, managedAreaId) +
           " UNION " + LevelSelect(kSubnational, managedAreaId) + " order by display_order";
}

std::string BuildDisplayOrderUpdate(long position, const std::string& userName, long recordId) {
    return std::string("UPDATE element_managed_area ") +
           "SET display_order = " + std::to_string(position) + ", rec_last_mod_user = '" +
           QuoteEscape(userName) + "'" +
           " WHERE element_managed_area_id = " + std::to_string(recordId);
}

} // namespace zelk::elementgrid
