#pragma once

namespace zelk {
class ProgIdRegistry;
}

namespace zelk::dialogs {

void RegisterDialogs(ProgIdRegistry& registry);

} // namespace zelk::dialogs
