// The editor's menus and toolbar.
#include "editor/EventSupport.h"
#include "platform/Conv.h"
#include "platform/Strings.h"
#include "platform/ui/UiDriver.h"
#include "zelk/ManagedAreaDetails.h"

namespace zelk::editor {

void ManagedAreaDetails::WireCommandEvents() {
    mnuFileSave->On("Click", Guarded("An error occurred while saving the record.",
                                     WhenEnabled(mnuFileSave, [this](Args&) { SaveData(); })));
    mnuFilePrint->On("Click", WhenEnabled(mnuFilePrint, [](Args&) {
                         Ui().MsgBox("This function has not yet been implemented.", vb::OKOnly,
                                     common::kModuleTitle);
                     }));
    mnuFileClose->On("Click", WhenEnabled(mnuFileClose, [this](Args&) { RaiseEvent("Quit"); }));
    tbManagedAreas->On("ButtonClick", [this](Args& a) {
        std::string key = CStr(RequireObject(Arg(a, 0))->Get("Key"));
        Menu* target = IEquals(key, "Save")    ? mnuFileSave
                       : IEquals(key, "Print") ? mnuFilePrint
                                               : nullptr;
        if (target) target->UserClick();
    });
}

} // namespace zelk::editor
