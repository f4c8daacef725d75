// After another user saved the record first: merging their changes into the user's, without
// anything saved until the user saves.
#include "common/ErrorReport.h"
#include "dialogs/frmMerge.h"
#include "editor/HostCalls.h"
#include "platform/Conv.h"
#include "platform/Strings.h"
#include "platform/ui/UiDriver.h"
#include "zelk/ManagedAreaDetails.h"

namespace zelk::editor {

namespace {

// The field each control shows, so a conflict is named as the user sees it.
struct FieldControl {
    const char* field;
    const char* control;
};
constexpr FieldControl kFieldControls[] = {
    {"MACodeBcd", "txtMACodeBCD"},
    {"OldMACode", "txtOldMACode"},
    {"ManagedAreaName", "ctlMAName"},
    {"ManagedAreaType", "ctlMAType"},
    {"EquiSiteId", "txtEquiSiteID"},
    {"EquiSiteName", "txtEquiSiteID"},
    {"MajorMaId", "txtMajorMAID"},
    {"NationId", "cboNation"},
    {"DStateId", "cboState"},
    {"Latitude", "txtLatitude"},
    {"Longitude", "txtLongitude"},
    {"North", "txtNorth"},
    {"South", "txtSouth"},
    {"East", "txtEast"},
    {"West", "txtWest"},
    {"ManagedAreaDesc", "ctlDescription"},
    {"TotalAreaAcres", "txtTotalAcres"},
    {"TotalAreaHectares", "txtTotalHectares"},
    {"AreaInStateAcres", "txtStateAcres"},
    {"AreaInStateHectares", "txtStateHectares"},
    {"ManagedAreaCom", "ctlMAComments"},
    {"MultiJurisInd", "chkMultiJuris"},
    {"BoundariesMappedInd", "chkBoundariesMapped"},
    {"ContiguousInd", "chkContiguous"},
    {"DProtectionLevelId", "cboProtectionLevel"},
    {"DIucnCategoryId", "cboIUCNCategory"},
    {"LegalProtCom", "ctlLegalProtectionComment"},
    {"LandTenureCom", "ctlLandTenure"},
    {"Manager", "ctlManager"},
    {"ManagerInstitution", "ctlManagerInstitution"},
    {"ManagerAddr1", "ctlManagerAddress1"},
    {"ManagerAddr2", "ctlManagerAddress2"},
    {"ManagerCity", "ctlManagerCity"},
    {"ManagerStateId", "cboManagerState"},
    {"ManagerCountry", "txtManagerCountry"},
    {"ManagerPostalCd", "ctlManagerZip"},
    {"ManagerPhone", "ctlManagerPhone"},
    {"CooperatingInstitutions", "ctlCoopInst"},
    {"CooperatingInstitutionCom", "ctlCoopInstComment"},
    {"MgmtPlanInd", "chkManagementPlan"},
    {"MgmtPlanCom", "ctlManagmentPlanComment"},
    {"MgmtCom", "ctlManagementComment"},
    {"DPublicAccessId", "cboPublicAccess"},
    {"PublicAccessCom", "ctlPublicAccessComments"},
    {"Infrastructure", "ctlInfrastructure"},
    {"AdditionalTopics", "ctlAdditionalTopics"},
    {"LeadResp", "ctlLeadResponsibility"},
    {"VersionDate", "ctlVersionDate"},
    {"VersionAuthorName", "ctlVersionAuthor"},
    {"ManualFileNote", "ctlManualFileNote"},
    {"PaperMappingBy", "ctlPaperMappingBy"},
    {"PaperMappingDate", "ctlPaperMappingDate"},
    {"DDataQcStatusId", "cboDataQCStatus"},
    {"DataQcBy", "ctlDataQCBy"},
    {"DigitalMappingBy", "ctlDigitalMappingBy"},
    {"DigitalMappingDate", "ctlDigitalMappingDate"},
    {"MapQCStatus", "cboMapQCStatus"},
    {"MapQcBy", "ctlMapQCBy"},
    {"QCCom", "ctlQCComments"},
};

struct ListPlace {
    int page;
    const char* grid;
};
// In the order of bo::ChildList.
constexpr ListPlace kListPlaces[bo::ChildListCount] = {
    {PageIdentifiers, "Owners"},
    {PageIdentifiers, "Aliases"},
    {PageIdentifiers, "Conservation Sites"},
    {PageLocators, "Counties"},
    {PageLocators, "Local Jurisdictions"},
    {PageLocators, "Mapsheets"},
    {PageLocators, "Town/Range/Section"},
    {PageLegalProtection, "Legal Acts"},
    {PageManagement, "Year/Plan/Budget"},
    {PageReferences, "References"},
    {PageAdditionalTopics, "Keywords"},
    {PageElements, "Elements"},
};

std::string PageCaption(ManagedAreaDetails& d, int page) {
    std::string caption = d.tabManagedAreas->TabCaption(page);
    std::string out;
    for (char c : caption)
        if (c != '&') out += c;
    return out;
}

dialogs::MergeRow Labelled(ManagedAreaDetails& d, bo::MergeConflict& c) {
    dialogs::MergeRow row;
    row.conflict = &c;
    if (c.kind == bo::MergeConflict::Kind::Row) {
        const auto& place = kListPlaces[static_cast<int>(c.list)];
        row.page = PageCaption(d, place.page);
        row.item = std::string(place.grid) + ": " + c.row;
        return row;
    }
    row.item = c.field;
    for (const auto& fc : kFieldControls) {
        if (!IEquals(fc.field, c.field)) continue;
        Control* control = d.Find(fc.control);
        if (!control) break;
        row.page = PageCaption(d, control->TabPage());
        auto* label = dynamic_cast<Label*>(d.Find(std::string("lbl") + (fc.control + 3)));
        std::string caption = label ? label->Caption() : std::string();
        if (!caption.empty() && caption.back() == ':') caption.pop_back();
        if (!caption.empty()) row.item = caption;
        break;
    }
    return row;
}

} // namespace

void ManagedAreaDetails::OfferMerge() {
    if (CLng(DisplayMessage("MGA900")) != vb::Yes) return;
    MergeWithDatabase();
}

void ManagedAreaDetails::MergeWithDatabase() {
    bo::MergePtr merge = shape_->PrepareMerge();
    if (!merge) return;
    if (!merge->RecordExists()) {
        RecordGone();
        return;
    }
    auto& conflicts = merge->Conflicts();
    if (!conflicts.empty()) {
        std::vector<dialogs::MergeRow> rows;
        for (auto& c : conflicts)
            rows.push_back(Labelled(*this, c));
        auto dlg = std::make_shared<dialogs::frmMerge>();
        dlg->SetIcon(HostIcon());
        dlg->LoadConflicts(std::move(rows));
        Screen::Instance().SetMousePointer(mouse::Default);
        dlg->Show(true);
        const bool accepted = dlg->Accepted();
        dlg->Unload();
        // Cancel: the objects were never touched, so the editor is as it was.
        if (!accepted) return;
    }
    HoldElementRows();
    merge->Apply();
    ShowObjectsAgain();
    // What the other user saved now counts as loaded; the user's side is still to be saved.
    modified_ = true;
}

void ManagedAreaDetails::HoldElementRows() {
    if (filled_[PageElements] && ctlElement->HasMember("HoldRows")) ctlElement->Call("HoldRows");
}

void ManagedAreaDetails::ShowObjectsAgain() {
    const int page = tabManagedAreas->ActiveTab();
    {
        const bool wasLoading = loading_;
        loading_ = true;
        struct Back {
            bool& flag;
            bool value;
            ~Back() { flag = value; }
        } back{loading_, wasLoading};
        ResetTabs();
        ClearControls();
        tabManagedAreas->SetActiveTab(page);
        TabChange(page);
    }
    RefreshRecordHeader();
}

void ManagedAreaDetails::RecordGone() {
    if (CLng(DisplayMessage("MGA903")) == vb::Yes) {
        NewRecordFromThisOne();
        return;
    }
    // Discarded: the record goes from the lists as after a delete.
    const long id = currentId_;
    Args removed{Variant(static_cast<int>(id))};
    RaiseEvent("RemoveItem", removed);
    if (workingList_ && workingList_ != hostList_ && WorkingListHolds(workingList_, id))
        workingList_->Delete();
    const long position = IsNumeric(Variant(txtCurrentRecord->Text()))
                              ? static_cast<long>(CLng(Variant(txtCurrentRecord->Text())))
                              : 1;
    // The edits are dropped on purpose: moving on must not ask to save them.
    shape_->ReleaseData();
    modified_ = false;
    if (ShowNeighbour(position, id)) return;
    deleted_ = true;
    RaiseEvent("Quit");
}

void ManagedAreaDetails::NewRecordFromThisOne() {
    if (!shape_) return;
    // Every row the grid shows goes with the new record, those it forgot after a save too.
    if (filled_[PageElements] && ctlElement->HasMember("HoldRows"))
        ctlElement->Call("HoldRows", {Variant(true)});
    if (!shape_->BecomeNewRecord()) return;
    const std::string user = UserName();
    shape_->SetCreateUser(user);
    shape_->SetLastModUser(user);
    currentId_ = ma_->ManagedAreaId();
    shapeId_ = shape_->ShapeId();
    ShowObjectsAgain();
    lblNewRecord->SetVisible(true);
    modified_ = true;
}

} // namespace zelk::editor
