#pragma once

namespace zelk {
class ProgIdRegistry;
}

namespace zelk::search {

void RegisterSearch(ProgIdRegistry& registry);

} // namespace zelk::search
