// The control's late-bound members and the wiring of its own controls' events.
#include "common/ErrorReport.h"
#include "controls/DomainSelectGrid.h"
#include "editor/RegisterEditor.h"
#include "platform/Conv.h"
#include "platform/ProgIdRegistry.h"
#include "platform/ui/UiDriver.h"
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
    const std::pair<CheckBox*, const char*> checks[] = {
        {chkMultiJuris, "MultiJurisInd"},
        {chkBoundariesMapped, "BoundariesMappedInd"},
        {chkContiguous, "ContiguousInd"},
        {chkManagementPlan, "MgmtPlanInd"}};
    for (const auto& [box, field] : checks)
        box->On("Click", [this, box = box, field = field](Args&) { CheckBoxClicked(box, field); });

    auto guarded = [](const char* context, auto f) {
        return [context, f](Args& a) {
            try {
                f(a);
            } catch (const ComError& e) {
                common::ReportError(context, e);
            }
        };
    };
    auto count = [this] { return workingList_ ? workingList_->RecordCount() : 0; };
    auto position = [this] {
        Variant v(txtCurrentRecord->Text());
        return IsNumeric(v) ? static_cast<long>(CLng(v)) : 0L;
    };
    auto first = [this](Args&) { GotoRecord("1"); };
    auto last = [this, count](Args&) { GotoRecord(std::to_string(count())); };
    auto next = [this, count, position](Args&) {
        if (position() < count()) GotoRecord(std::to_string(position() + 1));
    };
    auto prev = [this, position](Args&) {
        if (position() != 1) GotoRecord(std::to_string(position() - 1));
    };
    cmdNavFirst->On("Click", guarded("Unable to goto record.", first));
    cmdNavLast->On("Click", guarded("Unable to goto record.", last));
    cmdNavNext->On("Click", guarded("Unable to goto record.", next));
    cmdNavPrev->On("Click", guarded("Unable to goto record.", prev));
    auto whenEnabled = [](Menu* m, auto f) {
        return [m, f](Args& a) {
            if (m->Enabled()) f(a);
        };
    };
    mnuEditGotoFirst->On("Click",
                         guarded("Unable to goto record.", whenEnabled(mnuEditGotoFirst, first)));
    mnuEditGotoLast->On("Click",
                        guarded("Unable to goto record.", whenEnabled(mnuEditGotoLast, last)));
    mnuEditGotoNext->On("Click",
                        guarded("Unable to goto record.", whenEnabled(mnuEditGotoNext, next)));
    mnuEditGotoPrevious->On(
        "Click", guarded("Unable to goto record.", whenEnabled(mnuEditGotoPrevious, prev)));
    txtCurrentRecord->On("KeyDown", guarded("Unable to goto record.", [this](Args& a) {
                             if (CLng(Arg(a, 0)) == 13) GotoRecord(txtCurrentRecord->Text());
                         }));
    txtCurrentRecord->On("Validate", [this](Args& a) {
        if (!IsNumeric(Variant(txtCurrentRecord->Text())) && !a.empty()) a[0] = Variant(true);
    });
    mnuFileSave->On("Click", guarded("An error occurred while saving the record.",
                                     whenEnabled(mnuFileSave, [this](Args&) { SaveData(); })));
    mnuFilePrint->On("Click", whenEnabled(mnuFilePrint, [](Args&) {
                         Ui().MsgBox("This function has not yet been implemented.", vb::OKOnly,
                                     common::kModuleTitle);
                     }));
    mnuFileClose->On("Click", whenEnabled(mnuFileClose, [this](Args&) { RaiseEvent("Quit"); }));
    tbManagedAreas->On("ButtonClick", [this](Args& a) {
        std::string key = CStr(RequireObject(Arg(a, 0))->Get("Key"));
        Menu* target = IEquals(key, "Save")    ? mnuFileSave
                       : IEquals(key, "Print") ? mnuFilePrint
                                               : nullptr;
        if (target) target->UserClick();
    });
}

void RegisterEditor(ProgIdRegistry& registry) {
    registry.Register("ZELK_ManagedArea.ManagedAreaDetails",
                      [] { return std::make_shared<ManagedAreaDetails>(); });
}

} // namespace zelk::editor
