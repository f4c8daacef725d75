#pragma once

#include "common/bo/ManagedArea.h"
#include "host/bo/Binder.h"
#include "host/bo/ChildListImpl.h"
#include "host/bo/Record.h"

#include <array>

namespace zelk::bo {

class ManagedAreaImpl : public Object, public IManagedArea {
public:
    explicit ManagedAreaImpl(StorePtr store);
    std::string TypeName() const override { return "CManagedArea"; }
    Variant Invoke(std::string_view name, CallKind kind, Args& args) override;

    // "ID" reads the record's key, as the working list names it.
    Variant GetProperty(std::string_view name) const override {
        return rec_.Get(IsIdAlias(name) ? std::string_view("ManagedAreaId") : name);
    }
    void SetProperty(std::string_view name, const Variant& value) override;
    bool HasProperty(std::string_view name) const override;
    bool HasChanges() const override { return rec_.Dirty(); }
    bool IsNew() const override { return isNew_; }

    void Bind(const ObjectPtr& control, std::string_view controlProperty, std::string_view field,
              const Variant& format, const Variant& nothing) override;
    void Unbind(std::string_view field) override { binder_.Unbind(std::string(field)); }
    void DropBindings() override { binder_.DropAll(); }

    void Connect(const std::string&, int) override {}
    void Load(const std::string& managedAreaId) override;
    void ReleaseData() override;
    long ManagedAreaId() const override;
    bool HasChildChanges() const override;
    IChildCollection& Children(ChildList which) override { return List(which); }
    DomainPtr GetDomain(std::string_view domainName, const Variant& filter, bool fresh) override;

    // Used by the shape that owns it.
    ChildListImpl& List(ChildList which);
    void NewRecord(int shapeId);
    // True when a row was found.
    bool LoadBy(const std::string& column, const Variant& key);
    Record& Rec() { return rec_; }
    void SetSaved() { isNew_ = false; }
    // Stands for a record still to be inserted, its rows with it.
    void BecomeNew();
    // The row version read at load (Null for a new record): a save or delete goes ahead only
    // while the database still holds it.
    const Variant& RowVersion() const { return rowVersion_; }
    void SetRowVersion(Variant v) { rowVersion_ = std::move(v); }
    StorePtr GetStore() const { return store_; }

private:
    static bool IsIdAlias(std::string_view name);
    void ArmLoaders();
    StorePtr store_;
    Record rec_;
    bool isNew_ = false;
    Variant rowVersion_ = Variant::Null();
    std::array<std::shared_ptr<ChildListImpl>, ChildListCount> lists_;
    Binder binder_;
};

// A domain from the data service; name checked against the known domains (3001 otherwise).
DomainPtr LookupDomain(Store& store, std::string_view domainName, const Variant& filter);

} // namespace zelk::bo
