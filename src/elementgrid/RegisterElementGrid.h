#pragma once

namespace zelk {
class ProgIdRegistry;
}

namespace zelk::elementgrid {

void RegisterElementGrid(ProgIdRegistry& registry);

} // namespace zelk::elementgrid
