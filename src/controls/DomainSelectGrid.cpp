#include "controls/DomainSelectGrid.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ProgIdRegistry.h"
#include "platform/Strings.h"

#include <algorithm>

namespace zelk::controls {

DomainSelectGrid::DomainSelectGrid(std::string name)
    : CheckListControl(std::move(name), "DomainSelectGrid") {
    DefineCommonListMembers();
    txtFilter_ = Add<TextBox>("txtFilter");
    txtFilter_->SetToolTipText("Type to list only the values that contain the text");
    txtFilter_->On("Change", [this](Args&) { SetFilterText(txtFilter_->Text()); });
    // The filter box above, the list under it, both as wide as the control.
    On("Resize", [this](Args&) { LayOut(); });
    LayOut();
    DefineProperty(
        "GroupColumn", [this](Args&) { return Variant(groupColumn_); },
        [this](const Variant& v, Args&) { groupColumn_ = CStr(v); });
    DefineProperty(
        "GroupValue", [this](Args&) { return Variant(groupValue_); },
        [this](const Variant& v, Args&) { SetGroupValue(v.IsNull() ? "" : CStr(v)); });
    DefineProperty(
        "FilterText", [this](Args&) { return Variant(filter_); },
        [this](const Variant& v, Args&) { SetFilterText(CStr(v)); });
    DefineProperty(
        "Caption", [this](Args&) { return Variant(caption_); },
        [this](const Variant& v, Args&) {
            caption_ = CStr(v);
            NotifyChanged("Caption");
        });
    DefineProperty(
        "AllowAddItems", [this](Args&) { return Variant(allowAdd_); },
        [this](const Variant& v, Args&) { allowAdd_ = CBool(v); });
    DefineProperty(
        "ShowSelectedOnly", [this](Args&) { return Variant(selectedOnly_); },
        [this](const Variant& v, Args&) { SetShowSelectedOnly(CBool(v)); });
    DefineMethod("SetDomain", [this](Args& a) {
        SetDomain(CStr(Arg(a, 0)), CStr(Arg(a, 1)), CStr(Arg(a, 2)));
        return Variant();
    });
    DefineMethod("SetNewItemClass", [this](Args& a) {
        SetNewItemClass(CStr(Arg(a, 0)), CStr(Arg(a, 1)), CStr(Arg(a, 2)));
        return Variant();
    });
    DefineMethod("BindCollection", [this](Args& a) {
        BindCollection(RequireObject(Arg(a, 0)), CStr(Arg(a, 1)), CStr(Arg(a, 2)));
        return Variant();
    });
    DefineMethod("AddDomainItem", [this](Args& a) {
        return Variant(static_cast<int>(AddDomainItem(CStr(Arg(a, 0)))));
    });
}

void DomainSelectGrid::SetDomain(const std::string& table, const std::string& idColumn,
                                 const std::string& textColumn) {
    table_ = table;
    idColumn_ = idColumn;
    textColumn_ = textColumn;
    LoadDomain(table, idColumn, textColumn, groupColumn_);
    Arrange();
}

void DomainSelectGrid::SetNewItemClass(const std::string& progId, const std::string& property,
                                       const std::string& column) {
    newProgId_ = progId;
    newProperty_ = property;
    newColumn_ = column;
}

void DomainSelectGrid::BindCollection(const ObjectPtr& collection, const std::string& idProperty,
                                      const std::string& textProperty) {
    BindItems(collection, idProperty, textProperty);
    Arrange();
}

long DomainSelectGrid::AddDomainItem(const std::string& text) {
    if (!allowAdd_) Raise(err::InvalidProcedureCall, "This list takes no new values");
    if (newProgId_.empty()) Raise(err::InvalidProcedureCall, "No class for new values is set");
    const std::string value = Trim(text);
    if (value.empty()) Raise(err::InvalidArgument, "A new value needs a text");
    for (long row = 0; row < Grid().Rows(); ++row)
        if (IEquals(Grid().TextMatrix(row, 1), value)) {
            SetTicked(row, true);
            return row;
        }
    auto item = CreateObject(newProgId_);
    item->Call("Connect", {Variant(serverName_), Variant(serverType_)});
    item->Call("SetProperty", {Variant(newProperty_), Variant(value)});
    if (!CBool(item->Call("Save")))
        Raise(err::ProviderError, "The new value was not saved: " + CStr(item->Call("LastError")));
    long row = AddRow(CStr(Variant(CLng(item->Get("ID")))), value);
    SetTicked(row, true);
    return row;
}

void DomainSelectGrid::SetShowSelectedOnly(bool v) {
    selectedOnly_ = v;
    ApplyFilter();
}

void DomainSelectGrid::SetGroupValue(const std::string& v) {
    const std::string value = Trim(v);
    if (value == groupValue_) return;
    groupValue_ = value;
    ApplyFilter();
}

void DomainSelectGrid::SetFilterText(const std::string& v) {
    if (v == filter_) return;
    filter_ = v;
    if (txtFilter_->Text() != v) txtFilter_->SetText(v);
    ApplyFilter();
}

void DomainSelectGrid::Arrange() {
    PutTickedFirst();
    ApplyFilter();
}

void DomainSelectGrid::ApplyFilter() {
    const std::string want = UCase(Trim(filter_));
    VSFlexGrid& g = Grid();
    const int redraw = g.Redraw();
    g.SetRedraw(0);
    for (long row = 0; row < g.Rows(); ++row) {
        bool shown =
            IsTicked(row) ||
            (!selectedOnly_ &&
             (groupValue_.empty() || GroupOf(row).empty() || GroupOf(row) == groupValue_) &&
             (want.empty() || UCase(g.TextMatrix(row, 1)).find(want) != std::string::npos));
        g.SetRowHidden(row, !shown);
    }
    g.SetRedraw(redraw);
}

void DomainSelectGrid::LayOut() {
    constexpr long kBox = 315, kGap = 45;
    const long w = Width(), h = Height();
    txtFilter_->Move(0, 0, w, kBox);
    Grid().Move(0, kBox + kGap, w, std::max(0L, h - kBox - kGap));
}

} // namespace zelk::controls
