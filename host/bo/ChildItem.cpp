#include "host/bo/ChildItem.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"

namespace zelk::bo {

ChildItem::ChildItem(std::string typeName, const TableDef& def, StorePtr store)
    : typeName_(std::move(typeName)), record_(def), store_(std::move(store)),
      uniqueId_(Store::NextUniqueId()) {
    record_.SetAt(0, Variant(Store::NextTempId()));
    record_.MarkClean();
}

Variant ChildItem::GetProperty(std::string_view name) const {
    if (IEquals(name, "UniqueID")) return Variant(uniqueId_);
    return record_.Get(name);
}

void ChildItem::SetProperty(std::string_view name, const Variant& value) {
    if (IEquals(name, "UniqueID")) Raise(err::InvalidProcedureCall, "UniqueID is read only");
    const auto& f = record_.Def().fields[static_cast<std::size_t>(record_.Index(name))];
    if (!f.lookupTable.empty()) {
        // Shown from the joined domain; keep what the caller set for display only.
        record_.SetAt(record_.Index(name), Record::Normalize(f, value));
        return;
    }
    record_.Set(name, value);
}

bool ChildItem::HasProperty(std::string_view name) const {
    return IEquals(name, "UniqueID") || record_.Def().IndexOf(std::string(name)) >= 0;
}

void ChildItem::MarkNew(bool isNew) {
    isNew_ = isNew;
}

void ChildItem::Connect(const std::string&, int) {
    // One data service serves every server name; nothing to open.
}

void ChildItem::Load(const std::string& id) {
    auto n = ParseNumber(id);
    if (!store_ || !n) Raise(err::InvalidArgument, "Not a record ID: " + id);
    const auto& def = record_.Def();
    auto rows = store_->LoadRows(def, def.idColumn, Variant(static_cast<int>(CLng(*n))));
    if (rows.empty()) Raise(err::NoCurrentRecord, "No " + def.table + " record with ID " + id);
    record_.Load(rows.front());
    isNew_ = false;
}

Variant ChildItem::Invoke(std::string_view name, CallKind kind, Args& args) {
    if (kind == CallKind::PropertyGet && HasProperty(name)) return GetProperty(name);
    if (kind == CallKind::PropertyLet && HasProperty(name)) {
        SetProperty(name, Arg(args, args.empty() ? 0 : args.size() - 1));
        return {};
    }
    if (IEquals(name, "SetProperty")) {
        SetProperty(CStr(Arg(args, 0)), Arg(args, 1));
        return {};
    }
    if (IEquals(name, "GetProperty")) return GetProperty(CStr(Arg(args, 0)));
    if (IEquals(name, "IsNew")) return Variant(IsNew());
    if (IEquals(name, "IsDirty") || IEquals(name, "HasChanges")) return Variant(HasChanges());
    if (IEquals(name, "MarkNew")) {
        MarkNew(args.empty() || CBool(Arg(args, 0)));
        return {};
    }
    if (IEquals(name, "Connect")) return {};
    if (IEquals(name, "Load")) {
        Load(CStr(Arg(args, 0)));
        return {};
    }
    return Object::Invoke(name, kind, args);
}

} // namespace zelk::bo
