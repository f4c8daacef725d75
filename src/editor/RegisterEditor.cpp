#include "editor/RegisterEditor.h"

#include "platform/ProgIdRegistry.h"

namespace zelk::editor {

void RegisterEditor(ProgIdRegistry& /*registry*/) {}

} // namespace zelk::editor
