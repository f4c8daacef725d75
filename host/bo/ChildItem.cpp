#include "host/bo/ChildItem.h"

#include "host/bo/ChildListImpl.h"
#include "host/bo/ManagedAreaImpl.h"
#include "host/bo/Saver.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"

namespace zelk::bo {

ChildItem::ChildItem(std::string typeName, const TableDef& def, StorePtr store,
                     const SubListDef* sub)
    : typeName_(std::move(typeName)), record_(def), store_(std::move(store)),
      uniqueId_(Store::NextUniqueId()) {
    record_.SetAt(0, Variant(Store::NextTempId()));
    record_.MarkClean();
    if (sub) {
        subProperty_ = sub->property;
        sub_ = std::make_shared<ChildListImpl>(sub->itemType, *sub->def, store_);
        sub_->MarkLoaded();
    }
}

ChildItem::~ChildItem() = default;

Variant ChildItem::GetProperty(std::string_view name) const {
    if (IEquals(name, "UniqueID")) return Variant(uniqueId_);
    if (sub_ && IEquals(name, subProperty_)) return Variant(std::static_pointer_cast<Object>(sub_));
    return record_.Get(name);
}

void ChildItem::SetProperty(std::string_view name, const Variant& value) {
    if (IEquals(name, "UniqueID")) Raise(err::InvalidProcedureCall, "UniqueID is read only");
    if (sub_ && IEquals(name, subProperty_))
        Raise(err::InvalidProcedureCall, subProperty_ + " is a list; add items to it instead");
    const auto& f = record_.Def().fields[static_cast<std::size_t>(record_.Index(name))];
    if (!f.lookupTable.empty()) {
        // Shown from the joined domain; keep what the caller set for display only.
        record_.SetAt(record_.Index(name), Record::Normalize(f, value));
        return;
    }
    record_.Set(name, value);
}

bool ChildItem::HasProperty(std::string_view name) const {
    return IEquals(name, "UniqueID") || (sub_ && IEquals(name, subProperty_)) ||
           record_.Def().IndexOf(name) >= 0;
}

bool ChildItem::HasChanges() const {
    return isNew_ || record_.Dirty() || (sub_ && sub_->HasChanges());
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
    Variant key(static_cast<int>(CLng(*n)));
    auto rows = store_->LoadRows(def, def.idColumn, key);
    if (rows.empty()) Raise(err::NoCurrentRecord, "No " + def.table + " record with ID " + id);
    record_.Load(rows.front());
    isNew_ = false;
    if (sub_) {
        sub_->Release();
        sub_->SetLoader([store = store_, key](ChildListImpl& list) {
            for (const auto& row : store->LoadRows(list.Def(), list.Def().parentColumn, key))
                list.AppendLoaded(row);
        });
    }
}

DomainPtr ChildItem::GetDomain(std::string_view domainName, const Variant& filter) {
    if (!store_) Raise(err::ObjectNotSet, "The object is not connected");
    return LookupDomain(*store_, domainName, filter);
}

void ChildItem::SaveInto(Saver& s, const Variant& parentId) {
    Variant own = record_.At(0);
    if (isNew_) {
        own = Variant(static_cast<int>(s.Insert(record_, parentId)));
        s.After([this] { isNew_ = false; });
    } else {
        s.Update(record_);
    }
    if (sub_) sub_->SaveItems(s, own);
}

bool ChildItem::Save() {
    lastError_.clear();
    const auto& def = record_.Def();
    if (IEquals(def.parentColumn, "managed_area_id")) {
        lastError_ = "A " + def.table + " row is saved with its managed area";
        return false;
    }
    if (!store_) {
        lastError_ = "The object is not connected";
        return false;
    }
    try {
        CheckLengths(record_);
        if (sub_)
            for (const auto& item : sub_->Items())
                CheckLengths(item->Rec());
    } catch (const ComError& e) {
        lastError_ = e.Description();
        return false;
    }
    Saver s(store_->Port());
    lastError_ = s.Commit([&] {
        SaveInto(s, def.parentColumn.empty() ? Variant() : record_.Get(def.fields[1].property));
    });
    return lastError_.empty();
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
    if (IEquals(name, "GetDomain")) {
        auto d = std::dynamic_pointer_cast<Object>(GetDomain(CStr(Arg(args, 0)), Arg(args, 1)));
        return Variant(d);
    }
    if (IEquals(name, "Save")) return Variant(Save());
    if (IEquals(name, "LastError")) return Variant(lastError_);
    return Object::Invoke(name, kind, args);
}

} // namespace zelk::bo
