#include "controls/DomainSelectGrid.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ProgIdRegistry.h"

namespace zelk::controls {

DomainSelectGrid::DomainSelectGrid(std::string name)
    : CheckListControl(std::move(name), "DomainSelectGrid") {
    DefineCommonListMembers();
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
    LoadDomain(table, idColumn, textColumn);
    ApplyFilter();
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
    ApplyFilter();
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

void DomainSelectGrid::ApplyFilter() {
    for (long row = 0; row < Grid().Rows(); ++row)
        Grid().SetRowHidden(row, selectedOnly_ && !IsTicked(row));
}

} // namespace zelk::controls
