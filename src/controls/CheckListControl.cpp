#include "controls/CheckListControl.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ProgIdRegistry.h"
#include "platform/Recordset.h"

namespace zelk::controls {

namespace {
constexpr long kCheck = 0, kText = 1, kId = 2, kGroup = 3;

std::string IdText(const Variant& v) {
    if (v.IsNull() || v.IsEmpty()) return "";
    // Ids come back as numbers from the database and as text from cells: compare as text of
    // the number so "7" and 7.0 are one id.
    if (v.IsNumber()) return CStr(Variant(CLng(v)));
    return Trim(CStr(v));
}
} // namespace

CheckListControl::CheckListControl(std::string name, std::string typeName)
    : UserControl(std::move(name), std::move(typeName)) {
    grid_ = Add<VSFlexGrid>("Grid");
    grid_->SetEditable(flex::EDKbdMouse);
    // A filtered list lays itself out again on its own resize, after this.
    FillWith(*grid_);
    grid_->SetCols(4);
    grid_->SetFixedRows(0);
    grid_->SetFixedCols(0);
    grid_->SetColKey(kCheck, "Selected");
    grid_->SetColDataType(kCheck, flex::TypeBoolean);
    grid_->SetColKey(kText, "Text");
    grid_->SetColKey(kId, "ID");
    grid_->SetColHidden(kId, true);
    grid_->SetColKey(kGroup, "Group");
    grid_->SetColHidden(kGroup, true);
    // The box alone; the text column takes the rest of the width.
    grid_->SetColWidth(kCheck, 300);
    grid_->On("BeforeEdit", [](Args& a) {
        if (CLng(Arg(a, 1)) != kCheck) a[2] = Variant(true);
    });
    grid_->On("AfterEdit", [this](Args& a) {
        if (CLng(Arg(a, 1)) == kCheck) OnTicked(CLng(Arg(a, 0)));
    });
}

void CheckListControl::LoadDomain(const std::string& table, const std::string& idColumn,
                                  const std::string& textColumn, const std::string& groupColumn) {
    auto client = CreateObject("ZELK_DataClient.Query");
    client->Call("Connect", {Variant(serverName_), Variant(serverType_)});
    auto rsObj = RequireObject(client->Call(
        "Query",
        {Variant(table),
         Variant(idColumn + "," + textColumn + (groupColumn.empty() ? "" : "," + groupColumn)),
         Variant(textColumn)}));
    auto rs = std::dynamic_pointer_cast<Recordset>(rsObj);
    if (!rs) Raise(err::TypeMismatch, "The data client returned no recordset");
    grid_->SetRows(0);
    for (; !rs->EOF(); rs->MoveNext()) {
        long row = AddRow(IdText(rs->Value(idColumn)), CStr(rs->Value(textColumn)));
        if (!groupColumn.empty()) grid_->SetTextMatrix(row, kGroup, IdText(rs->Value(groupColumn)));
    }
    Refresh();
}

long CheckListControl::AddRow(const std::string& id, const std::string& text) {
    long row = grid_->Rows();
    grid_->SetRows(row + 1);
    grid_->SetTextMatrix(row, kCheck, "0");
    grid_->SetTextMatrix(row, kText, text);
    grid_->SetTextMatrix(row, kId, id);
    grid_->SetRowData(row, Variant(id));
    return row;
}

void CheckListControl::BindItems(const ObjectPtr& collection, const std::string& idProperty,
                                 const std::string& textProperty, const std::string& itemProgId) {
    auto* typed = dynamic_cast<bo::IChildCollection*>(collection.get());
    if (!typed) Raise(err::TypeMismatch, "The list needs a child collection");
    collectionObj_ = collection;
    collection_ = typed;
    idProperty_ = idProperty;
    textProperty_ = textProperty;
    itemProgId_ = itemProgId;
    Refresh();
}

void CheckListControl::Refresh() {
    std::set<std::string> ids;
    if (collection_)
        for (long i = 1; i <= collection_->Count(); ++i)
            ids.insert(IdText(collection_->Item(i)->GetProperty(idProperty_)));
    // An item whose id the lookup does not list (retired value) still shows, so that it can be
    // seen and unticked.
    for (const auto& id : ids)
        if (!id.empty() && grid_->FindRow(Variant(id), 0, kId) < 0) {
            long pos = FindItem(id);
            Variant text = textProperty_.empty() || pos == 0
                               ? Variant(id)
                               : collection_->Item(pos)->GetProperty(textProperty_);
            AddRow(id, text.IsNull() ? id : CStr(text));
        }
    for (long row = 0; row < grid_->Rows(); ++row)
        grid_->SetTextMatrix(row, kCheck, ids.count(grid_->TextMatrix(row, kId)) ? "-1" : "0");
    baseline_ = TickedIds();
}

void CheckListControl::ClearList() {
    grid_->SetRows(0);
    collectionObj_.reset();
    collection_ = nullptr;
    baseline_.clear();
}

void CheckListControl::Deactivate() {
    collectionObj_.reset();
    collection_ = nullptr;
}

bool CheckListControl::HasChanges() const {
    return collection_ && TickedIds() != baseline_;
}

bool CheckListControl::IsTicked(long row) const {
    return grid_->TextMatrix(row, kCheck) == "-1";
}

bool CheckListControl::SetTicked(long row, bool ticked) {
    if (IsTicked(row) == ticked) return false;
    return grid_->UserToggleCheck(row, kCheck);
}

std::string CheckListControl::GroupOf(long row) const {
    return grid_->TextMatrix(row, kGroup);
}

void CheckListControl::PutTickedFirst() {
    struct Row {
        std::string cells[4];
        Variant data;
    };
    std::vector<Row> ticked, rest;
    for (long row = 0; row < grid_->Rows(); ++row) {
        Row r{{grid_->TextMatrix(row, kCheck), grid_->TextMatrix(row, kText),
               grid_->TextMatrix(row, kId), grid_->TextMatrix(row, kGroup)},
              grid_->RowData(row)};
        (IsTicked(row) ? ticked : rest).push_back(std::move(r));
    }
    if (ticked.empty()) return;
    ticked.insert(ticked.end(), std::make_move_iterator(rest.begin()),
                  std::make_move_iterator(rest.end()));
    const int redraw = grid_->Redraw();
    grid_->SetRedraw(0);
    for (long row = 0; row < static_cast<long>(ticked.size()); ++row) {
        for (long c = 0; c < 4; ++c)
            grid_->SetTextMatrix(row, c, ticked[static_cast<std::size_t>(row)].cells[c]);
        grid_->SetRowData(row, ticked[static_cast<std::size_t>(row)].data);
    }
    grid_->SetRedraw(redraw);
}

std::set<std::string> CheckListControl::TickedIds() const {
    std::set<std::string> ids;
    for (long row = 0; row < grid_->Rows(); ++row)
        if (IsTicked(row)) ids.insert(grid_->TextMatrix(row, kId));
    return ids;
}

long CheckListControl::FindItem(const std::string& id) const {
    for (long i = 1; i <= collection_->Count(); ++i)
        if (IdText(collection_->Item(i)->GetProperty(idProperty_)) == id) return i;
    return 0;
}

void CheckListControl::OnTicked(long row) {
    if (!collection_) return;
    const std::string id = grid_->TextMatrix(row, kId);
    long pos = FindItem(id);
    if (!IsTicked(row)) {
        if (pos > 0) collection_->Remove(pos);
        return;
    }
    if (pos > 0) return;
    bo::ChildPtr item;
    if (itemProgId_.empty()) {
        item = collection_->AddNew();
    } else {
        item = std::dynamic_pointer_cast<bo::IChildObject>(CreateObject(itemProgId_));
        if (!item) Raise(err::TypeMismatch, itemProgId_ + " is not a child object");
        collection_->Add(item);
    }
    item->SetProperty(idProperty_, Variant(static_cast<int>(CLng(Variant(id)))));
    if (!textProperty_.empty() && item->HasProperty(textProperty_)) {
        try {
            item->SetProperty(textProperty_, Variant(grid_->TextMatrix(row, kText)));
        } catch (const ComError&) {
            // A looked-up text is read from the lookup table; the id is what counts.
        }
    }
    if (!userName_.empty() && item->HasProperty("RecCreateUser"))
        item->SetProperty("RecCreateUser", Variant(userName_));
}

void CheckListControl::DefineCommonListMembers() {
    DefineProperty("Grid", [this](Args&) { return Variant(ObjectPtr(grid_)); });
    DefineProperty(
        "ServerName", [this](Args&) { return Variant(serverName_); },
        [this](const Variant& v, Args&) { serverName_ = CStr(v); });
    DefineProperty(
        "ServerType", [this](Args&) { return Variant(serverType_); },
        [this](const Variant& v, Args&) { serverType_ = CLng(v); });
    DefineProperty(
        "UserName", [this](Args&) { return Variant(userName_); },
        [this](const Variant& v, Args&) { userName_ = CStr(v); });
    DefineMethod("HasChanges", [this](Args&) { return Variant(HasChanges()); });
    DefineMethod("Refresh", [this](Args&) { return Refresh(), Variant(); });
    DefineMethod("ClearList", [this](Args&) { return ClearList(), Variant(); });
    DefineMethod("Deactivate", [this](Args&) { return Deactivate(), Variant(); });
}

} // namespace zelk::controls
