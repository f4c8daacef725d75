#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Recordset.h"
#include "platform/RecordsetData.h"

namespace zelk {

const std::string& Field::Name() const {
    return rs_->data_->fields[col_].name;
}
int Field::Type() const {
    return rs_->data_->fields[col_].type;
}
long Field::DefinedSize() const {
    return rs_->data_->fields[col_].definedSize;
}
long Field::Attributes() const {
    return rs_->data_->fields[col_].attributes;
}
Variant Field::Value() const {
    return rs_->CellValue(col_);
}
const Variant& Field::ValueRef() const {
    return rs_->CellValue(col_);
}
void Field::SetValue(const Variant& v) {
    rs_->SetCellValue(col_, v);
}
bool Field::Optimize() const {
    return rs_->data_->fields[col_].optimize;
}

void Field::SetOptimize(bool on) {
    RecordsetData& data = *rs_->data_;
    data.fields[col_].optimize = on;
    // The key field keeps its index whatever the property says.
    if (on || !IEquals(data.fields[col_].name, "ID")) data.SetIndexed(col_, on);
}

long Fields::Count() const {
    return static_cast<long>(rs_->data_->fields.size());
}

Field Fields::Item(std::size_t index) const {
    if (index >= rs_->data_->fields.size())
        Raise(err::ItemNotFound, "Item cannot be found in the collection corresponding to the "
                                 "requested name or ordinal: position " +
                                     std::to_string(index) + ".");
    return Field(rs_, index);
}

Field Fields::Item(std::string_view name) const {
    auto col = rs_->data_->Column(name);
    if (!col)
        Raise(err::ItemNotFound, "Item cannot be found in the collection corresponding to the "
                                 "requested name or ordinal: '" +
                                     std::string(name) + "'.");
    return Field(rs_, *col);
}

bool Fields::Exists(std::string_view name) const {
    return rs_->data_->Column(name).has_value();
}

void Fields::Append(std::string name, int type, long definedSize, long attributes) {
    if (rs_->State() != ad::StateClosed) Raise(err::OperationNotAllowedOpen, "");
    if (name.empty()) Raise(err::InvalidArgument, "A field needs a name.");
    if (Exists(name)) Raise(err::InvalidArgument, "A field named '" + name + "' already exists.");
    FieldDef def;
    def.name = std::move(name);
    def.type = type;
    def.definedSize = definedSize;
    def.attributes = attributes;
    rs_->data_->AppendField(std::move(def));
}

namespace {

Field FieldOf(Fields fields, const Variant& key) {
    if (key.IsString()) return fields.Item(key.Str());
    if (key.IsEmpty()) Raise(err::InvalidProcedureCall, "Fields needs a field name or position.");
    long index = CLng(key);
    if (index < 0) return fields.Item(static_cast<std::size_t>(fields.Count()));
    return fields.Item(static_cast<std::size_t>(index));
}

Variant LongValue(long v) {
    return Variant(static_cast<int>(v));
}

} // namespace

Variant Recordset::Invoke(std::string_view name, CallKind kind, Args& args) {
    auto is = [name](const char* member) { return IEquals(name, member); };
    bool let = kind == CallKind::PropertyLet;
    const Variant& value = let && !args.empty() ? args.back() : Arg(args, 0);

    if (is("Fields") || is("Collect") || is("Value")) {
        Field f = FieldOf(GetFields(), Arg(args, 0));
        if (!let) return f.Value();
        if (args.size() < 2) Raise(err::InvalidProcedureCall, "Fields needs a value to assign.");
        f.SetValue(value);
        return {};
    }
    if (let) {
        if (is("Filter"))
            SetFilter(CStr(value));
        else if (is("Sort"))
            SetSort(CStr(value));
        else if (is("AbsolutePosition"))
            SetAbsolutePosition(CLng(value));
        else if (is("Bookmark"))
            SetBookmark(value);
        else
            return Object::Invoke(name, kind, args);
        return {};
    }
    if (is("RecordCount")) return LongValue(RecordCount());
    if (is("EOF")) return EOF();
    if (is("BOF")) return BOF();
    if (is("State")) return State();
    if (is("EditMode")) return EditMode();
    if (is("AbsolutePosition")) return LongValue(AbsolutePosition());
    if (is("Bookmark")) return Bookmark();
    if (is("Filter")) return Filter();
    if (is("Sort")) return Sort();
    if (is("Clone")) return Variant(Clone());
    if (is("Find")) {
        Find(CStr(Arg(args, 0)), Arg(args, 1).IsEmpty() ? 0 : CLng(Arg(args, 1)),
             Arg(args, 2).IsEmpty() ? ad::SearchForward : CLng(Arg(args, 2)), Arg(args, 3));
        return {};
    }
    if (is("Move"))
        Move(CLng(Arg(args, 0)));
    else if (is("MoveFirst"))
        MoveFirst();
    else if (is("MoveLast"))
        MoveLast();
    else if (is("MoveNext"))
        MoveNext();
    else if (is("MovePrevious"))
        MovePrevious();
    else if (is("AddNew"))
        AddNew();
    else if (is("Update"))
        Update();
    else if (is("CancelUpdate"))
        CancelUpdate();
    else if (is("UpdateBatch"))
        UpdateBatch();
    else if (is("Delete"))
        Delete();
    else if (is("Close"))
        Close();
    else
        return Object::Invoke(name, kind, args);
    return {};
}

} // namespace zelk
