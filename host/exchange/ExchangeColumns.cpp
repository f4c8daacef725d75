#include "host/exchange/ExchangeColumns.h"

#include "platform/Strings.h"

namespace zelk::host::exchange {

namespace {
using K = ColumnKind;
ExchangeColumn Text(const char* name, const char* shortName, int size) {
    return {name, shortName, K::Text, size, "", ""};
}
} // namespace

const std::vector<ExchangeColumn>& ExchangeColumns() {
    static const std::vector<ExchangeColumn> columns = {
        {"ManagedAreaId", "MAId", K::SourceId},
        Text("MACodeBcd", "MACodeBcd", 20),
        Text("OldMACode", "OldMACode", 20),
        Text("ManagedAreaName", "MAName", 120),
        Text("ManagedAreaType", "MAType", 60),
        Text("EquiSiteId", "EquiSiteId", 20),
        Text("EquiSiteName", "EquiSiteNm", 120),
        {"MajorMaCode", "MajorCode", K::MajorCode},
        {"Nation", "Nation", K::NationCode},
        {"NationName", "NationName", K::NationName},
        {"State", "State", K::StateCode},
        {"StateName", "StateName", K::StateName},
        {"Counties", "Counties", K::Counties},
        {"CountyNames", "CountyNms", K::CountyNames},
        {"Latitude", "Latitude", K::Coordinate},
        {"Longitude", "Longitude", K::Coordinate},
        {"North", "North", K::Coordinate},
        {"South", "South", K::Coordinate},
        {"East", "East", K::Coordinate},
        {"West", "West", K::Coordinate},
        Text("ManagedAreaDesc", "MADesc", 4000),
        {"TotalAreaAcres", "TotAcres", K::Real, 0, "", "TotalAreaHectares"},
        {"TotalAreaHectares", "TotHectare", K::Real, 0, "", "TotalAreaAcres"},
        {"AreaInStateAcres", "StAcres", K::Real, 0, "", "AreaInStateHectares"},
        {"AreaInStateHectares", "StHectares", K::Real, 0, "", "AreaInStateAcres"},
        Text("ManagedAreaCom", "MACom", 4000),
        {"MultiJurisInd", "MultiJuris", K::Indicator},
        {"BoundariesMappedInd", "BndMapped", K::Indicator},
        {"ContiguousInd", "Contiguous", K::Indicator},
        {"DProtectionLevelId", "ProtLevel", K::DomainId, 0, "d_protection_level",
         "ProtectionLevel"},
        {"ProtectionLevel", "ProtLevelN", K::DomainName, 0, "d_protection_level",
         "DProtectionLevelId"},
        {"DIucnCategoryId", "IucnCat", K::DomainId, 0, "d_iucn_category", "IucnCategory"},
        {"IucnCategory", "IucnCatN", K::DomainName, 0, "d_iucn_category", "DIucnCategoryId"},
        Text("LegalProtCom", "LegalCom", 4000),
        Text("LandTenureCom", "TenureCom", 4000),
        {"Owners", "Owners", K::Owners},
        {"Aliases", "Aliases", K::Aliases},
        Text("Manager", "Manager", 120),
        Text("ManagerInstitution", "MgrInst", 120),
        Text("ManagerAddr1", "MgrAddr1", 120),
        Text("ManagerAddr2", "MgrAddr2", 120),
        Text("ManagerCity", "MgrCity", 60),
        {"ManagerState", "MgrState", K::ManagerStateCode},
        {"ManagerStateName", "MgrStateN", K::ManagerStateName},
        Text("ManagerCountry", "MgrCountry", 60),
        Text("ManagerPostalCd", "MgrPostal", 20),
        Text("ManagerPhone", "MgrPhone", 30),
        Text("CooperatingInstitutions", "CoopInst", 4000),
        Text("CooperatingInstitutionCom", "CoopInstCo", 4000),
        {"MgmtPlanInd", "MgmtPlan", K::Indicator},
        Text("MgmtPlanCom", "MgmtPlanCo", 4000),
        Text("MgmtCom", "MgmtCom", 4000),
        {"YearBudgets", "YearBudget", K::YearBudgets},
        {"DPublicAccessId", "PubAccess", K::DomainId, 0, "d_public_access", "PublicAccess"},
        {"PublicAccess", "PubAccessN", K::DomainName, 0, "d_public_access", "DPublicAccessId"},
        Text("PublicAccessCom", "AccessCom", 4000),
        Text("Infrastructure", "Infrastruc", 4000),
        Text("AdditionalTopics", "AddTopics", 4000),
        Text("LeadResp", "LeadResp", 60),
        {"VersionDate", "VersionDt", K::Date},
        Text("VersionAuthorName", "VersionBy", 60),
        Text("ManualFileNote", "FileNote", 255),
        Text("PaperMappingBy", "PaperMapBy", 60),
        {"PaperMappingDate", "PaperMapDt", K::Date},
        {"DDataQcStatusId", "DataQc", K::DomainId, 0, "d_data_qc_status", "DataQcStatus"},
        {"DataQcStatus", "DataQcN", K::DomainName, 0, "d_data_qc_status", "DDataQcStatusId"},
        Text("DataQcBy", "DataQcBy", 60),
    };
    return columns;
}

const ExchangeColumn* FindColumn(std::string_view name) {
    const std::string n = Trim(name);
    for (const auto& c : ExchangeColumns())
        if (IEquals(c.name, n) || IEquals(c.shortName, n)) return &c;
    return nullptr;
}

std::string JoinList(const std::vector<std::vector<std::string>>& items) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) out += ';';
        for (std::size_t p = 0; p < items[i].size(); ++p) {
            if (p) out += '|';
            for (char c : items[i][p]) {
                if (c == ';' || c == '|' || c == '\\') out += '\\';
                out += c;
            }
        }
    }
    return out;
}

std::vector<std::vector<std::string>> SplitList(std::string_view text) {
    std::vector<std::vector<std::string>> items;
    if (Trim(text).empty()) return items;
    items.emplace_back(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            items.back().back() += text[++i];
        } else if (c == ';') {
            items.emplace_back(1);
        } else if (c == '|') {
            items.back().emplace_back();
        } else {
            items.back().back() += c;
        }
    }
    return items;
}

} // namespace zelk::host::exchange
