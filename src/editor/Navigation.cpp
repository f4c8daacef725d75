// Walking the working list: positions, the navigator and loading the record at a position.
#include "common/ErrorReport.h"
#include "dialogs/frmGotoRecord.h"
#include "editor/EventSupport.h"
#include "editor/HostCalls.h"
#include "platform/Conv.h"
#include "platform/ProgIdRegistry.h"
#include "search/frmModalSearch.h"
#include "zelk/ManagedAreaDetails.h"

#include <algorithm>
#include <optional>

namespace zelk::editor {

namespace {
// The record ID of the list's current row; none for a row without a usable one (a list
// without an ID column, Null, text, or a number no record ID can be).
std::optional<long> RowId(Recordset& list) {
    if (!list.GetFields().Exists("ID")) return std::nullopt;
    Variant v = list.Value("ID");
    if (v.IsNull() || v.IsEmpty() || !IsNumeric(v)) return std::nullopt;
    const double d = CDbl(v);
    if (d < -2147483648.0 || d > 2147483647.0 || d != static_cast<double>(static_cast<long>(d)))
        return std::nullopt;
    return static_cast<long>(d);
}
} // namespace

bool ListHasIds(const RecordsetPtr& list) {
    return list && list->GetFields().Exists("ID");
}

void ManagedAreaDetails::RefreshNavigator() {
    if (!workingList_ || workingList_->RecordCount() < 1 || !ListHasIds(workingList_)) {
        lblTotalRecords->SetCaption("1");
        txtCurrentRecord->SetText("1");
        return;
    }
    long count = workingList_->RecordCount();
    workingList_->MoveFirst();
    workingList_->Find("ID = " + std::to_string(currentId_));
    if (!workingList_->EOF()) {
        lblTotalRecords->SetCaption(std::to_string(count));
        txtCurrentRecord->SetText(std::to_string(workingList_->AbsolutePosition()));
    } else {
        lblTotalRecords->SetCaption(std::to_string(count + 1));
        txtCurrentRecord->SetText(std::to_string(count + 1));
    }
}

bool ManagedAreaDetails::IsInWorkingListView(long id) {
    RecordsetPtr rs =
        HostQuery(appManager_, "select * from MANAGED_AREA_WL_VW WHERE ID=" + std::to_string(id));
    bool found = !rs->EOF();
    rs->Close();
    return found;
}

long ManagedAreaDetails::FindViewIndex(const std::string& type) {
    if (!views_) return -1;
    long count = static_cast<long>(CLng(views_->Get("Count")));
    for (long i = 1; i <= count; ++i) {
        Variant view = views_->Call("Item", {Variant(static_cast<int>(i))});
        if (!view.IsObject() || !view.Obj()) continue;
        if (CStr(view.Obj()->Call("Item", {Variant(std::string("WORKING_LIST_TYPE"))})) == type)
            return i;
    }
    return -1;
}

void ManagedAreaDetails::LoadCurrentRecord() {
    try {
        loading_ = true;
        ResetTabs();
        ClearControls();
        ma_ = nullptr;
        if (shape_) shape_->ReleaseData();
        shape_ = nullptr;
        shapeObj_ = NewShapeObject();
        shape_ = std::dynamic_pointer_cast<bo::IShape>(shapeObj_);
        shape_->Load(std::to_string(shapeId_));
        ma_ = shape_->ManagedArea(1);
        tabManagedAreas->SetActiveTab(PageIdentifiers);
        TabChange(PageIdentifiers);
        RecorderRecordOpened();
        lblNewRecord->SetVisible(false);
        loading_ = false;
    } catch (const ComError& e) {
        loading_ = false;
        common::ReportError("Unable to change to current record: ", e, "");
    }
}

void ManagedAreaDetails::GotoRecord(const std::string& position) {
    if (!workingList_) return;
    Variant pos(position);
    if (!IsNumeric(pos)) {
        common::ReportError("Unable to goto record.",
                            ComError(13, "Type mismatch: \"" + position + "\" is not a number"),
                            " ");
        return;
    }
    long target = static_cast<long>(CLng(pos));
    long count = workingList_->RecordCount();
    if (target < 1 || target > count) {
        DisplayMessage("APP003");
        txtCurrentRecord->SetText(std::to_string(target < 1 ? ListPosition() : count + 1));
        return;
    }
    Screen::Instance().SetMousePointer(mouse::Hourglass);
    ShowWaitMessage(true, WaitLoading);
    struct Done {
        ManagedAreaDetails& d;
        ~Done() {
            Screen::Instance().SetMousePointer(mouse::Default);
            d.ShowWaitMessage(false);
        }
    } done{*this};
    if (!CanClose()) return;
    if (listChangePending_ && workingList_ != hostList_) {
        // The record that held back the list's change was saved or let go: catch up now.
        listChangePending_ = false;
        DropVanishedRecord();
        count = workingList_->RecordCount();
        if (count < 1) {
            RaiseEvent("Quit");
            return;
        }
        target = std::min(target, count);
    }
    workingList_->MoveFirst();
    workingList_->Move(target - 1);
    long oldId = currentId_, oldShape = shapeId_;
    const std::optional<long> rowId = RowId(*workingList_);
    currentId_ = rowId.value_or(-1);
    shapeId_ = rowId ? LookupShapeId(currentId_) : -1;
    if (shapeId_ == -1) {
        DisplayMessage("APP046");
        currentId_ = oldId;
        shapeId_ = oldShape;
        // The record stays on screen, and so does its place in the list.
        closing_ = false;
        txtCurrentRecord->SetText(std::to_string(ListPosition()));
        return;
    }
    LoadCurrentRecord();
    closing_ = false;
    RefreshRecordHeader();
    txtCurrentRecord->SetText(std::to_string(workingList_->AbsolutePosition()));
    lblTotalRecords->SetCaption(std::to_string(count));
}

long ManagedAreaDetails::ListPosition() {
    if (!workingList_ || workingList_->RecordCount() < 1) return 1;
    long count = workingList_->RecordCount();
    return WorkingListHolds(workingList_, currentId_) ? workingList_->AbsolutePosition()
                                                      : count + 1;
}

void ManagedAreaDetails::OpenWorkingList() {
    if (!ModifiedDataPrompt()) return;
    RecordsetPtr rs = HostQuery(appManager_, "select * from MANAGED_AREA_WL_VW WHERE 1=0");
    auto dlg = std::make_shared<search::frmModalSearch>();
    struct UnloadAtEnd {
        search::frmModalSearch& f;
        ~UnloadAtEnd() { f.Unload(); }
    } unload{*dlg};
    Form* host = TopForm();
    std::string caption = host && host != this ? host->Caption() : std::string();
    if (!dlg->InitDialog("ZELK_ManagedArea.ManagedAreaSearch", appManager_, rs, "")) return;
    // After the set-up, which names the window after the hosted search.
    dlg->SetCaption("Managed Area Search - " + caption);
    dlg->SetIcon(HostIcon());
    dlg->UseSelectedRecordset(true);
    dlg->Show(true);
    if (!rs || rs->RecordCount() < 1) return;
    // The record on screen was offered for saving already, so the first chosen record is
    // loaded without asking again; the list changes only when that record can be shown.
    rs->MoveFirst();
    long id = static_cast<long>(CLng(rs->Value("ID")));
    long shape = LookupShapeId(id);
    if (shape == -1) {
        DisplayMessage("APP046");
        return;
    }
    Screen::Instance().SetMousePointer(mouse::Hourglass);
    ShowWaitMessage(true, WaitLoading);
    workingList_ = rs;
    listChangePending_ = false;
    currentId_ = id;
    shapeId_ = shape;
    LoadCurrentRecord();
    closing_ = false;
    RefreshRecordHeader();
    RefreshNavigator();
    ShowWaitMessage(false);
    Screen::Instance().SetMousePointer(mouse::Default);
}

void ManagedAreaDetails::ShowGotoRecordDialog() {
    if (!workingList_) return;
    auto dlg = std::make_shared<dialogs::frmGotoRecord>();
    struct UnloadAtEnd {
        dialogs::frmGotoRecord& f;
        ~UnloadAtEnd() { f.Unload(); }
    } unload{*dlg};
    dlg->LoadRecordset(workingList_);
    dlg->SetIcon(HostIcon());
    dlg->Show(true);
    long chosen = dlg->GotoRecordPosition();
    long current = ListPosition();
    if (chosen < 1 || chosen == current)
        txtCurrentRecord->SetText(std::to_string(current));
    else
        GotoRecord(std::to_string(chosen));
}

void ManagedAreaDetails::SetModalMode(long mode) {
    bool framed = mode == 0;
    for (const char* key : {"Open", "New", "Delete", "Find", "Goto"})
        if (auto* b = tbManagedAreas->FindButton(key)) b->SetEnabled(framed);
    for (Menu* m : {mnuFileNew, mnuFileOpen, mnuFileOpenElementOccurrences,
                    mnuFileOpenElementTracking, mnuFileOpenEquiSite, mnuFileOpenReferences,
                    mnuFileOpenSites, mnuToolsFind, mnuEditDelete, mnuEditGotoFirst,
                    mnuEditGotoLast, mnuEditGotoNext, mnuEditGotoPrevious, mnuEditGotoRecord})
        m->SetEnabled(framed);
    for (Control* c : {static_cast<Control*>(cmdNavFirst), static_cast<Control*>(cmdNavLast),
                       static_cast<Control*>(cmdNavNext), static_cast<Control*>(cmdNavPrev),
                       static_cast<Control*>(txtCurrentRecord)})
        c->SetEnabled(framed);
}

void ManagedAreaDetails::WireNavigationEvents() {
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
    const char* context = "Unable to goto record.";
    cmdNavFirst->On("Click", Guarded(context, first));
    cmdNavLast->On("Click", Guarded(context, last));
    cmdNavNext->On("Click", Guarded(context, next));
    cmdNavPrev->On("Click", Guarded(context, prev));
    mnuEditGotoFirst->On("Click", Guarded(context, WhenEnabled(mnuEditGotoFirst, first)));
    mnuEditGotoLast->On("Click", Guarded(context, WhenEnabled(mnuEditGotoLast, last)));
    mnuEditGotoNext->On("Click", Guarded(context, WhenEnabled(mnuEditGotoNext, next)));
    mnuEditGotoPrevious->On("Click", Guarded(context, WhenEnabled(mnuEditGotoPrevious, prev)));
    txtCurrentRecord->On("KeyDown", Guarded(context, [this](Args& a) {
                             if (CLng(Arg(a, 0)) == 13) GotoRecord(txtCurrentRecord->Text());
                         }));
    txtCurrentRecord->On("Validate", [this](Args& a) {
        if (!IsNumeric(Variant(txtCurrentRecord->Text())) && !a.empty()) a[0] = Variant(true);
    });
    txtCurrentRecord->On("LostFocus", Guarded(context, [this, count, position](Args&) {
                             long typed = position();
                             if (typed == ListPosition()) return;
                             if (typed == count() + 1 && lblNewRecord->Visible()) return;
                             GotoRecord(txtCurrentRecord->Text());
                         }));
    auto gotoDialog = [this](Args&) { ShowGotoRecordDialog(); };
    txtCurrentRecord->On("DblClick", Guarded(context, gotoDialog));
    mnuEditGotoRecord->On("Click", Guarded(context, WhenEnabled(mnuEditGotoRecord, gotoDialog)));
    mnuToolsFind->On("Click",
                     Guarded("An error occurred opening the working list.",
                             WhenEnabled(mnuToolsFind, [this](Args&) { OpenWorkingList(); })));
}

} // namespace zelk::editor
