#include "dialogs/RegisterDialogs.h"
#include "editor/RegisterEditor.h"
#include "elementgrid/RegisterElementGrid.h"
#include "search/RegisterSearch.h"
#include "zelk/ManagedAreaModule.h"

namespace zelk {

void RegisterManagedAreaModule(ProgIdRegistry& registry) {
    dialogs::RegisterDialogs(registry);
    search::RegisterSearch(registry);
    elementgrid::RegisterElementGrid(registry);
    editor::RegisterEditor(registry);
}

} // namespace zelk
