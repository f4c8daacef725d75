// The control's late-bound members and the wiring of its own controls' events.
#include "common/ErrorReport.h"
#include "controls/DomainSelectGrid.h"
#include "editor/RegisterEditor.h"
#include "platform/Conv.h"
#include "platform/ProgIdRegistry.h"
#include "zelk/ManagedAreaDetails.h"

namespace zelk::editor {

namespace {
ObjectPtr ObjectArg(const Args& a, std::size_t i) {
    const Variant& v = Arg(a, i);
    return v.IsObject() ? v.Obj() : nullptr;
}
long LongArg(const Args& a, std::size_t i) {
    return static_cast<long>(CLng(Arg(a, i)));
}
} // namespace

void ManagedAreaDetails::DefineMembers() {
    DefineMethod("GetID", [this](Args&) { return Variant(static_cast<int>(GetID())); });
    DefineProperty("ActiveControl", [this](Args&) { return Variant(ActiveControlObject()); });
    DefineMethod("InitDetails", [this](Args& a) {
        return InitDetails(std::dynamic_pointer_cast<Recordset>(ObjectArg(a, 0)), ObjectArg(a, 1),
                           LongArg(a, 2), ObjectArg(a, 3), ObjectArg(a, 4), CStr(Arg(a, 5)));
    });
    DefineMethod("InitModalDetails", [this](Args& a) {
        InitModalDetails(ObjectArg(a, 0), CStr(Arg(a, 1)));
        return Variant();
    });
    DefineMethod("CanClose", [this](Args&) { return Variant(CanClose()); });
    DefineMethod("LoadData", [this](Args& a) {
        LoadData(LongArg(a, 0));
        return Variant();
    });
    DefineMethod("NewData",
                 [this](Args& a) { return Variant(static_cast<int>(NewData(LongArg(a, 0)))); });
    DefineMethod("NotifyListChanges", [this](Args& a) {
        NotifyListChanges(CStr(Arg(a, 0)));
        return Variant();
    });
    DefineMethod("CloneData",
                 [this](Args& a) { return Variant(static_cast<int>(CloneData(LongArg(a, 0)))); });
    DefineMethod("DisplayMessage", [this](Args& a) {
        Args rest(a.begin() + (a.empty() ? 0 : 1), a.end());
        return DisplayMessage(CStr(Arg(a, 0)), rest);
    });
    DefineMethod("Deactivate", [this](Args&) {
        Deactivate();
        return Variant();
    });
}

void ManagedAreaDetails::WireEvents() {
    tabManagedAreas->On("Click", [this](Args& a) {
        try {
            TabChange(static_cast<int>(CLng(Arg(a, 0))));
        } catch (const ComError& e) {
            // A page that failed to fill stays unfilled and is tried again next time.
            common::ReportError("An error occurred showing this page.", e);
        }
    });
    WireGridEvents();
    WireNavigationEvents();
    WireFieldEvents();
    WireCommandEvents();
    WireLinkEvents();
    WireSaveEvents();
}

void RegisterEditor(ProgIdRegistry& registry) {
    registry.Register("ZELK_ManagedArea.ManagedAreaDetails",
                      [] { return std::make_shared<ManagedAreaDetails>(); });
}

} // namespace zelk::editor
