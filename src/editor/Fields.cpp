// Field rules of the bound controls: check boxes holding Y/N fields.
#include "editor/EventSupport.h"
#include "zelk/ManagedAreaDetails.h"

namespace zelk::editor {

void ManagedAreaDetails::WireFieldEvents() {
    const std::pair<CheckBox*, const char*> checks[] = {
        {chkMultiJuris, "MultiJurisInd"},
        {chkBoundariesMapped, "BoundariesMappedInd"},
        {chkContiguous, "ContiguousInd"},
        {chkManagementPlan, "MgmtPlanInd"}};
    for (const auto& [box, field] : checks)
        box->On("Click", [this, box = box, field = field](Args&) { CheckBoxClicked(box, field); });
}

} // namespace zelk::editor
