#include "search/RegisterSearch.h"

#include "platform/ProgIdRegistry.h"

namespace zelk::search {

void RegisterSearch(ProgIdRegistry& /*registry*/) {}

} // namespace zelk::search
