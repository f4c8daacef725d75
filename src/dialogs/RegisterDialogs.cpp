#include "dialogs/RegisterDialogs.h"

#include "platform/ProgIdRegistry.h"

namespace zelk::dialogs {

void RegisterDialogs(ProgIdRegistry& /*registry*/) {}

} // namespace zelk::dialogs
