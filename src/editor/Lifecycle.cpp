// The host contract: initialisation, loading a record, starting a new one, closing and release.
#include "common/ErrorReport.h"
#include "common/FrameworkClasses.h"
#include "controls/ctlMapsheet.h"
#include "editor/HostCalls.h"
#include "platform/Collection.h"
#include "platform/Conv.h"
#include "platform/ProgIdRegistry.h"
#include "platform/Strings.h"
#include "platform/ui/UiDriver.h"
#include "zelk/ManagedAreaDetails.h"

namespace zelk::editor {

namespace {
constexpr const char* kShapeProgId = "ZELK_ManagedAreaClient.CShape";

// Restores the pointer and the loading flag however a load ends, so a failed load leaves the
// control usable and its change handlers listening again.
class LoadScope {
public:
    explicit LoadScope(bool& loading) : loading_(loading) { loading_ = true; }
    ~LoadScope() {
        loading_ = false;
        Screen::Instance().SetMousePointer(mouse::Default);
    }
    LoadScope(const LoadScope&) = delete;
    LoadScope& operator=(const LoadScope&) = delete;

private:
    bool& loading_;
};
} // namespace

ManagedAreaDetails::ManagedAreaDetails(std::string name)
    : UserControl(std::move(name), "ManagedAreaDetails") {
    CreateControls();
    WireEvents();
    DefineMembers();
}

ManagedAreaDetails::~ManagedAreaDetails() {
    ReleaseObjects(false);
}

std::string ManagedAreaDetails::UserName() {
    return CStr(CallHost(appManager_, "GetUserName"));
}
std::string ManagedAreaDetails::ServerName() {
    return CStr(CallHost(appManager_, "GetServerName"));
}
int ManagedAreaDetails::ServerType() {
    return static_cast<int>(CLng(CallHost(appManager_, "GetServerType")));
}

void ManagedAreaDetails::StoreHostReferences(const ObjectPtr& objAppManager) {
    tabGuard_ = false;
    initFlag_ = false;
    appManager_ = objAppManager;
    recorder_ = common::NewChangeRecorder();
    ObjectPtr self = shared_from_this();
    recorder_->Call("Init", {CallHost(appManager_, "GetUserID"), Variant(appManager_)});
    recorder_->Call("Register", {Variant(ControlsObject()), Variant(TypeName()), Variant(self)});
    CallHost(appManager_, "ApplySecurity",
             {Variant(self), Variant(), Variant(TypeName()), Variant(ControlsObject())});
    // The fields get their tags (and so the host's locks) only as their pages fill, so the
    // editor locks each page itself for a user who may not save.
    readOnly_ = UCase(CStr(CallHost(appManager_, "GetControlAccess",
                                    {Variant(std::string("ManagedAreaDetails")),
                                     Variant(std::string("mnuFileSave"))}))) != "F";
}

Variant ManagedAreaDetails::InitDetails(const RecordsetPtr& rsView, const ObjectPtr& objAppManager,
                                        long lngViewID, const ObjectPtr& objWinMan,
                                        const ObjectPtr& colViews,
                                        const std::string& /*strExtraInfo*/) {
    Screen::Instance().SetMousePointer(mouse::Hourglass);
    workingList_ = rsView;
    hostList_ = rsView;
    viewId_ = lngViewID;
    winMan_ = objWinMan;
    views_ = colViews;
    StoreHostReferences(objAppManager);
    Screen::Instance().SetMousePointer(mouse::Default);
    return Variant();
}

void ManagedAreaDetails::InitModalDetails(const ObjectPtr& objAppManager,
                                          const std::string& /*strExtraInfo*/) {
    workingList_ = nullptr;
    hostList_ = nullptr;
    winMan_ = nullptr;
    viewId_ = -1;
    Variant vm = CallHost(objAppManager, "ViewManager");
    views_ = vm.IsObject() && vm.Obj() ? RequireObject(vm.Obj()->Get("colViews")) : nullptr;
    StoreHostReferences(objAppManager);
    SetModalMode(1);
}

long ManagedAreaDetails::LookupShapeId(long managedAreaId) {
    std::string sql = std::string("Select Shape_ID from ") + "MA" + " where " + "managed_area_id" +
                      "=" + std::to_string(managedAreaId);
    try {
        RecordsetPtr rs = HostQuery(appManager_, sql);
        long id = -1;
        if (!rs->EOF()) id = static_cast<long>(CLng(rs->Value("Shape_ID")));
        rs->Close();
        return id;
    } catch (const ComError& e) {
        common::ReportError("Could not find the Shape associated with this record.", e, " ");
        return -1;
    }
}

ObjectPtr ManagedAreaDetails::NewShapeObject() {
    ObjectPtr obj = CreateObject(kShapeProgId);
    auto shape = std::dynamic_pointer_cast<bo::IShape>(obj);
    if (!shape) Raise(13, "Type mismatch: the shape class does not offer the shape interface");
    shape->Connect(ServerName(), ServerType());
    return obj;
}

void ManagedAreaDetails::LoadData(long lngIDLocal) {
    loadStart_ = std::chrono::steady_clock::now();
    Screen::Instance().SetMousePointer(mouse::Hourglass);
    LoadScope scope(loading_);
    currentId_ = lngIDLocal;
    shapeId_ = LookupShapeId(lngIDLocal);
    // Pages filled for the record before are bound to its objects: they fill again.
    if (shape_) {
        ResetTabs();
        ClearControls();
        shape_->ReleaseData();
    }
    ma_ = nullptr;
    shape_ = nullptr;
    shapeObj_ = NewShapeObject();
    shape_ = std::dynamic_pointer_cast<bo::IShape>(shapeObj_);
    shape_->Load(std::to_string(shapeId_));
    ma_ = shape_->ManagedArea(1);
    tabManagedAreas->SetActiveTab(PageIdentifiers);
    TabChange(PageIdentifiers);
    RefreshRecordHeader();
    RefreshNavigator();
    lblNewRecord->SetVisible(false);
    RecorderRecordOpened();
    ShowWaitMessage(false);
}

long ManagedAreaDetails::NewData(long /*lngIDLocal*/) {
    Screen::Instance().SetMousePointer(mouse::Hourglass);
    ShowWaitMessage(true, WaitPleaseWait);
    long newId = -1;
    {
        LoadScope scope(loading_);
        if (shape_) {
            ResetTabs();
            ClearControls();
            shape_->ReleaseData();
        }
        ma_ = nullptr;
        shape_ = nullptr;
        shapeObj_ = NewShapeObject();
        shape_ = std::dynamic_pointer_cast<bo::IShape>(shapeObj_);
        std::string user = UserName();
        shape_->NewRecord();
        shape_->SetCreateUser(user);
        shape_->SetLastModUser(user);
        shape_->SetOrgUnitId(static_cast<long>(CLng(CallHost(appManager_, "GetSystemOrgUnitID"))));
        shapeId_ = shape_->ShapeId();
        ma_ = shape_->ManagedArea(1);
        // The new managed area already belongs to the new shape; the save writes the link.
        ma_->SetProperty("RecCreateUser", Variant(user));
        ma_->SetProperty("RecLastModUser", Variant(user));
        newId = ma_->ManagedAreaId();
        currentId_ = newId;
        tabManagedAreas->SetActiveTab(PageIdentifiers);
        TabChange(PageIdentifiers);
        lblTotalRecords->SetCaption("1");
        txtCurrentRecord->SetText("1");
        RefreshRecordHeader();
        RefreshNavigator();
        lblNewRecord->SetVisible(true);
    }
    RecorderRecordOpened();
    ShowWaitMessage(false);
    Screen::Instance().SetMousePointer(mouse::Default);
    return newId;
}

void ManagedAreaDetails::RecorderRecordOpened() {
    if (!recorder_) return;
    recorder_->Call("RecordOpened",
                    {Variant(ControlsObject()), Variant(TypeName()), Variant(shared_from_this()),
                     Variant(static_cast<int>(currentId_))});
}

void ManagedAreaDetails::RefreshRecordHeader() {
    if (closing_ || !ma_) return;
    std::string name = TextOf(ma_->GetProperty("ManagedAreaName"));
    txtSummaryMAName->SetText(name);
    txtSummaryMAName->SetToolTipText(name);
    SetHostCaption(HostCaption(name));
    std::string code;
    Variant orgUnit = ma_->GetProperty("OrgUnitId");
    if (IsNumeric(orgUnit)) {
        code = CStr(CallHost(appManager_, "GetOrgUnitCode", {orgUnit}));
        if (code == "-1") code.clear();
    }
    lblUniversalKey->SetCaption(code + "-" + std::to_string(ma_->ManagedAreaId()));
    lblShapeID->SetCaption(std::to_string(shapeId_));
}

std::string ManagedAreaDetails::HostCaption(const std::string& name) {
    return "MA - " + name + " (Managed Area)";
}

void ManagedAreaDetails::SetHostCaption(const std::string& caption) {
    Form* host = TopForm();
    if (host && host != this) host->SetCaption(caption);
}

std::string ManagedAreaDetails::HostIcon() const {
    Form* host = const_cast<ManagedAreaDetails*>(this)->TopForm();
    return host && host != this ? host->Icon() : std::string();
}

bool ManagedAreaDetails::RecordIsModified() {
    if (!shape_) return false;
    if (shape_->IsNew() || shape_->HasChanges() || shape_->HasChildChanges()) return true;
    if (IsDataModified()) return true;
    return recorder_ && CBool(recorder_->Call("HasChanges"));
}

bool ManagedAreaDetails::ModifiedDataPrompt() {
    if (!RecordIsModified()) return true;
    int answer = static_cast<int>(CLng(DisplayMessage("MGA001")));
    if (answer == vb::Cancel) return false;
    if (answer == vb::Yes) return SaveData();
    return true;
}

bool ManagedAreaDetails::CanClose() {
    bool result = true;
    try {
        std::string access = CStr(CallHost(
            appManager_, "GetControlAccess",
            {Variant(std::string("ManagedAreaDetails")), Variant(std::string("mnuFileSave"))}));
        if (UCase(access) == "F") {
            ValidateControls();
            if (!deleted_) {
                result = ModifiedDataPrompt();
                closing_ = result;
                // A record kept open stays marked as changed, so the next close asks again.
                if (result) modified_ = false;
            }
        }
    } catch (const ComError& e) {
        common::ReportError("An error occurred while checking for modified data.", e);
        result = true;
    }
    deleted_ = false;
    return result;
}

void ManagedAreaDetails::NotifyListChanges(const std::string& /*strEvent*/) {
    if (!workingList_ || deleted_) return;
    Screen::Instance().SetMousePointer(mouse::Hourglass);
    struct PointerBack {
        ~PointerBack() { Screen::Instance().SetMousePointer(mouse::Default); }
    } back;
    // A new record is not in any list yet and an edited one must not be replaced: both stay on
    // screen with their place in the list, and the list catches up when the user moves.
    const bool keepOnScreen = shape_ && (shape_->IsNew() || RecordIsModified());
    if (workingList_ == hostList_) {
        if (keepOnScreen && shape_->IsNew()) return;
        RefreshNavigator();
        if (workingList_->RecordCount() < 1 || workingList_->EOF()) {
            lblTotalRecords->SetCaption("1");
            txtCurrentRecord->SetText("1");
        }
        return;
    }
    if (keepOnScreen) {
        listChangePending_ = true;
        return;
    }
    listChangePending_ = false;
    DropVanishedRecord();
    long count = workingList_->RecordCount();
    if (count < 1) {
        RaiseEvent("Quit");
        return;
    }
    long pos = IsNumeric(Variant(txtCurrentRecord->Text()))
                   ? static_cast<long>(CLng(Variant(txtCurrentRecord->Text())))
                   : 1;
    if (pos > count) pos = count;
    if (pos < 1) pos = 1;
    workingList_->MoveFirst();
    workingList_->Move(pos - 1);
    long id = static_cast<long>(CLng(workingList_->Value("ID")));
    if (id != currentId_) {
        currentId_ = id;
        shapeId_ = LookupShapeId(id);
        LoadCurrentRecord();
        closing_ = false;
        RefreshRecordHeader();
    }
    txtCurrentRecord->SetText(std::to_string(pos));
    lblTotalRecords->SetCaption(std::to_string(count));
}

void ManagedAreaDetails::DropVanishedRecord() {
    if (currentId_ < 0 || IsInWorkingListView(currentId_)) return;
    if (workingList_->RecordCount() > 0 && ListHasIds(workingList_)) {
        workingList_->MoveFirst();
        workingList_->Find("ID=" + std::to_string(currentId_));
        if (!workingList_->EOF()) workingList_->Delete();
    }
}

long ManagedAreaDetails::CloneData(long /*lngIDLocal*/) {
    Ui().MsgBox("This method has been depracated!", vb::OKOnly, common::kModuleTitle);
    return -1;
}

Variant ManagedAreaDetails::DisplayMessage(const std::string& strMessageID, const Args& arguments) {
    auto col = std::make_shared<Collection>();
    for (const auto& a : arguments)
        col->Add(a);
    return CallHost(appManager_, "Message", {Variant(strMessageID), Variant(ObjectPtr(col))});
}

ObjectPtr ManagedAreaDetails::ActiveControlObject() {
    Control* top = ActiveControl();
    if (!top) return nullptr;
    ObjectPtr current = top->shared_from_this();
    while (current) {
        Variant next;
        try {
            next = current->Get("ActiveControl");
        } catch (const ComError&) {
            return current;
        }
        if (!next.IsObject()) return current;
        current = next.Obj();
    }
    return nullptr;
}

void ManagedAreaDetails::Deactivate() {
    auto quietly = [](auto&& f) {
        try {
            f();
        } catch (const std::exception&) {
            // Release goes on whatever one part of it says.
        }
    };
    quietly([&] { DeactivateBindGrids(); });
    quietly([&] { ResetTabs(); });
    quietly([&] {
        if (shape_) shape_->DropBindings();
    });
    quietly([&] {
        if (shape_) shape_->OtherSpatialAttributes().Release();
    });
    quietly([&] {
        if (ma_) ma_->Children(bo::ChildList::References).Release();
    });
    quietly([&] {
        if (ma_) ma_->DropBindings();
    });
    quietly([&] {
        if (shape_) shape_->ReleaseData();
    });
    quietly([&] {
        if (ctlMapsheet) ctlMapsheet->Call("ReleaseData");
    });
    quietly([&] {
        if (ctlElement) ctlElement->Call("Clear");
    });
    ReleaseObjects(true);
}

void ManagedAreaDetails::ReleaseObjects(bool /*callThem*/) {
    ma_ = nullptr;
    shape_ = nullptr;
    shapeObj_ = nullptr;
    winMan_ = nullptr;
    appManager_ = nullptr;
    workingList_ = nullptr;
    hostList_ = nullptr;
    domains_.clear();
    recorder_ = nullptr;
    views_ = nullptr;
}

void ManagedAreaDetails::ShowWaitMessage(bool visible, int kind) {
    picActivityWait->SetVisible(visible);
    picWaitMessage->SetVisible(visible);
    if (visible && kind >= WaitLoading && kind <= WaitCopying) {
        static const char* const keys[] = {"Loading", "Saving", "Deleting", "PleaseWait",
                                           "Copying"};
        picWaitMessage->SetPicture(ilManagedAreaDetail->Picture(keys[kind - 1]));
        picWaitMessage->Move((picActivityWait->Width() - picWaitMessage->Width()) / 2,
                             (picActivityWait->Height() - picWaitMessage->Height()) / 2);
    }
    if (visible) DoEvents();
}

void ManagedAreaDetails::PlaceWaitPanel() {
    picActivityWait->Move(tabManagedAreas->Left() + tabManagedAreas->ClientLeft() + 50,
                          tabManagedAreas->Top() + tabManagedAreas->ClientTop() + 50,
                          tabManagedAreas->ClientWidth() - 100,
                          tabManagedAreas->ClientHeight() - 100);
}

} // namespace zelk::editor
