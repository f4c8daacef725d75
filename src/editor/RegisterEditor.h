#pragma once

namespace zelk {
class ProgIdRegistry;
}

namespace zelk::editor {

void RegisterEditor(ProgIdRegistry& registry);

} // namespace zelk::editor
