#pragma once

namespace zelk {
class ProgIdRegistry;

// Registers the module's controls under their programmatic identifiers, among them
// "ZELK_ManagedArea.ManagedAreaSearch" and "ZELK_ManagedArea.ManagedAreaDetails".
void RegisterManagedAreaModule(ProgIdRegistry& registry);

} // namespace zelk
