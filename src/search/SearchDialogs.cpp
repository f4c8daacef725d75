#include "search/SearchDialogs.h"

#include "dialogs/frmModalDetail.h"
#include "platform/Conv.h"
#include "search/ManagedAreaSearch.h"
#include "search/frmSQL.h"

namespace zelk::search {

namespace {

constexpr const char* kDetailsProgId = "ZELK_ManagedArea.ManagedAreaDetails";

std::string IconOf(ManagedAreaSearch& search) {
    return search.Owner() ? search.Owner()->Icon() : std::string();
}

// The editor in its own window, or null when it could not be started (the window is gone).
std::shared_ptr<dialogs::frmModalDetail> NewDetailWindow(ManagedAreaSearch& search,
                                                         const ObjectPtr& appManager) {
    auto dlg = std::make_shared<dialogs::frmModalDetail>();
    if (!dlg->InitDialog(kDetailsProgId, appManager, "")) return nullptr;
    dlg->SetIcon(IconOf(search));
    return dlg;
}

} // namespace

void ShowModalDetails(ManagedAreaSearch& search, const ObjectPtr& appManager, long id) {
    Screen::Instance().SetMousePointer(mouse::Hourglass);
    auto dlg = NewDetailWindow(search, appManager);
    if (!dlg) {
        Screen::Instance().SetMousePointer(mouse::Default);
        return;
    }
    try {
        dlg->LoadData(static_cast<std::int32_t>(id));
        dlg->Load();
    } catch (...) {
        Screen::Instance().SetMousePointer(mouse::Default);
        dlg->Unload();
        throw;
    }
    Screen::Instance().SetMousePointer(mouse::Default);
    dlg->Show(true);
    dlg->Unload();
}

long NewModalDetails(ManagedAreaSearch& search, const ObjectPtr& appManager) {
    auto dlg = NewDetailWindow(search, appManager);
    if (!dlg) return 0;
    long id = 0;
    try {
        id = dlg->NewData(-1);
        dlg->Show(true);
        // The editor answers NewData with the new record's temporary ID, which no saved record
        // carries. Once the user has saved it in the window, the editor holds its real ID.
        const ControlPtr& hosted = dlg->HostedControl();
        if (hosted && hosted->HasMember("GetID")) id = CLng(hosted->Call("GetID"));
    } catch (...) {
        dlg->Unload();
        throw;
    }
    dlg->Unload();
    return id;
}

void ShowSearchSql(ManagedAreaSearch& search, const std::string& sql) {
    auto frm = std::make_shared<frmSQL>();
    frm->txtSQL().SetText(sql);
    frm->SetIcon(IconOf(search));
    frm->Show(true);
    frm->Unload();
}

} // namespace zelk::search
