#include "elementgrid/RegisterElementGrid.h"

#include "platform/ProgIdRegistry.h"

namespace zelk::elementgrid {

void RegisterElementGrid(ProgIdRegistry& /*registry*/) {}

} // namespace zelk::elementgrid
