// Lazy filling of the tab pages, and the reset and clearing used between records.
#include "common/ErrorReport.h"
#include "controls/DomainSelectGrid.h"
#include "controls/RichTextControl.h"
#include "controls/ZELKKeywordLB.h"
#include "controls/ctrlBindGrid.h"
#include "controls/ctrlDateSelect.h"
#include "editor/HostCalls.h"
#include "platform/Conv.h"
#include "platform/ProgIdRegistry.h"
#include "platform/Strings.h"
#include "zelk/ManagedAreaDetails.h"

#include <algorithm>

namespace zelk::editor {

void ManagedAreaDetails::TabChange(int newIndex) {
    if (tabGuard_) return;
    tabGuard_ = true;
    struct GuardOff {
        bool& guard;
        ~GuardOff() { guard = false; }
    } off{tabGuard_};
    if (newIndex >= 0 && newIndex < PageCount && !filled_[newIndex] && ma_) {
        ShowWaitMessage(true, WaitLoading);
        try {
            FillPage(newIndex);
        } catch (...) {
            ShowWaitMessage(false);
            Screen::Instance().SetMousePointer(mouse::Default);
            throw;
        }
        ShowWaitMessage(false);
    }
    if (newIndex >= 0 && newIndex < PageCount) tabManagedAreas->SetActiveTab(newIndex);
}

void ManagedAreaDetails::FillPage(int page) {
    Screen::Instance().SetMousePointer(mouse::Hourglass);
    switch (page) {
    case PageIdentifiers:
        SetupIdentifiersTab();
        break;
    case PageLocators:
        SetupLocatorsTab();
        break;
    case PageDescriptors:
        SetupDescriptorsTab();
        break;
    case PageLegalProtection:
        SetupLegalProtectionTab();
        break;
    case PageManager:
        SetupManagerTab();
        break;
    case PageManagement:
        SetupManagementTab();
        break;
    case PageElements:
        SetupElementsTab();
        break;
    case PageAdditionalTopics:
        SetupAdditionalTopicsTab();
        break;
    case PageReferences:
        SetupReferencesTab();
        break;
    case PageVersionQC:
        SetupVersionQCTab();
        break;
    case PageOtherSpatialAttr:
        SetupOtherSpatialAttrTab();
        break;
    default:
        break;
    }
    filled_[page] = true;
    if (readOnly_) LockForReadOnly();
    Screen::Instance().SetMousePointer(mouse::Default);
}

namespace {
// Locks what holds data and switches off what changes it; what only shows or moves through
// the list (the navigator, the tabs, labels, frames) stays as it is.
void LockDataControls(const Form& form, const std::vector<const Control*>& keep) {
    for (const auto& ptr : form.Controls()) {
        Control* c = ptr.get();
        if (std::find(keep.begin(), keep.end(), c) != keep.end()) continue;
        if (auto* inner = dynamic_cast<Form*>(c)) {
            inner->SetLocked(true);
            LockDataControls(*inner, keep);
        } else if (dynamic_cast<CheckBox*>(c) || dynamic_cast<OptionButton*>(c) ||
                   dynamic_cast<CommandButton*>(c)) {
            c->SetEnabled(false);
        } else if (dynamic_cast<TextBox*>(c) || dynamic_cast<ComboBox*>(c) ||
                   dynamic_cast<DataCombo*>(c) || dynamic_cast<ListBox*>(c) ||
                   dynamic_cast<VSFlexGrid*>(c)) {
            c->SetLocked(true);
        }
    }
}
} // namespace

void ManagedAreaDetails::LockForReadOnly() {
    LockDataControls(*this, {txtCurrentRecord, cmdNavFirst, cmdNavPrev, cmdNavNext, cmdNavLast});
}

void ManagedAreaDetails::BindMA(Control* control, std::string_view property,
                                std::string_view field) {
    ma_->Bind(control->shared_from_this(), property, field);
}

void ManagedAreaDetails::BindShape(Control* control, std::string_view property,
                                   std::string_view field) {
    shape_->Bind(control->shared_from_this(), property, field);
}

bo::DomainPtr& ManagedAreaDetails::Domain(std::string_view name) {
    auto it = domains_.find(name);
    if (it != domains_.end() && it->second) return it->second;
    std::string key(name);
    // The map QC states belong to the shape; every other list to the managed area.
    bo::DomainPtr d = IEquals(name, "MAP_QC_STATUS") ? shape_->GetDomain(name, Variant(), true)
                                                     : ma_->GetDomain(name, Variant(), true);
    const char* order = IEquals(name, "DATA_QC_STATUS") ? "data_qc_status_desc" : "display_value";
    if (d) d->SortList(d->GetList(1), order, "");
    return domains_[key] = d;
}

void ManagedAreaDetails::BindDomainCombo(DataCombo* combo, const bo::DomainPtr& domain,
                                         std::string_view idField, std::string_view textField) {
    if (domain) domain->BindToCombo(combo->shared_from_this(), "", idField, textField);
}

void ManagedAreaDetails::ShowCheckBox(CheckBox* box, std::string_view field) {
    box->SetValue(UCase(TextOf(ma_->GetProperty(field))) == "Y" ? 1 : 0);
}

void ManagedAreaDetails::CheckBoxClicked(CheckBox* box, std::string_view field) {
    if (loading_ || !ma_) return;
    ma_->SetProperty(field, Variant(std::string(box->Value() == 1 ? "Y" : "N")));
}

void ManagedAreaDetails::ResetTabs() {
    if (shape_) shape_->DropBindings();
    if (ma_) ma_->DropBindings();
    for (controls::ctrlBindGrid* g :
         {flexLegal, flexMAAlias, flexOwners, flexTownRangeSection, flexYearPlanBudget}) {
        g->ClearGrid();
    }
    for (DataCombo* c : {cboDataQCStatus, cboIUCNCategory, cboManagerState, cboNation,
                         cboProtectionLevel, cboPublicAccess, cboState})
        c->SetRowSource(nullptr);
    domains_.clear();
    filled_.fill(false);
}

void ManagedAreaDetails::ClearControls() {
    for (TextBox* t :
         {txtSummaryMAName, txtEast, txtEquiSiteID, txtEquiSiteName, txtLatitude, txtLongitude,
          txtMACodeBCD, txtMajorMAID, txtMajorMAName, txtManagerCountry, txtNorth, txtOldMACode,
          txtSouth, txtStateAcres, txtStateHectares, txtTotalAcres, txtTotalHectares, txtWest})
        t->SetText("");
    for (DataCombo* c : {cboDataQCStatus, cboIUCNCategory, cboManagerState, cboMapQCStatus,
                         cboNation, cboProtectionLevel, cboPublicAccess, cboState})
        c->SetBoundText("");
    for (CheckBox* c : {chkBoundariesMapped, chkContiguous, chkManagementPlan, chkMultiJuris})
        c->SetValue(0);
    for (controls::ctrlDateSelect* d : {ctlVersionDate, ctlPaperMappingDate, ctlDigitalMappingDate})
        d->SetText("1/1/1990");
    for (const auto& c : Controls())
        if (auto* r = dynamic_cast<controls::RichTextControl*>(c.get())) r->SetText("");
    ctlCounty->Call("ClearList");
    ctlLocalJurisdiction->Call("ClearList");
    if (ctlElement->HasMember("Clear")) ctlElement->Call("Clear");
    lstKeywords->Call("ClearList");
    flexReferences->SetRows(flexReferences->FixedRows());
    flexSites->SetRows(flexSites->FixedRows());
    flexSpatialAttributes->SetRows(flexSpatialAttributes->FixedRows());
}

void ManagedAreaDetails::ShowMajorManagedArea(long id) {
    Variant current = ma_->GetProperty("MajorMaId");
    bool differs = !IsNumeric(current) || CLng(current) != id;
    if (loading_ || (id >= 1 && differs)) {
        try {
            ObjectPtr obj = CreateObject("ZELK_ManagedAreaClient.CManagedArea");
            auto major = std::dynamic_pointer_cast<bo::IManagedArea>(obj);
            if (!major)
                Raise(13, "Type mismatch: the managed area class does not offer its interface");
            major->Connect(ServerName(), ServerType());
            major->Load(std::to_string(id));
            std::string name = TextOf(major->GetProperty("ManagedAreaName"));
            major->ReleaseData();
            txtMajorMAID->SetText(std::to_string(id));
            txtMajorMAName->SetText(name);
        } catch (const ComError& e) {
            // The record itself is still worth showing; only the link stays blank. The box
            // lets go of the field first, so blanking it leaves the record's link as it is.
            ma_->Unbind("MajorMaId");
            txtMajorMAID->SetText("");
            txtMajorMAName->SetText("");
            common::ReportError("The major managed area " + std::to_string(id) +
                                    " of this record could not be loaded.",
                                e);
        }
    } else if (id == 0) {
        ma_->SetProperty("MajorMaId", Variant(std::string()));
        txtMajorMAID->SetText("");
        txtMajorMAName->SetText("");
    }
}

} // namespace zelk::editor
