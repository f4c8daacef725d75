#include "controls/ctrlBindGrid.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ui/UiDriver.h"

namespace zelk::controls {

namespace {
std::vector<std::string> SplitList(const std::string& list) {
    std::vector<std::string> out;
    for (auto& part : Split(list, ","))
        if (auto t = Trim(part); !t.empty()) out.push_back(t);
    return out;
}
} // namespace

ctrlBindGrid::ctrlBindGrid(std::string name) : UserControl(std::move(name), "ctrlBindGrid") {
    grid_ = Add<VSFlexGrid>("Grid");
    grid_->SetEditable(flex::EDKbdMouse);
    grid_->SetFixedRows(1);
    grid_->SetFixedCols(0);
    grid_->SetRows(1);
    FillWith(*grid_);
    On("Resize", [this](Args&) { ApplyWidths(); });
    grid_->On("ValidateEdit", [this](Args& a) { RaiseEvent("ValidateEdit", a); });
    grid_->On("AfterEdit", [this](Args& a) {
        OnAfterEdit(CLng(Arg(a, 0)), CLng(Arg(a, 1)));
        RaiseEvent("AfterEdit", a);
    });
    grid_->On("KeyDown", [this](Args& a) {
        if (CLng(Arg(a, 0)) != key::Delete || grid_->Editing() || grid_->Locked()) return;
        if (DeleteRow(grid_->Row())) a[0] = Variant(0);
    });
    DefineMembers();
}

void ctrlBindGrid::BindCollection(const ObjectPtr& collection, const std::string& bindList) {
    auto* typed = dynamic_cast<bo::IChildCollection*>(collection.get());
    if (!typed) Raise(err::TypeMismatch, "The bind grid needs a child collection");
    collectionObj_ = collection;
    collection_ = typed;
    bound_ = SplitList(bindList);
    refused_.clear();
    if (!keepExtra_ || grid_->Cols() < static_cast<long>(bound_.size()))
        grid_->SetCols(static_cast<long>(bound_.size()));
    for (std::size_t c = 0; c < bound_.size(); ++c)
        grid_->SetColKey(static_cast<long>(c), bound_[c]);
    FillRows();
}

void ctrlBindGrid::FillRows() {
    const long fixed = grid_->FixedRows();
    const long count = collection_ ? collection_->Count() : 0;
    grid_->SetRows(fixed);
    grid_->SetRows(fixed + count);
    for (long i = 1; i <= count; ++i) {
        auto item = collection_->Item(i);
        const long row = fixed + i - 1;
        grid_->SetRowData(row, Variant(item->UniqueID()));
        for (const auto& prop : bound_) {
            Variant v = item->HasProperty(prop) ? item->GetProperty(prop) : Variant::Null();
            grid_->SetTextMatrix(row, grid_->ColIndex(prop), v.IsNull() ? "" : CStr(v));
        }
    }
    if (collection_) AddNewRow();
}

void ctrlBindGrid::AddNewRow() {
    grid_->SetRows(grid_->Rows() + 1);
    grid_->SetRowData(grid_->Rows() - 1, Variant());
}

void ctrlBindGrid::SetVisibleColumns(const std::string& list) {
    auto visible = SplitList(list);
    for (const auto& prop : bound_) {
        bool show = false;
        for (const auto& v : visible)
            show = show || IEquals(v, prop);
        grid_->SetColHidden(grid_->ColIndex(prop), !show);
    }
    ApplyWidths();
}

void ctrlBindGrid::SetColumnOption(const std::string& key, bool on) {
    if (on)
        required_.insert(key);
    else
        required_.erase(key);
}

void ctrlBindGrid::ClearGrid() {
    collectionObj_.reset();
    collection_ = nullptr;
    refused_.clear();
    grid_->SetRows(grid_->FixedRows());
}

void ctrlBindGrid::SetCreateDefault(const std::string& property, const Variant& value) {
    for (auto& d : createDefaults_)
        if (IEquals(d.first, property)) return void(d.second = value);
    createDefaults_.emplace_back(property, value);
}

void ctrlBindGrid::SetModifyDefault(const std::string& property, const Variant& value) {
    for (auto& d : modifyDefaults_)
        if (IEquals(d.first, property)) return void(d.second = value);
    modifyDefaults_.emplace_back(property, value);
}

bool ctrlBindGrid::HasChanges() const {
    return collection_ && collection_->HasChanges();
}

bool ctrlBindGrid::IsValid() {
    if (!collection_) return true;
    if (!refused_.empty()) {
        auto [row, col] = *refused_.begin();
        grid_->UserSelect(row, col);
        Ui().MsgBox("The value in row " + std::to_string(row) + " was not accepted.",
                    vb::Exclamation, "");
        return false;
    }
    for (long row = grid_->FixedRows(); row < grid_->Rows(); ++row) {
        if (Position(row) == 0) continue;
        for (const auto& key : required_) {
            long col = grid_->ColIndex(key);
            if (col < 0 || !Trim(grid_->TextMatrix(row, col)).empty()) continue;
            grid_->UserSelect(row, col);
            Ui().MsgBox("Please enter a value in every row of this list.", vb::Exclamation, "");
            return false;
        }
    }
    return true;
}

bool ctrlBindGrid::StoreToCollection() {
    if (!collection_) return true;
    for (long row = grid_->FixedRows(); row < grid_->Rows(); ++row) {
        long pos = Position(row);
        if (pos == 0) continue;
        auto item = collection_->Item(pos);
        for (const auto& prop : bound_) {
            long col = grid_->ColIndex(prop);
            Variant v = item->GetProperty(prop);
            if ((v.IsNull() ? "" : CStr(v)) != grid_->TextMatrix(row, col))
                WriteCell(*item, row, col);
        }
    }
    return refused_.empty();
}

void ctrlBindGrid::PostSave() {
    refused_.clear();
    if (collection_) FillRows();
}

void ctrlBindGrid::Refresh() {
    refused_.clear();
    if (collection_) FillRows();
}

bool ctrlBindGrid::DeleteRow(long row) {
    long pos = Position(row);
    if (pos == 0) return false;
    collection_->Remove(pos);
    grid_->RemoveItem(row);
    std::erase_if(refused_, [row](const auto& cell) { return cell.first == row; });
    return true;
}

void ctrlBindGrid::Deactivate() {
    collectionObj_.reset();
    collection_ = nullptr;
    refused_.clear();
}

void ctrlBindGrid::SetExtendLastCol(bool v) {
    extendLastCol_ = v;
    ApplyWidths();
}

void ctrlBindGrid::ApplyWidths() {
    if (!extendLastCol_) return;
    long used = 0, last = -1;
    for (long c = 0; c < grid_->Cols(); ++c)
        if (!grid_->ColHidden(c)) {
            used += grid_->ColWidth(c);
            last = c;
        }
    if (last < 0) return;
    long spare = Width() - used;
    if (spare > 0) grid_->SetColWidth(last, grid_->ColWidth(last) + spare);
}

long ctrlBindGrid::Position(long row) const {
    if (!collection_ || row < grid_->FixedRows() || row >= grid_->Rows()) return 0;
    const Variant& key = grid_->RowData(row);
    if (key.IsEmpty()) return 0;
    const std::string id = CStr(key);
    for (long i = 1; i <= collection_->Count(); ++i)
        if (collection_->Item(i)->UniqueID() == id) return i;
    return 0;
}

void ctrlBindGrid::OnAfterEdit(long row, long col) {
    if (!collection_ || col < 0 || col >= static_cast<long>(grid_->Cols())) return;
    bool bound = false;
    for (const auto& prop : bound_)
        bound = bound || IEquals(prop, grid_->ColKey(col));
    if (!bound) return; // a column of the caller's own
    long pos = Position(row);
    bo::ChildPtr item;
    if (pos == 0) {
        if (row != grid_->Rows() - 1) return;
        item = collection_->AddNew();
        for (const auto& [prop, value] : createDefaults_)
            if (item->HasProperty(prop)) item->SetProperty(prop, value);
        if (item->HasProperty("DisplayOrder"))
            item->SetProperty("DisplayOrder", Variant(static_cast<int>(collection_->Count())));
        grid_->SetRowData(row, Variant(item->UniqueID()));
        AddNewRow();
    } else {
        item = collection_->Item(pos);
    }
    WriteCell(*item, row, col);
}

void ctrlBindGrid::WriteCell(bo::IChildObject& item, long row, long col) {
    const std::string& prop = grid_->ColKey(col);
    const std::string text = grid_->TextMatrix(row, col);
    try {
        item.SetProperty(prop, text.empty() ? Variant::Null() : Variant(text));
        refused_.erase({row, col});
        for (const auto& [p, value] : modifyDefaults_)
            if (item.HasProperty(p)) item.SetProperty(p, value);
    } catch (const ComError& e) {
        // The object keeps its old value; the cell keeps the text so the user can correct it,
        // and the grid stays invalid until then.
        refused_.insert({row, col});
        Ui().MsgBox("The value could not be stored.\n\n" + e.Description(), vb::Exclamation, "");
    }
}

void ctrlBindGrid::DefineMembers() {
    DefineProperty("Grid", [this](Args&) { return Variant(ObjectPtr(grid_)); });
    DefineMethod("BindCollection", [this](Args& a) {
        BindCollection(RequireObject(Arg(a, 0)), CStr(Arg(a, 1)));
        return Variant();
    });
    DefineMethod("SetVisibleColumns", [this](Args& a) {
        SetVisibleColumns(CStr(Arg(a, 0)));
        return Variant();
    });
    DefineMethod("SetColumnOption", [this](Args& a) {
        SetColumnOption(CStr(Arg(a, 0)), a.size() < 2 || CBool(Arg(a, 1)));
        return Variant();
    });
    DefineMethod("ClearGrid", [this](Args&) { return ClearGrid(), Variant(); });
    DefineMethod("SetCreateDefault", [this](Args& a) {
        SetCreateDefault(CStr(Arg(a, 0)), Arg(a, 1));
        return Variant();
    });
    DefineMethod("SetModifyDefault", [this](Args& a) {
        SetModifyDefault(CStr(Arg(a, 0)), Arg(a, 1));
        return Variant();
    });
    DefineProperty(
        "ExtendLastCol", [this](Args&) { return Variant(extendLastCol_); },
        [this](const Variant& v, Args&) { SetExtendLastCol(CBool(v)); });
    DefineProperty(
        "KeepExtraColumns", [this](Args&) { return Variant(keepExtra_); },
        [this](const Variant& v, Args&) { keepExtra_ = CBool(v); });
    DefineMethod("HasChanges", [this](Args&) { return Variant(HasChanges()); });
    DefineMethod("IsValid", [this](Args&) { return Variant(IsValid()); });
    DefineMethod("StoreToCollection", [this](Args&) { return Variant(StoreToCollection()); });
    DefineMethod("PostSave", [this](Args&) { return PostSave(), Variant(); });
    DefineMethod("Refresh", [this](Args&) { return Refresh(), Variant(); });
    DefineMethod("DeleteRow", [this](Args& a) { return Variant(DeleteRow(CLng(Arg(a, 0)))); });
    DefineMethod("Deactivate", [this](Args&) { return Deactivate(), Variant(); });
}

} // namespace zelk::controls
