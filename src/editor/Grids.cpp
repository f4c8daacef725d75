#include "zelk/ManagedAreaDetails.h"

namespace zelk::editor {

void ManagedAreaDetails::SetupOwnersGrid() {}
void ManagedAreaDetails::SetupAliasGrid() {}
void ManagedAreaDetails::SetupCountyGrid() {}
void ManagedAreaDetails::SetupLocalJurisdictionGrid() {}
void ManagedAreaDetails::SetupMapsheetGrid() {}
void ManagedAreaDetails::SetupTownRangeSectionGrid() {}
void ManagedAreaDetails::SetupLegalGrid() {}
void ManagedAreaDetails::SetupYearPlanBudgetGrid() {}
void ManagedAreaDetails::DeactivateBindGrids() {}
void ManagedAreaDetails::OwnersAfterEdit(long, long) {}
void ManagedAreaDetails::YearPlanBudgetValidateEdit(long, long, bool&) {}

} // namespace zelk::editor
