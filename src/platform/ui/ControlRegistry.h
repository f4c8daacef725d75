#pragma once

namespace zelk {

class ProgIdRegistry;

// Registers the standard and vendor control kinds under their programmatic identifiers, so a
// form can add them at run time ("VB.TextBox", "MSComctlLib.Toolbar", ...).
void RegisterControls(ProgIdRegistry& registry);

} // namespace zelk
