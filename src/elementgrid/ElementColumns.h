#pragma once

#include <array>
#include <string_view>

namespace zelk::elementgrid {

// One column of the element grid. Width 0 keeps the grid's default; -1 sizes it to its
// contents after every load; a header of "" comes from the label named in `label`.
struct ElementColumn {
    std::string_view key;
    std::string_view header;
    long width;
    bool hidden;
    std::string_view label;
};

inline constexpr std::array<ElementColumn, 21> kElementColumns{{
    {"element_managed_area_id", "", 0, true, ""},
    {"managed_area_id", "", 0, true, ""},
    {"element_id", "Element ID", 900, false, ""},
    {"element_global_id", "Element Global ID", 0, true, ""},
    {"element_national_id", "Element National ID", 0, true, ""},
    {"element_subnational_id", "Element Subnational ID", 0, true, ""},
    {"scientific_name", "Scientific Name", 3500, false, ""},
    {"common_name", "Common Name", 0, false, ""},
    {"rank", "Rank", 1000, false, ""},
    {"geo_level", "Geo Level", 1000, false, ""},
    {"reference_id", "Reference ID", 0, true, ""},
    {"reference_code", "Reference Code", 1400, false, ""},
    {"full_citation", "Full Citation", 7500, false, ""},
    {"d_origin_id", "", -1, false, "lblOrigin"},
    {"d_regularity_id", "", -1, false, "lblRegularity"},
    {"d_dist_confidence_id", "", -1, false, "lblDistributionConfidence"},
    {"d_curr_presence_absence_id", "", -1, false, "lblCurrentPresenceAbsence"},
    {"d_population_id", "", -1, false, "lblPopulation"},
    {"status_in_ma", "", -1, false, "lblStatusInMA"},
    {"ma_distribution_com", "", 7500, false, "lblDistributionComments"},
    {"display_order", "Display Order", 0, true, ""},
}};

// The five coded attributes: their combo, the domain behind it, the domain's ID and
// description fields, and the grid column.
struct CodedAttribute {
    std::string_view combo;
    std::string_view domain;
    std::string_view listField;
    std::string_view boundField;
};

inline constexpr std::array<CodedAttribute, 5> kCodedAttributes{{
    {"cboOrigin", "ORIGIN", "origin_desc", "d_origin_id"},
    {"cboRegularity", "REGULARITY", "regularity_desc", "d_regularity_id"},
    {"cboDistributionConfidence", "DIST_CONFIDENCE", "display_value", "d_dist_confidence_id"},
    {"cboCurrentPresenceAbsence", "CURR_PRESENCE_ABSENCE", "curr_presence_absence_desc",
     "d_curr_presence_absence_id"},
    {"cboPopulation", "POPULATION", "population_desc", "d_population_id"},
}};

} // namespace zelk::elementgrid
