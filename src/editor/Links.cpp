// Selecting linked records: equivalent site, major managed area, references and sites.
#include "editor/EventSupport.h"
#include "zelk/ManagedAreaDetails.h"

namespace zelk::editor {

void ManagedAreaDetails::WireLinkEvents() {}

} // namespace zelk::editor
