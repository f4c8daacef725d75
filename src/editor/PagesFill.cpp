// The fill procedure of each page: bindings, domain lists, tags and child grids.
#include "common/ErrorReport.h"
#include "controls/DomainSelectGrid.h"
#include "controls/RichTextControl.h"
#include "controls/ZELKKeywordLB.h"
#include "controls/ctrlDateSelect.h"
#include "editor/HostCalls.h"
#include "platform/Conv.h"
#include "platform/Strings.h"
#include "zelk/ManagedAreaDetails.h"

namespace zelk::editor {

namespace {
constexpr const char* kMA = "MA_ManagedArea.";
constexpr const char* kShape = "MA_Shape.";

ObjectPtr CollectionObject(bo::IChildCollection& c) {
    auto* o = dynamic_cast<Object*>(&c);
    if (!o) Raise(13, "Type mismatch: the child list is not an object");
    return o->shared_from_this();
}
} // namespace

void ManagedAreaDetails::SetupIdentifiersTab() {
    BindMA(txtMACodeBCD, "Text", "MACodeBcd");
    BindMA(txtOldMACode, "Text", "OldMACode");
    BindMA(ctlMAName, "Text", "ManagedAreaName");
    BindMA(ctlMAType, "Text", "ManagedAreaType");
    BindMA(txtEquiSiteID, "Text", "EquiSiteId");
    BindMA(txtEquiSiteName, "text", "EquiSiteName");
    BindMA(txtMajorMAID, "Text", "MajorMaId");
    Variant major = ma_->GetProperty("MajorMaId");
    if (IsNumeric(major)) ShowMajorManagedArea(static_cast<long>(CLng(major)));
    SetupOwnersGrid();
    SetupAliasGrid();
    LoadSitesGrid();
    txtMACodeBCD->SetTag(std::string(kMA) + "MACodeBcd");
    txtOldMACode->SetTag(std::string(kMA) + "OldMACode");
    ctlMAName->SetTag(std::string(kMA) + "ManagedAreaName");
    ctlMAType->SetTag(std::string(kMA) + "ManagedAreaType");
    txtEquiSiteID->SetTag(std::string(kMA) + "EquiSiteId");
    BindMA(lblManagedAreaID, "Caption", "ID");
}

void ManagedAreaDetails::SetupLocatorsTab() {
    // Each step reports its own failure and the set-up goes on with the next one.
    auto step = [](auto&& f) {
        try {
            f();
        } catch (const ComError& e) {
            common::ReportError("An error occurred setting up the Locators Tab: ", e, "");
        }
    };
    step([&] {
        bo::DomainPtr& nation = Domain("NATION");
        BindDomainCombo(cboNation, nation, "nation_id", "display_value");
        BindMA(cboNation, "boundtext", "NationId");
        if (ma_->IsNew() && nation) {
            cboNation->SetBoundText(TextOf(nation->DefaultValue("Nation_ID")));
            ma_->SetProperty("NationId", Variant(cboNation->BoundText()));
        }
    });
    step([&] {
        Variant nation = ma_->GetProperty("NationId");
        if (TextOf(nation).empty()) {
            cboState->SetRowSource(nullptr);
            cboState->SetBoundText("");
            return;
        }
        // The states depend on the nation, so they are fetched on every fill.
        bo::DomainPtr state = ma_->GetDomain("STATE", nation, true);
        if (state) state->SortList(state->GetList(1), "display_value", "");
        domains_["STATE"] = state;
        BindDomainCombo(cboState, state, "d_state_id", "display_value");
        BindMA(cboState, "boundtext", "DStateId");
        if (ma_->IsNew() && state && state->Count() > 1) {
            cboState->SetBoundText(TextOf(state->DefaultValue("D_State_Id")));
            ma_->SetProperty("DStateId", Variant(cboState->BoundText()));
        }
    });
    step([&] { SetupCountyGrid(); });
    step([&] { SetupLocalJurisdictionGrid(); });
    step([&] { SetupMapsheetGrid(); });
    step([&] {
        BindMA(txtLatitude, "Text", "Latitude");
        BindMA(txtLongitude, "Text", "Longitude");
        BindMA(txtSouth, "Text", "South");
        BindMA(txtNorth, "Text", "North");
        BindMA(txtEast, "Text", "East");
        BindMA(txtWest, "Text", "West");
    });
    step([&] { SetupTownRangeSectionGrid(); });
    step([&] {
        cboNation->SetTag(std::string(kMA) + "NationId");
        cboState->SetTag(std::string(kMA) + "DStateId");
        txtLatitude->SetTag(std::string(kMA) + "Latitude");
        txtLongitude->SetTag(std::string(kMA) + "Longitude");
        txtSouth->SetTag(std::string(kMA) + "South");
        txtNorth->SetTag(std::string(kMA) + "North");
        txtEast->SetTag(std::string(kMA) + "East");
        txtWest->SetTag(std::string(kMA) + "West");
    });
}

void ManagedAreaDetails::SetupDescriptorsTab() {
    BindMA(ctlDescription, "Text", "ManagedAreaDesc");
    BindMA(txtTotalAcres, "Text", "TotalAreaAcres");
    BindMA(txtTotalHectares, "Text", "TotalAreaHectares");
    BindMA(txtStateAcres, "Text", "AreaInStateAcres");
    BindMA(txtStateHectares, "Text", "AreaInStateHectares");
    BindMA(ctlMAComments, "Text", "ManagedAreaCom");
    ShowCheckBox(chkMultiJuris, "MultiJurisInd");
    ShowCheckBox(chkBoundariesMapped, "BoundariesMappedInd");
    ShowCheckBox(chkContiguous, "ContiguousInd");
    ctlDescription->SetTag(std::string(kMA) + "ManagedAreaDesc");
    txtTotalAcres->SetTag(std::string(kMA) + "TotalAreaAcres");
    txtTotalHectares->SetTag(std::string(kMA) + "TotalAreaHectares");
    txtStateAcres->SetTag(std::string(kMA) + "AreaInStateAcres");
    txtStateHectares->SetTag(std::string(kMA) + "AreaInStateHectares");
    ctlMAComments->SetTag(std::string(kMA) + "ManagedAreaCom");
}

void ManagedAreaDetails::SetupLegalProtectionTab() {
    BindDomainCombo(cboProtectionLevel, Domain("PROTECTION_LEVEL"), "d_protection_level_id",
                    "display_value");
    BindDomainCombo(cboIUCNCategory, Domain("IUCN_CATEGORY"), "d_iucn_category_id",
                    "display_value");
    BindMA(cboProtectionLevel, "boundtext", "DProtectionLevelId");
    BindMA(ctlLegalProtectionComment, "Text", "LegalProtCom");
    BindMA(cboIUCNCategory, "boundtext", "DIucnCategoryId");
    BindMA(ctlLandTenure, "Text", "LandTenureCom");
    SetupLegalGrid();
    cboProtectionLevel->SetTag(std::string(kMA) + "DProtectionLevelID");
    ctlLegalProtectionComment->SetTag(std::string(kMA) + "LegalProtCom");
    cboIUCNCategory->SetTag(std::string(kMA) + "DIucnCategoryId");
    ctlLandTenure->SetTag(std::string(kMA) + "LandTenureCom");
}

void ManagedAreaDetails::SetupManagerTab() {
    BindDomainCombo(cboManagerState, Domain("MANAGER_STATE"), "d_state_id", "display_value");
    const std::pair<Control*, const char*> fields[] = {
        {ctlManager, "Manager"},
        {ctlManagerInstitution, "ManagerInstitution"},
        {ctlManagerAddress1, "ManagerAddr1"},
        {ctlManagerAddress2, "ManagerAddr2"},
        {ctlManagerCity, "ManagerCity"},
        {cboManagerState, "ManagerStateId"},
        {txtManagerCountry, "ManagerCountry"},
        {ctlManagerZip, "ManagerPostalCd"},
        {ctlManagerPhone, "ManagerPhone"},
        {ctlCoopInst, "CooperatingInstitutions"},
        {ctlCoopInstComment, "CooperatingInstitutionCom"}};
    for (const auto& [control, field] : fields)
        BindMA(control, control == cboManagerState ? "boundtext" : "Text", field);
    for (const auto& [control, field] : fields)
        control->SetTag(std::string(kMA) + field);
}

void ManagedAreaDetails::SetupManagementTab() {
    BindDomainCombo(cboPublicAccess, Domain("PUBLIC_ACCESS"), "d_public_access_id",
                    "display_value");
    ShowCheckBox(chkManagementPlan, "MgmtPlanInd");
    BindMA(ctlManagmentPlanComment, "Text", "MgmtPlanCom");
    BindMA(ctlManagementComment, "Text", "MgmtCom");
    BindMA(cboPublicAccess, "boundtext", "DPublicAccessId");
    BindMA(ctlPublicAccessComments, "Text", "PublicAccessCom");
    SetupYearPlanBudgetGrid();
    ctlManagmentPlanComment->SetTag(std::string(kMA) + "MgmtPlanCom");
    ctlManagementComment->SetTag(std::string(kMA) + "MgmtCom");
    cboPublicAccess->SetTag(std::string(kMA) + "DPublicAccessId");
    ctlPublicAccessComments->SetTag(std::string(kMA) + "PublicAccessCom");
}

void ManagedAreaDetails::SetupElementsTab() {
    if (!ctlElement->HasMember("Initialize")) return;
    ctlElement->Call("SetETKViewID", {Variant(static_cast<int>(FindViewIndex("ETK")))});
    Form* host = TopForm();
    std::string caption = host && host != this ? host->Caption() : std::string();
    ctlElement->Let("SearchFormCaption", Variant(caption));
    ctlElement->Let("SearchFormIcon", Variant(HostIcon()));
    ctlElement->Call("Initialize",
                     {Variant(CollectionObject(ma_->Children(bo::ChildList::Elements))),
                      Variant(static_cast<int>(currentId_)), Variant(winMan_),
                      Variant(appManager_)});
}

void ManagedAreaDetails::SetupAdditionalTopicsTab() {
    lstKeywords->Let("ServerName", Variant(ServerName()));
    lstKeywords->Let("ServerType", Variant(ServerType()));
    lstKeywords->Let("UserName", Variant(UserName()));
    lstKeywords->Let("Title", Variant(std::string("Managed Area Keywords")));
    auto s = [](const char* t) { return Variant(std::string(t)); };
    lstKeywords->Call("SetKeywordDomain", {s("D_MANAGED_AREA_KEYWORD"),
                                           s("d_managed_area_keyword_id"), s("keyword_desc")});
    lstKeywords->Call("SetUsedByLink",
                      {s("MA_KEYWORD_USED_BY"), s("d_used_by_id"), s("d_managed_area_keyword_id")});
    lstKeywords->Call("SetKeywordClass",
                      {s("ZELK_ManagedAreaClient.CDMAKeyword"), s("KeywordDesc"), s("UsedBy")});
    lstKeywords->Call("SetUsedByClass", {s("ZELK_ManagedAreaClient.CMAKwUsedBy"), s("DUsedById")});
    lstKeywords->Call("SetUsedByDomain", {s("D_USED_BY"), s("d_used_by_id"), s("used_by_desc")});
    lstKeywords->Call("SetKeywordCollection",
                      {Variant(CollectionObject(ma_->Children(bo::ChildList::Keywords))),
                       s("ZELK_ManagedAreaClient.CKeyword"), s("DManagedAreaKeywordID")});
    BindMA(ctlInfrastructure, "Text", "Infrastructure");
    BindMA(ctlAdditionalTopics, "Text", "AdditionalTopics");
    lstKeywords->SetTag(std::string(kMA) + "ManagedAreaKeywords");
    ctlInfrastructure->SetTag(std::string(kMA) + "Infrastructure");
    ctlAdditionalTopics->SetTag(std::string(kMA) + "AdditionalTopics");
}

void ManagedAreaDetails::SetupReferencesTab() {
    LoadReferencesGrid();
}

void ManagedAreaDetails::SetupVersionQCTab() {
    bo::DomainPtr& dataQc = Domain("DATA_QC_STATUS");
    BindDomainCombo(cboDataQCStatus, dataQc, "d_data_qc_status_id", "data_qc_status_desc");
    BindMA(ctlLeadResponsibility, "Text", "LeadResp");
    BindMA(ctlVersionDate, "Text", "VersionDate");
    BindMA(ctlVersionAuthor, "Text", "VersionAuthorName");
    BindMA(ctlManualFileNote, "Text", "ManualFileNote");
    BindMA(ctlPaperMappingBy, "Text", "PaperMappingBy");
    BindMA(ctlPaperMappingDate, "Text", "PaperMappingDate");
    BindMA(cboDataQCStatus, "boundtext", "DDataQcStatusId");
    if (ma_->IsNew() && dataQc) {
        cboDataQCStatus->SetBoundText(TextOf(dataQc->DefaultValue("D_Data_QC_Status_ID")));
        ma_->SetProperty("DDataQcStatusId", Variant(cboDataQCStatus->BoundText()));
    }
    BindMA(ctlDataQCBy, "Text", "DataQcBy");

    bo::DomainPtr& mapQc = Domain("MAP_QC_STATUS");
    BindDomainCombo(cboMapQCStatus, mapQc, "map_qc_status", "display_value");
    BindShape(ctlDigitalMappingBy, "Text", "DigitalMappingBy");
    BindShape(ctlDigitalMappingDate, "Text", "DigitalMappingDate");
    BindShape(cboMapQCStatus, "boundtext", "MapQCStatus");
    if (shape_->IsNew() && mapQc) {
        cboMapQCStatus->SetBoundText(TextOf(mapQc->DefaultValue("Map_QC_Status")));
        shape_->SetProperty("MapQCStatus", Variant(cboMapQCStatus->BoundText()));
    }
    BindShape(ctlMapQCBy, "Text", "MapQcBy");
    BindShape(ctlQCComments, "Text", "QCCom");

    const std::pair<Control*, const char*> maTags[] = {
        {ctlLeadResponsibility, "LeadResp"},     {ctlVersionDate, "VersionDate"},
        {ctlVersionAuthor, "VersionAuthorName"}, {ctlManualFileNote, "ManualFileNote"},
        {ctlPaperMappingBy, "PaperMappingBy"},   {ctlPaperMappingDate, "PaperMappingDate"},
        {cboDataQCStatus, "DDataQcStatusId"},    {ctlDataQCBy, "DataQcBy"}};
    for (const auto& [c, f] : maTags)
        c->SetTag(std::string(kMA) + f);
    const std::pair<Control*, const char*> shapeTags[] = {
        {ctlDigitalMappingBy, "DigitalMappingBy"},
        {ctlDigitalMappingDate, "DigitalMappingDate"},
        {cboMapQCStatus, "MapQCStatus"},
        {ctlMapQCBy, "MapQcBy"},
        {ctlQCComments, "QCCom"}};
    for (const auto& [c, f] : shapeTags)
        c->SetTag(std::string(kShape) + f);
}

void ManagedAreaDetails::SetupOtherSpatialAttrTab() {
    auto& attributes = shape_->OtherSpatialAttributes();
    if (attributes.Count() < 1) return;
    attributes.FillGrid(flexSpatialAttributes->shared_from_this(), "AttributeName,AttributeValue");
    // The fill heads its columns with the property names; the user reads the captions.
    flexSpatialAttributes->SetTextMatrix(0, 0, "Attribute Name");
    flexSpatialAttributes->SetTextMatrix(0, 1, "Attribute Value");
}

} // namespace zelk::editor
