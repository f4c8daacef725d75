#include "search/RegisterSearch.h"

#include "platform/ProgIdRegistry.h"
#include "search/ManagedAreaSearch.h"

namespace zelk::search {

void RegisterSearch(ProgIdRegistry& registry) {
    RegisterManagedAreaSearch(registry);
}

} // namespace zelk::search
