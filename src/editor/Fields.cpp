// Field rules of the bound controls: check boxes holding Y/N fields, coordinates checked as
// they are left, areas kept in acres and hectares, the states of the chosen nation, and the
// name shown in the header.
#include "editor/EventSupport.h"
#include "editor/FieldRules.h"
#include "editor/HostCalls.h"
#include "platform/Conv.h"
#include "platform/Strings.h"
#include "zelk/ManagedAreaDetails.h"

#include <cmath>
#include <limits>

namespace zelk::editor {

namespace {
void SelectAllText(TextBox* box) {
    box->SetSelStart(0);
    box->SetSelLength(static_cast<long>(box->Text().size()));
}

void Cancel(Args& a) {
    if (!a.empty()) a[0] = Variant(true);
}
} // namespace

void ManagedAreaDetails::AreaValidate(TextBox* box, TextBox* partner, std::string_view partnerField,
                                      bool toHectares, const char* message, bool& cancel) {
    std::string text = Trim(box->Text());
    if (text.empty() || !ma_) return;
    std::optional<double> typed = ParseNumber(text);
    // A number beyond single precision cannot be held either.
    if (!typed || !(std::fabs(*typed) <= std::numeric_limits<float>::max())) {
        DisplayMessage(message);
        cancel = true;
        return;
    }
    float value = static_cast<float>(*typed);
    float converted = toHectares ? AcresToHectares(value) : HectaresToAcres(value);
    std::optional<double> current = 0.0;
    if (!Trim(partner->Text()).empty()) current = ParseNumber(partner->Text());
    if (current && SameArea(*current, converted)) return;
    // Held at single precision: the field takes the value as a single shows it.
    ma_->SetProperty(partnerField, Variant(SingleText(converted)));
    ma_->Unbind(partnerField);
    ma_->Bind(partner->shared_from_this(), "text", partnerField);
}

void ManagedAreaDetails::NationChanged() {
    if (tabGuard_ || loading_ || !ma_ || cboNation->BoundText().empty()) return;
    Screen::Instance().SetMousePointer(mouse::Hourglass);
    struct PointerBack {
        ~PointerBack() { Screen::Instance().SetMousePointer(mouse::Default); }
    } back;
    // This handler may run before the binding has written the choice: the object takes it
    // first, so nothing that shows the fields again can undo it.
    ma_->SetProperty("NationId", Variant(cboNation->BoundText()));
    std::string keep = TextOf(ma_->GetProperty("DStateId"));
    bo::DomainPtr states = ma_->GetDomain("STATE", Variant(cboNation->BoundText()), true);
    if (states) states->SortList(states->GetList(1), "display_order", "");
    ma_->Unbind("DStateId");
    BindDomainCombo(cboState, states, "d_state_id", "display_value");
    domains_["STATE"] = states;
    BindMA(cboState, "boundtext", "DStateId");
    long count = states ? states->Count() : 0;
    bool stillValid = false;
    for (long row = 1; row <= count && !keep.empty(); ++row)
        stillValid = stillValid || TextOf(states->Value("d_state_id", row)) == keep;
    if (stillValid) {
        // The state chosen before belongs to this nation too: it stays.
        cboState->SetBoundText(keep);
    } else if (count >= 1) {
        cboState->SetText(TextOf(states->Value("display_value", count == 1 ? 1 : 2)));
        cboState->SetText(cboState->Text());
    } else {
        // No states for this nation: the old one no longer fits.
        ma_->SetProperty("DStateId", Variant(std::string()));
        cboState->SetBoundText("");
    }
    cboNation->SetToolTipText(cboNation->Text());
}

void ManagedAreaDetails::WireFieldEvents() {
    const std::pair<CheckBox*, const char*> checks[] = {
        {chkMultiJuris, "MultiJurisInd"},
        {chkBoundariesMapped, "BoundariesMappedInd"},
        {chkContiguous, "ContiguousInd"},
        {chkManagementPlan, "MgmtPlanInd"}};
    for (const auto& [box, field] : checks)
        box->On("Click", [this, box = box, field = field](Args&) { CheckBoxClicked(box, field); });

    for (TextBox* box :
         {txtLatitude, txtLongitude, txtNorth, txtSouth, txtEast, txtWest, txtTotalAcres,
          txtTotalHectares, txtStateAcres, txtStateHectares, txtMACodeBCD})
        box->On("GotFocus", [box](Args&) { SelectAllText(box); });

    for (TextBox* box : {txtLatitude, txtLongitude, txtNorth, txtSouth, txtEast, txtWest})
        box->On("Validate",
                Guarded("An error occurred checking the coordinate.", [this, box](Args& a) {
                    if (!CoordinateAccepted(box)) Cancel(a);
                }));

    struct Area {
        TextBox* box;
        TextBox* partner;
        const char* partnerField;
        bool toHectares;
        const char* message;
    };
    const Area areas[] = {{txtTotalAcres, txtTotalHectares, "TotalAreaHectares", true, "MGA019"},
                          {txtTotalHectares, txtTotalAcres, "TotalAreaAcres", false, "MGA020"},
                          {txtStateAcres, txtStateHectares, "AreaInStateHectares", true, "MGA018"},
                          {txtStateHectares, txtStateAcres, "AreaInStateAcres", false, "MGA017"}};
    for (const Area& r : areas)
        r.box->On("Validate", Guarded("An error occurred checking the area.", [this, r](Args& a) {
                      bool cancel = false;
                      AreaValidate(r.box, r.partner, r.partnerField, r.toHectares, r.message,
                                   cancel);
                      if (cancel) Cancel(a);
                  }));

    cboNation->On("Change", Guarded("An error occurred loading the states of this nation.",
                                    [this](Args&) { NationChanged(); }));
    cboState->On("Change", [this](Args&) {
        cboState->SetToolTipText(cboState->Text());
        // The county and local jurisdiction lists follow the state.
        for (Control* list :
             {static_cast<Control*>(ctlCounty), static_cast<Control*>(ctlLocalJurisdiction)})
            if (list) list->Let("GroupValue", Variant(cboState->BoundText()));
    });
    ctlMAName->On("Validate", Guarded("An error occurred showing the name.",
                                      [this](Args&) { RefreshRecordHeader(); }));
}

} // namespace zelk::editor
