#include "host/bo/ManagedAreaImpl.h"

#include "host/bo/DomainListImpl.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"

namespace zelk::bo {

namespace {
const char* const kItemTypes[ChildListCount] = {
    "COwner",     "CAlias", "CSite",     "CCounty",    "CLocalJuris", "CMapsheet",
    "CTownRange", "CLegal", "CMgmtYear", "CReference", "CKeyword",    "CElement"};
} // namespace

ManagedAreaImpl::ManagedAreaImpl(StorePtr store)
    : store_(std::move(store)), rec_(ManagedAreaTable()),
      binder_([this](const std::string& f) { return GetProperty(f); },
              [this](const std::string& f, const Variant& v) { SetProperty(f, v); }) {
    for (int i = 0; i < ChildListCount; ++i)
        lists_[static_cast<std::size_t>(i)] = std::make_shared<ChildListImpl>(
            std::string("ZELK_ManagedAreaClient.") + kItemTypes[i], ChildTable(i), store_);
}

ChildListImpl& ManagedAreaImpl::List(ChildList which) {
    return *lists_.at(static_cast<std::size_t>(which));
}

bool ManagedAreaImpl::IsIdAlias(std::string_view name) {
    return IEquals(name, "ID");
}

void ManagedAreaImpl::SetProperty(std::string_view name, const Variant& value) {
    if (IEquals(name, "ManagedAreaId") || IEquals(name, "ShapeId") || IsIdAlias(name))
        Raise(err::InvalidProcedureCall, std::string(name) + " is assigned by the save");
    if (rec_.Set(name, value)) binder_.Refresh();
}

bool ManagedAreaImpl::HasProperty(std::string_view name) const {
    return IsIdAlias(name) || rec_.Def().IndexOf(name) >= 0;
}

void ManagedAreaImpl::Bind(const ObjectPtr& control, std::string_view controlProperty,
                           std::string_view field, const Variant&, const Variant&) {
    if (!IsIdAlias(field)) rec_.Index(field); // 438 for an unknown field, before anything is bound
    binder_.Bind(control, std::string(controlProperty), std::string(field));
}

long ManagedAreaImpl::ManagedAreaId() const {
    const Variant& v = rec_.At(0);
    return v.IsNull() ? -1 : CLng(v);
}

void ManagedAreaImpl::ArmLoaders() {
    for (auto& l : lists_) {
        l->Release();
        l->SetLoader([store = store_, id = rec_.At(0)](ChildListImpl& list) {
            for (const auto& row : store->LoadRows(list.Def(), "managed_area_id", id))
                list.AppendLoaded(row);
        });
    }
}

bool ManagedAreaImpl::LoadBy(const std::string& column, const Variant& key) {
    binder_.DropAll();
    auto rows = store_->LoadVersionedRows(rec_.Def(), column, key);
    isNew_ = false;
    rowVersion_ = Variant::Null();
    if (rows.empty()) {
        rec_.Clear();
        for (auto& l : lists_)
            l->Release();
        return false;
    }
    rowVersion_ = rows.front().back();
    rows.front().pop_back();
    rec_.Load(rows.front());
    ArmLoaders();
    return true;
}

void ManagedAreaImpl::Load(const std::string& managedAreaId) {
    auto n = ParseNumber(managedAreaId);
    if (!n) Raise(err::InvalidArgument, "Not a managed area ID: " + managedAreaId);
    if (!LoadBy("managed_area_id", Variant(static_cast<int>(CLng(*n)))))
        Raise(err::NoCurrentRecord, "No managed area with ID " + managedAreaId);
}

void ManagedAreaImpl::NewRecord(int shapeId) {
    binder_.DropAll();
    rec_.Clear();
    rec_.SetAt(0, Variant(Store::NextTempId()));
    rec_.SetAt(1, Variant(shapeId));
    rec_.MarkClean();
    rowVersion_ = Variant::Null();
    isNew_ = true;
    for (auto& l : lists_) {
        l->Release();
        l->MarkLoaded();
    }
}

void ManagedAreaImpl::BecomeNew() {
    isNew_ = true;
    rowVersion_ = Variant::Null();
    rec_.SetAt(0, Variant(Store::NextTempId()));
    for (auto& l : lists_) {
        // Rows never read are gone with the record; those in hand go in with the new one.
        if (!l->Loaded()) l->Release();
        std::vector<std::shared_ptr<ChildItem>> items = l->Items();
        for (auto& item : items) {
            item->MarkNew(true);
            item->Rec().SetAt(0, Variant(Store::NextTempId()));
        }
        l->Replace(std::move(items), {});
    }
}

void ManagedAreaImpl::ReleaseData() {
    binder_.DropAll();
    rec_.Clear();
    rowVersion_ = Variant::Null();
    for (auto& l : lists_)
        l->Release();
    isNew_ = false;
}

bool ManagedAreaImpl::HasChildChanges() const {
    for (const auto& l : lists_)
        if (l->HasChanges()) return true;
    return false;
}

DomainPtr LookupDomain(Store& store, std::string_view domainName, const Variant& filter) {
    const DomainDef* d = FindDomain(std::string(domainName));
    if (!d) Raise(err::InvalidArgument, "Unknown domain: " + std::string(domainName));
    std::string sql = "SELECT *";
    if (!d->descAlias.empty()) sql += ", description AS " + d->descAlias;
    sql += " FROM " + d->table;
    std::vector<Variant> params;
    if (!d->filterColumn.empty() && !filter.IsEmpty() && !filter.IsNull() &&
        !(filter.IsString() && filter.Str().empty())) {
        // The filter columns hold keys: a text that is no number matches none (and is not
        // sent, as a server would refuse to compare it with a number).
        if (IsNumeric(filter)) {
            sql += " WHERE " + d->filterColumn + " = ?";
            const int key = static_cast<int>(CLng(filter));
            params.emplace_back(key);
        } else {
            sql += " WHERE 1 = 0";
        }
    }
    sql += " ORDER BY display_order, " + d->idColumn;
    return std::make_shared<DomainListImpl>(store.Port().Query(sql, params));
}

DomainPtr ManagedAreaImpl::GetDomain(std::string_view domainName, const Variant& filter, bool) {
    return LookupDomain(*store_, domainName, filter);
}

Variant ManagedAreaImpl::Invoke(std::string_view name, CallKind kind, Args& args) {
    if (kind == CallKind::PropertyGet && HasProperty(name)) return GetProperty(name);
    if (kind == CallKind::PropertyLet && HasProperty(name)) {
        SetProperty(name, args.empty() ? Variant() : args.back());
        return {};
    }
    if (IEquals(name, "SetProperty")) {
        SetProperty(CStr(Arg(args, 0)), Arg(args, 1));
        return {};
    }
    if (IEquals(name, "IsNew")) return Variant(IsNew());
    if (IEquals(name, "IsDirty") || IEquals(name, "HasChanges")) return Variant(HasChanges());
    if (IEquals(name, "Connect")) return {};
    if (IEquals(name, "Load")) {
        Load(CStr(Arg(args, 0)));
        return {};
    }
    if (IEquals(name, "ReleaseData")) {
        ReleaseData();
        return {};
    }
    return Object::Invoke(name, kind, args);
}

} // namespace zelk::bo
