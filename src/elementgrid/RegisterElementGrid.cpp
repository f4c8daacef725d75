#include "elementgrid/RegisterElementGrid.h"

#include "elementgrid/MA_ElementGrid.h"
#include "platform/ProgIdRegistry.h"

namespace zelk::elementgrid {

void RegisterElementGrid(ProgIdRegistry& registry) {
    // The form that adds the control gives it its name.
    registry.Register("ZELK_ManagedArea.MA_ElementGrid",
                      [] { return std::make_shared<MA_ElementGrid>(std::string()); });
}

} // namespace zelk::elementgrid
