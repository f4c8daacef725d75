#include "host/bo/TableDef.h"

#include "common/bo/ManagedArea.h"
#include "platform/Strings.h"

#include <string>
#include <unordered_map>

namespace zelk::bo {

int TableDef::IndexOf(std::string_view property) const {
    // Every property a record reads or writes comes through here, some seventy per table: a
    // map per table and thread, whose answer is checked against the fields themselves, so a
    // table changed or gone since its map was made is only ever slower, never wrong.
    using Positions = std::unordered_map<std::string, int, IHash, IEqual>;
    thread_local std::unordered_map<const TableDef*, Positions> maps;
    auto [it, made] = maps.try_emplace(this);
    Positions& positions = it->second;
    if (made)
        for (std::size_t i = 0; i < fields.size(); ++i)
            positions.emplace(fields[i].property, static_cast<int>(i));
    if (auto p = positions.find(property); p != positions.end()) {
        const auto i = static_cast<std::size_t>(p->second);
        if (i < fields.size() && IEquals(fields[i].property, property)) return p->second;
    }
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (IEquals(fields[i].property, property)) return static_cast<int>(i);
    return -1;
}

namespace {
FieldDef T(std::string p, std::string c, int size) {
    return {std::move(p), std::move(c), FieldKind::Text, size, "", ""};
}
FieldDef L(std::string p, std::string c) {
    return {std::move(p), std::move(c), FieldKind::Long, 0, "", ""};
}
FieldDef D(std::string p, std::string c) {
    return {std::move(p), std::move(c), FieldKind::Double, 0, "", ""};
}
FieldDef Dt(std::string p, std::string c) {
    return {std::move(p), std::move(c), FieldKind::Date, 0, "", ""};
}
FieldDef Lookup(std::string p, std::string c, FieldKind k, std::string table, std::string key) {
    return {std::move(p), std::move(c), k, 0, std::move(table), std::move(key)};
}

// Every child row: its own ID first, then the link to its managed area, then the stamps.
TableDef Child(std::string table, const std::string& id, std::vector<FieldDef> own) {
    TableDef t{std::move(table), id, "managed_area_id", {}, true, true};
    t.fields.push_back(L("ID", id));
    t.fields.push_back(L("ManagedAreaId", "managed_area_id"));
    for (auto& f : own)
        t.fields.push_back(std::move(f));
    t.fields.push_back(L("DisplayOrder", "display_order"));
    return t;
}

void AddStamps(TableDef& t) {
    t.fields.push_back(Dt("RecCreateDate", "rec_create_date"));
    t.fields.push_back(T("RecCreateUser", "rec_create_user", 30));
    t.fields.push_back(Dt("RecLastModDate", "rec_last_mod_date"));
    t.fields.push_back(T("RecLastModUser", "rec_last_mod_user", 30));
}

std::vector<TableDef> MakeChildren() {
    std::vector<TableDef> c;
    c.push_back(
        Child("managed_area_owner", "managed_area_owner_id",
              {L("DOwnerTypeID", "d_owner_type_id"), T("OwnerName", "owner_name", 120),
               T("OwnerNote", "owner_note", 255), T("PrimaryOwnerInd", "primary_owner_ind", 1)}));
    c.push_back(Child("managed_area_alias", "managed_area_alias_id",
                      {T("ManagedAreaAlias", "managed_area_alias", 120)}));
    c.push_back(Child("managed_area_site", "managed_area_site_id",
                      {L("ConservationSiteId", "conservation_site_id"),
                       Lookup("SiteName", "site_name", FieldKind::Text, "conservation_site",
                              "conservation_site_id")}));
    c.push_back(
        Child("managed_area_county", "managed_area_county_id",
              {L("DCountyId", "d_county_id"),
               Lookup("CountyName", "county_name", FieldKind::Text, "d_county", "d_county_id")}));
    c.push_back(Child("managed_area_local_juris", "managed_area_local_juris_id",
                      {L("DLocalJurisdictionId", "d_local_jurisdiction_id"),
                       Lookup("LocalJurisDesc", "local_jurisdiction_desc", FieldKind::Text,
                              "d_local_jurisdiction", "d_local_jurisdiction_id")}));
    const std::string ms = "d_mapsheet";
    c.push_back(
        Child("managed_area_mapsheet", "managed_area_mapsheet_id",
              {L("DMapsheetId", "d_mapsheet_id"),
               Lookup("MapsheetName", "mapsheet_name", FieldKind::Text, ms, "d_mapsheet_id"),
               Lookup("MapsheetCode", "mapsheet_cd", FieldKind::Text, ms, "d_mapsheet_id"),
               Lookup("DotNum", "dot_num", FieldKind::Text, ms, "d_mapsheet_id"),
               Lookup("MarginNum", "margin_num", FieldKind::Text, ms, "d_mapsheet_id"),
               Lookup("TenTen", "ten_ten", FieldKind::Text, ms, "d_mapsheet_id")}));
    c.push_back(Child("managed_area_trs", "managed_area_trs_id",
                      {T("TownRange", "town_range", 20), T("Section", "section", 20),
                       T("Meridian", "meridian", 2), T("TRSNote", "trs_note", 255)}));
    c.push_back(Child("managed_area_legal", "managed_area_legal_id",
                      {Dt("LegalDate", "legal_date"), T("LegalAct", "legal_act", 255)}));
    c.push_back(Child("managed_area_mgmt_year", "managed_area_mgmt_year_id",
                      {L("ManagedAreaMgmtYear", "managed_area_mgmt_year"),
                       D("ManagedAreaMgmtBudget", "managed_area_mgmt_budget"),
                       D("ManagedAreaMgmtStaff", "managed_area_mgmt_staff")}));
    c.push_back(Child("managed_area_reference", "managed_area_reference_id",
                      {L("ReferenceID", "reference_id")}));
    c.push_back(Child("managed_area_keyword", "managed_area_keyword_id",
                      {L("DManagedAreaKeywordID", "d_managed_area_keyword_id"),
                       Lookup("KeywordDesc", "keyword_desc", FieldKind::Text,
                              "d_managed_area_keyword", "d_managed_area_keyword_id")}));
    c.push_back(Child(
        "element_managed_area", "element_managed_area_id",
        {L("ElementGlobalId", "element_global_id"), L("ElementNationalId", "element_national_id"),
         L("ElementSubnationalId", "element_subnational_id"), L("ReferenceId", "reference_id"),
         L("DOriginId", "d_origin_id"), L("DRegularityId", "d_regularity_id"),
         L("DDistConfidenceId", "d_dist_confidence_id"),
         L("DCurrPresenceAbsenceId", "d_curr_presence_absence_id"),
         L("DPopulationId", "d_population_id"), T("StatusInMa", "status_in_ma", 255),
         T("MaDistributionCom", "ma_distribution_com", 4000)}));
    for (auto& t : c)
        AddStamps(t);
    return c;
}

TableDef MakeManagedArea() {
    TableDef t{"ma", "managed_area_id", "shape_id", {}, true, false};
    t.fields = {L("ManagedAreaId", "managed_area_id"),
                L("ShapeId", "shape_id"),
                T("MACodeBcd", "macode_bcd", 20),
                T("OldMACode", "old_macode", 20),
                T("ManagedAreaName", "managed_area_name", 120),
                T("ManagedAreaType", "managed_area_type", 60),
                T("EquiSiteId", "equi_site_id", 20),
                T("EquiSiteName", "equi_site_name", 120),
                L("MajorMaId", "major_ma_id"),
                L("NationId", "nation_id"),
                L("DStateId", "d_state_id"),
                T("Latitude", "latitude", 20),
                T("Longitude", "longitude", 20),
                T("North", "north", 20),
                T("South", "south", 20),
                T("East", "east", 20),
                T("West", "west", 20),
                T("ManagedAreaDesc", "managed_area_desc", 4000),
                D("TotalAreaAcres", "total_area_acres"),
                D("TotalAreaHectares", "total_area_hectares"),
                D("AreaInStateAcres", "area_in_state_acres"),
                D("AreaInStateHectares", "area_in_state_hectares"),
                T("ManagedAreaCom", "managed_area_com", 4000),
                T("MultiJurisInd", "multi_juris_ind", 1),
                T("BoundariesMappedInd", "boundaries_mapped_ind", 1),
                T("ContiguousInd", "contiguous_ind", 1),
                L("DProtectionLevelId", "d_protection_level_id"),
                L("DIucnCategoryId", "d_iucn_category_id"),
                T("LegalProtCom", "legal_prot_com", 4000),
                T("LandTenureCom", "land_tenure_com", 4000),
                T("Manager", "manager", 120),
                T("ManagerInstitution", "manager_institution", 120),
                T("ManagerAddr1", "manager_addr1", 120),
                T("ManagerAddr2", "manager_addr2", 120),
                T("ManagerCity", "manager_city", 60),
                L("ManagerStateId", "manager_state_id"),
                T("ManagerCountry", "manager_country", 60),
                T("ManagerPostalCd", "manager_postal_cd", 20),
                T("ManagerPhone", "manager_phone", 30),
                T("CooperatingInstitutions", "cooperating_institutions", 4000),
                T("CooperatingInstitutionCom", "cooperating_institution_com", 4000),
                T("MgmtPlanInd", "mgmt_plan_ind", 1),
                T("MgmtPlanCom", "mgmt_plan_com", 4000),
                T("MgmtCom", "mgmt_com", 4000),
                L("DPublicAccessId", "d_public_access_id"),
                T("PublicAccessCom", "public_access_com", 4000),
                T("Infrastructure", "infrastructure", 4000),
                T("AdditionalTopics", "additional_topics", 4000),
                T("LeadResp", "lead_resp", 60),
                Dt("VersionDate", "version_date"),
                T("VersionAuthorName", "version_author_name", 60),
                T("ManualFileNote", "manual_file_note", 255),
                T("PaperMappingBy", "paper_mapping_by", 60),
                Dt("PaperMappingDate", "paper_mapping_date"),
                L("DDataQcStatusId", "d_data_qc_status_id"),
                T("DataQcBy", "data_qc_by", 60),
                L("OrgUnitId", "org_unit_id")};
    AddStamps(t);
    return t;
}

TableDef MakeShape() {
    TableDef t{"shape", "shape_id", "", {}, true, false};
    t.fields = {L("ShapeId", "shape_id"),
                T("DigitalMappingBy", "digital_mapping_by", 60),
                Dt("DigitalMappingDate", "digital_mapping_date"),
                L("MapQCStatus", "map_qc_status"),
                T("MapQcBy", "map_qc_by", 60),
                T("QCCom", "qc_com", 4000),
                T("HasShapeInd", "has_shape_ind", 1),
                L("OrgUnitId", "org_unit_id")};
    AddStamps(t);
    return t;
}
} // namespace

const TableDef& ShapeTable() {
    static const TableDef t = MakeShape();
    return t;
}
const TableDef& ManagedAreaTable() {
    static const TableDef t = MakeManagedArea();
    return t;
}
const TableDef& ChildTable(int which) {
    static const std::vector<TableDef> t = MakeChildren();
    return t.at(static_cast<std::size_t>(which));
}
const TableDef& SpatialAttributeTable() {
    static const TableDef t{"shape_attribute",
                            "shape_attribute_id",
                            "shape_id",
                            {L("ID", "shape_attribute_id"), L("ShapeId", "shape_id"),
                             T("AttributeName", "attribute_name", 60),
                             T("AttributeValue", "attribute_value", 255)},
                            false,
                            false};
    return t;
}
const TableDef& LocalJurisdictionDomainTable() {
    static const TableDef t{"d_local_jurisdiction",
                            "d_local_jurisdiction_id",
                            "",
                            {L("ID", "d_local_jurisdiction_id"),
                             T("LocalJurisdictionDesc", "local_jurisdiction_desc", 120),
                             T("DisplayValue", "display_value", 120),
                             L("DisplayOrder", "display_order"), L("DStateId", "d_state_id")},
                            false,
                            false};
    return t;
}
const TableDef& KeywordDomainTable() {
    static const TableDef t{
        "d_managed_area_keyword",
        "d_managed_area_keyword_id",
        "",
        {L("ID", "d_managed_area_keyword_id"), T("KeywordDesc", "keyword_desc", 255),
         T("DisplayValue", "display_value", 255), L("DisplayOrder", "display_order")},
        false,
        false};
    return t;
}
const TableDef& KeywordUsedByTable() {
    static const TableDef t{"ma_keyword_used_by",
                            "ma_keyword_used_by_id",
                            "d_managed_area_keyword_id",
                            {L("ID", "ma_keyword_used_by_id"),
                             L("DManagedAreaKeywordID", "d_managed_area_keyword_id"),
                             L("DUsedById", "d_used_by_id")},
                            false,
                            false};
    return t;
}

const std::vector<DomainDef>& AllDomains() {
    static const std::vector<DomainDef> d = {
        {"NATION", "d_nation", "nation_id", "", ""},
        {"STATE", "d_state", "d_state_id", "nation_id", ""},
        {"PROTECTION_LEVEL", "d_protection_level", "d_protection_level_id", "", ""},
        {"IUCN_CATEGORY", "d_iucn_category", "d_iucn_category_id", "", ""},
        {"MANAGER_STATE", "d_state", "d_state_id", "", ""},
        {"PUBLIC_ACCESS", "d_public_access", "d_public_access_id", "", ""},
        {"DATA_QC_STATUS", "d_data_qc_status", "d_data_qc_status_id", "", ""},
        {"MAP_QC_STATUS", "d_map_qc_status", "map_qc_status", "", ""},
        {"OWNER_TYPE", "d_owner_type", "d_owner_type_id", "", ""},
        {"ORIGIN", "d_origin", "d_origin_id", "", "origin_desc"},
        {"REGULARITY", "d_regularity", "d_regularity_id", "", "regularity_desc"},
        {"DIST_CONFIDENCE", "d_dist_confidence", "d_dist_confidence_id", "", ""},
        {"CURR_PRESENCE_ABSENCE", "d_curr_presence_absence", "d_curr_presence_absence_id", "",
         "curr_presence_absence_desc"},
        {"POPULATION", "d_population", "d_population_id", "", "population_desc"},
        {"USED_BY", "d_used_by", "d_used_by_id", "", ""},
        {"MANAGED_AREA_TYPE", "d_managed_area_type", "d_managed_area_type_id", "", ""},
    };
    return d;
}

const DomainDef* FindDomain(const std::string& name) {
    for (const auto& d : AllDomains())
        if (IEquals(d.name, name)) return &d;
    return nullptr;
}

} // namespace zelk::bo
