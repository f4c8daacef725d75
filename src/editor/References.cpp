#include "zelk/ManagedAreaDetails.h"

namespace zelk::editor {

void ManagedAreaDetails::LoadReferencesGrid() {}
void ManagedAreaDetails::LoadSitesGrid() {}
void ManagedAreaDetails::AddReferenceToList(long, const std::string&, const std::string&) {}
void ManagedAreaDetails::ReferencesAfterSort() {}
void ManagedAreaDetails::SitesAfterSort() {}
void ManagedAreaDetails::ReferencesDblClick() {}

} // namespace zelk::editor
