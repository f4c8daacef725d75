#include "elementgrid/ElementPicker.h"

#include "search/frmModalSearch.h"

#include <memory>

namespace zelk::elementgrid {

void ShowModalSearch(const std::string& progId, const std::string& caption, const std::string& icon,
                     const ObjectPtr& appManager, RecordsetPtr& rs) {
    auto dlg = std::make_shared<search::frmModalSearch>();
    dlg->SetIcon(icon);
    dlg->SetCaption(caption);
    // A failed start has already been explained to the user; there is nothing to choose from.
    if (!dlg->InitDialog(progId, appManager, rs, "")) {
        dlg->Unload();
        return;
    }
    // The hosted search may title the window after itself; the caller's title wins.
    dlg->SetIcon(icon);
    dlg->SetCaption(caption);
    try {
        dlg->UseSelectedRecordset(true);
        dlg->SetSingleSelect();
        dlg->Show(true);
    } catch (...) {
        dlg->Unload();
        throw;
    }
    dlg->Unload();
}

} // namespace zelk::elementgrid
