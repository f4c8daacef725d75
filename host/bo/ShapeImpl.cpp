#include "host/bo/ShapeImpl.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"

namespace zelk::bo {

void SpatialAttributes::Arm(StorePtr store, Variant shapeId) {
    Release();
    store_ = std::move(store);
    shapeId_ = std::move(shapeId);
    pending_ = true;
}

void SpatialAttributes::EnsureLoaded() const {
    if (!pending_) return;
    pending_ = false;
    for (const auto& row : store_->LoadRows(SpatialAttributeTable(), "shape_id", shapeId_)) {
        rows_.emplace_back(SpatialAttributeTable());
        rows_.back().Load(row);
    }
}

long SpatialAttributes::Count() const {
    EnsureLoaded();
    return static_cast<long>(rows_.size());
}

void SpatialAttributes::FillGrid(const ObjectPtr& grid, std::string_view propertyList) const {
    if (!grid) Raise(err::ObjectRequired, "Object required: the grid to fill");
    EnsureLoaded();
    auto props = Split(propertyList, ",");
    for (auto& p : props)
        p = Trim(p);
    grid->Let("Cols", Variant(static_cast<int>(props.size())));
    grid->Let("Rows", Variant(static_cast<int>(rows_.size() + 1)));
    for (std::size_t c = 0; c < props.size(); ++c) {
        grid->Let("TextMatrix", Variant(props[c]), {Variant(0), Variant(static_cast<int>(c))});
        for (std::size_t r = 0; r < rows_.size(); ++r) {
            Variant v = rows_[r].Get(props[c]);
            grid->Let("TextMatrix", Variant(v.IsNull() ? std::string() : CStr(v)),
                      {Variant(static_cast<int>(r + 1)), Variant(static_cast<int>(c))});
        }
    }
}

void SpatialAttributes::Release() {
    rows_.clear();
    pending_ = false;
}

ShapeImpl::ShapeImpl(StorePtr store)
    : store_(std::move(store)), rec_(ShapeTable()), ma_(std::make_shared<ManagedAreaImpl>(store_)),
      binder_([this](const std::string& f) { return rec_.Get(f); },
              [this](const std::string& f, const Variant& v) { SetProperty(f, v); }) {}

void ShapeImpl::SetProperty(std::string_view name, const Variant& value) {
    if (IEquals(name, "ShapeId"))
        Raise(err::InvalidProcedureCall, "ShapeId is assigned by the save");
    if (rec_.Set(name, value)) binder_.Refresh();
}

bool ShapeImpl::HasProperty(std::string_view name) const {
    return rec_.Def().IndexOf(name) >= 0;
}

void ShapeImpl::Bind(const ObjectPtr& control, std::string_view controlProperty,
                     std::string_view field, const Variant&, const Variant&) {
    rec_.Index(field);
    binder_.Bind(control, std::string(controlProperty), std::string(field));
}

void ShapeImpl::Load(const std::string& shapeId) {
    auto n = ParseNumber(shapeId);
    if (!n) Raise(err::InvalidArgument, "Not a shape ID: " + shapeId);
    Variant key(static_cast<int>(CLng(*n)));
    binder_.DropAll();
    lastError_.clear();
    lastErrorCode_.clear();
    isNew_ = false;
    auto rows = store_->LoadRows(rec_.Def(), "shape_id", key);
    if (rows.empty()) {
        // No such shape: an empty record without a managed area.
        rec_.Clear();
        ma_->ReleaseData();
        hasMa_ = false;
        attrs_.Release();
        return;
    }
    rec_.Load(rows.front());
    hasMa_ = ma_->LoadBy("shape_id", key);
    attrs_.Arm(store_, key);
}

void ShapeImpl::ReleaseData() {
    binder_.DropAll();
    rec_.Clear();
    ma_->ReleaseData();
    hasMa_ = false;
    isNew_ = false;
    attrs_.Release();
}

void ShapeImpl::NewRecord() {
    binder_.DropAll();
    lastError_.clear();
    lastErrorCode_.clear();
    rec_.Clear();
    int id = Store::NextTempId();
    rec_.SetAt(0, Variant(id));
    // Nothing drawn yet; the database requires the indicator.
    rec_.SetAt(rec_.Index("HasShapeInd"), Variant("N"));
    rec_.MarkClean();
    isNew_ = true;
    ma_->NewRecord(id);
    hasMa_ = true;
    attrs_.Release();
}

long ShapeImpl::ShapeId() const {
    const Variant& v = rec_.At(0);
    return v.IsNull() ? -1 : CLng(v);
}

void ShapeImpl::SetCreateUser(const std::string& user) {
    rec_.Set("RecCreateUser", Variant(user));
    if (hasMa_) ma_->Rec().Set("RecCreateUser", Variant(user));
}

void ShapeImpl::SetLastModUser(const std::string& user) {
    // The stamp alone is no change worth saving; it rides along with real ones.
    auto stamp = [&](Record& r) {
        bool dirty = r.Dirty();
        r.Set("RecLastModUser", Variant(user));
        if (!dirty) r.MarkClean();
    };
    stamp(rec_);
    if (hasMa_) stamp(ma_->Rec());
}

void ShapeImpl::SetOrgUnitId(long orgUnitId) {
    rec_.Set("OrgUnitId", Variant(static_cast<int>(orgUnitId)));
    if (hasMa_) ma_->Rec().Set("OrgUnitId", Variant(static_cast<int>(orgUnitId)));
}

ManagedAreaPtr ShapeImpl::ManagedArea(long position) const {
    if (position != 1 || !hasMa_)
        Raise(err::SubscriptOutOfRange, "No managed area at position " + std::to_string(position));
    return ma_;
}

bool ShapeImpl::HasChildChanges() const {
    return hasMa_ && (ma_->HasChanges() || ma_->IsNew() || ma_->HasChildChanges());
}

std::string ShapeImpl::ComponentProperties(std::string_view root) const {
    auto section = [](const std::string& cls, const TableDef& t) {
        std::string s = "<" + cls + "><COMPONENT_PROPERTIES>";
        for (const auto& f : t.fields)
            if (f.lookupTable.empty())
                s += "<" + f.property + ">" + UCase(t.table) + "." + f.column + "</" + f.property +
                     ">";
        return s + "</COMPONENT_PROPERTIES></" + cls + ">";
    };
    std::string r(root.empty() ? "ZELK" : root);
    return "<" + r + ">" + section("ZELK_ManagedAreaSrv.MA_Shape", ShapeTable()) +
           section("ZELK_ManagedAreaSrv.MA_ManagedArea", ManagedAreaTable()) + "</" + r + ">";
}

DomainPtr ShapeImpl::GetDomain(std::string_view domainName, const Variant& filter, bool) {
    return LookupDomain(*store_, domainName, filter);
}

Variant ShapeImpl::Invoke(std::string_view name, CallKind kind, Args& args) {
    if (kind == CallKind::PropertyGet && HasProperty(name)) return GetProperty(name);
    if (kind == CallKind::PropertyLet && HasProperty(name)) {
        SetProperty(name, args.empty() ? Variant() : args.back());
        return {};
    }
    if (IEquals(name, "Connect")) return {};
    if (IEquals(name, "Load")) {
        Load(CStr(Arg(args, 0)));
        return {};
    }
    if (IEquals(name, "Save")) return Variant(Save());
    if (IEquals(name, "IsNew")) return Variant(IsNew());
    if (IEquals(name, "ReleaseData")) {
        ReleaseData();
        return {};
    }
    return Object::Invoke(name, kind, args);
}

} // namespace zelk::bo
