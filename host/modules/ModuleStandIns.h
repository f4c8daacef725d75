#pragma once

namespace zelk {
class ProgIdRegistry;
}

namespace zelk::host {

// Working stand-ins for the other modules' search controls the dialogs host:
// "ZELK_Site.SiteSearch", "ZELK_Reference.ReferenceSearch", "ZELK_Element.ElementSearch".
void RegisterModuleStandIns(ProgIdRegistry& registry);

} // namespace zelk::host
