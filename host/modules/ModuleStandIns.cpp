#include "host/modules/ModuleStandIns.h"

#include "host/modules/StandInSearch.h"
#include "platform/ProgIdRegistry.h"

namespace zelk::host {

void RegisterModuleStandIns(ProgIdRegistry& registry) {
    registry.Register("ZELK_Site.SiteSearch",
                      [] { return std::make_shared<StandInSearch>(SiteSearchSource()); });
    registry.Register("ZELK_Reference.ReferenceSearch",
                      [] { return std::make_shared<StandInSearch>(ReferenceSearchSource()); });
    registry.Register("ZELK_Element.ElementSearch",
                      [] { return std::make_shared<StandInSearch>(ElementSearchSource()); });
}

} // namespace zelk::host
