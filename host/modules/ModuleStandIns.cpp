#include "host/modules/ModuleStandIns.h"

#include "platform/ProgIdRegistry.h"

namespace zelk::host {

void RegisterModuleStandIns(ProgIdRegistry& /*registry*/) {}

} // namespace zelk::host
