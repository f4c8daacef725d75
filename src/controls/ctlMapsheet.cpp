#include "controls/ctlMapsheet.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ProgIdRegistry.h"
#include "platform/ui/UiDriver.h"

namespace zelk::controls {

namespace {
const char* const kColumns[] = {"MapsheetName", "MapsheetCode", "DotNum", "MarginNum", "TenTen"};
const char* const kHeaders[] = {"Name", "Code", "DOT", "Margin", "Ten-Ten"};
constexpr long kCodeCol = 1;
constexpr long kFixed = 1;
} // namespace

ctlMapsheet::ctlMapsheet(std::string name) : UserControl(std::move(name), "ctlMapsheet") {
    grid_ = Add<VSFlexGrid>("Grid");
    grid_->SetEditable(flex::EDKbdMouse);
    FillWith(*grid_);
    grid_->SetCols(5);
    grid_->SetFixedRows(kFixed);
    grid_->SetFixedCols(0);
    grid_->SetRows(kFixed);
    for (long c = 0; c < 5; ++c) {
        grid_->SetColKey(c, kColumns[c]);
        grid_->SetTextMatrix(0, c, kHeaders[c]);
    }
    grid_->On("BeforeEdit", [this](Args& a) {
        // Only the code of the empty last row can be typed; the rest comes from the lookup.
        const bool newRow = CLng(Arg(a, 0)) == grid_->Rows() - 1 && collection_;
        if (!allowEdit_ || !newRow || CLng(Arg(a, 1)) != kCodeCol) a[2] = Variant(true);
    });
    grid_->On("ValidateEdit", [this](Args& a) {
        if (LookupCode(Trim(grid_->EditText())).empty()) {
            Ui().MsgBox("There is no mapsheet with the code " + Trim(grid_->EditText()) + ".",
                        vb::Exclamation, "");
            a[2] = Variant(true);
        }
    });
    grid_->On("AfterEdit", [this](Args& a) { AddMapsheet(CLng(Arg(a, 0))); });
    grid_->On("KeyDown", [this](Args& a) {
        if (CLng(Arg(a, 0)) == key::Delete && !grid_->Editing() && !grid_->Locked() &&
            DeleteRow(grid_->Row()))
            a[0] = Variant(0);
    });
    DefineMembers();
}

void ctlMapsheet::BindCollection(const ObjectPtr& collection) {
    auto* typed = dynamic_cast<bo::IChildCollection*>(collection.get());
    if (!typed) Raise(err::TypeMismatch, "The mapsheet grid needs a child collection");
    collectionObj_ = collection;
    collection_ = typed;
    Refresh();
}

void ctlMapsheet::Refresh() {
    grid_->SetRows(kFixed);
    if (!collection_) return;
    const long count = collection_->Count();
    grid_->SetRows(kFixed + count + 1);
    for (long i = 1; i <= count; ++i) {
        auto item = collection_->Item(i);
        grid_->SetRowData(kFixed + i - 1, Variant(item->UniqueID()));
        for (long c = 0; c < 5; ++c) {
            Variant v = item->GetProperty(kColumns[c]);
            grid_->SetTextMatrix(kFixed + i - 1, c, v.IsNull() ? "" : CStr(v));
        }
    }
}

void ctlMapsheet::ClearGrid() {
    collectionObj_.reset();
    collection_ = nullptr;
    grid_->SetRows(kFixed);
}

bool ctlMapsheet::DeleteRow(long row) {
    if (!allowEdit_ || !collection_ || row < kFixed || row >= grid_->Rows() - 1) return false;
    const std::string id = CStr(grid_->RowData(row));
    for (long i = 1; i <= collection_->Count(); ++i)
        if (collection_->Item(i)->UniqueID() == id) {
            collection_->Remove(i);
            grid_->RemoveItem(row);
            return true;
        }
    return false;
}

void ctlMapsheet::ReleaseData() {
    ClearGrid();
    appManager_.reset();
    mapsheets_.reset();
}

std::string ctlMapsheet::LookupCode(const std::string& code) {
    if (code.empty()) return "";
    if (!mapsheets_) {
        auto client = CreateObject("ZELK_DataClient.Query");
        Variant server = appManager_ ? appManager_->Call("GetServerName") : Variant("");
        Variant type = appManager_ ? appManager_->Call("GetServerType") : Variant(1);
        client->Call("Connect", {server, type});
        mapsheets_ = std::dynamic_pointer_cast<Recordset>(RequireObject(client->Call(
            "Query", {Variant("d_mapsheet"), Variant("d_mapsheet_id,mapsheet_cd"), Variant("")})));
        if (!mapsheets_) Raise(err::TypeMismatch, "The data client returned no recordset");
    }
    if (mapsheets_->RecordCount() == 0) return "";
    for (mapsheets_->MoveFirst(); !mapsheets_->EOF(); mapsheets_->MoveNext())
        if (IEquals(CStr(mapsheets_->Value("mapsheet_cd")), code))
            return CStr(mapsheets_->Value("d_mapsheet_id"));
    return "";
}

void ctlMapsheet::AddMapsheet(long row) {
    std::string id = LookupCode(Trim(grid_->TextMatrix(row, kCodeCol)));
    if (id.empty() || !collection_) return;
    auto item = collection_->AddNew();
    item->SetProperty("DMapsheetId", Variant(static_cast<int>(CLng(Variant(id)))));
    if (item->HasProperty("DisplayOrder"))
        item->SetProperty("DisplayOrder", Variant(static_cast<int>(collection_->Count())));
    Refresh();
}

void ctlMapsheet::DefineMembers() {
    DefineProperty("Grid", [this](Args&) { return Variant(ObjectPtr(grid_)); });
    DefineProperty(
        "AppManager", [this](Args&) { return Variant(appManager_); },
        [this](const Variant& v, Args&) { appManager_ = v.IsObject() ? v.Obj() : nullptr; });
    DefineProperty(
        "AllowEdit", [this](Args&) { return Variant(allowEdit_); },
        [this](const Variant& v, Args&) { allowEdit_ = CBool(v); });
    DefineMethod("BindCollection", [this](Args& a) {
        BindCollection(RequireObject(Arg(a, 0)));
        return Variant();
    });
    DefineMethod("HasChanges", [this](Args&) { return Variant(HasChanges()); });
    DefineMethod("Refresh", [this](Args&) { return Refresh(), Variant(); });
    DefineMethod("ClearGrid", [this](Args&) { return ClearGrid(), Variant(); });
    DefineMethod("DeleteRow", [this](Args& a) { return Variant(DeleteRow(CLng(Arg(a, 0)))); });
    DefineMethod("ReleaseData", [this](Args&) { return ReleaseData(), Variant(); });
}

} // namespace zelk::controls
