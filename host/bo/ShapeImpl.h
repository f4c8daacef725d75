#pragma once

#include "common/bo/Shape.h"
#include "host/bo/ManagedAreaImpl.h"

namespace zelk::bo {

class SpatialAttributes : public ISpatialAttributes {
public:
    long Count() const override;
    void FillGrid(const ObjectPtr& grid, std::string_view propertyList) const override;
    void Release() override;
    void Arm(StorePtr store, Variant shapeId);

private:
    void EnsureLoaded() const;
    mutable StorePtr store_;
    mutable Variant shapeId_;
    mutable bool pending_ = false;
    mutable std::vector<Record> rows_;
};

class ShapeImpl : public Object, public IShape {
public:
    explicit ShapeImpl(StorePtr store);
    std::string TypeName() const override { return "CShape"; }
    Variant Invoke(std::string_view name, CallKind kind, Args& args) override;

    Variant GetProperty(std::string_view name) const override { return rec_.Get(name); }
    void SetProperty(std::string_view name, const Variant& value) override;
    bool HasProperty(std::string_view name) const override;
    bool HasChanges() const override { return rec_.Dirty(); }
    bool IsNew() const override { return isNew_; }

    void Bind(const ObjectPtr& control, std::string_view controlProperty, std::string_view field,
              const Variant& format, const Variant& nothing) override;
    void Unbind(std::string_view field) override { binder_.Unbind(std::string(field)); }
    void DropBindings() override { binder_.DropAll(); }

    void Connect(const std::string&, int) override {}
    void Load(const std::string& shapeId) override;
    void ReleaseData() override;
    void NewRecord() override;
    long ShapeId() const override;
    void SetCreateUser(const std::string& user) override;
    void SetLastModUser(const std::string& user) override;
    void SetOrgUnitId(long orgUnitId) override;
    long ManagedAreaCount() const override { return hasMa_ ? 1 : 0; }
    ManagedAreaPtr ManagedArea(long position) const override;
    ISpatialAttributes& OtherSpatialAttributes() override { return attrs_; }
    bool HasChildChanges() const override;
    bool Save() override;
    std::string LastError() const override { return lastError_; }
    std::string LastErrorCode() const override { return lastErrorCode_; }
    ~ShapeImpl() override;
    bool ClaimForDelete() override;
    bool FinishDelete(bool deleted) override;
    std::string ComponentProperties(std::string_view root) const override;
    DomainPtr GetDomain(std::string_view domainName, const Variant& filter, bool fresh) override;
    MergePtr PrepareMerge() override;
    bool BecomeNewRecord() override;

    // For the merge, which compares and rebuilds the whole record.
    Record& Rec() { return rec_; }
    ManagedAreaImpl& Ma() { return *ma_; }
    bool HasManagedArea() const { return hasMa_; }
    const StorePtr& GetStore() const { return store_; }

private:
    StorePtr store_;
    Record rec_;
    std::shared_ptr<ManagedAreaImpl> ma_;
    bool hasMa_ = false;
    bool isNew_ = false;
    bool claimOpen_ = false; // ClaimForDelete's transaction is still open
    SpatialAttributes attrs_;
    std::string lastError_;
    std::string lastErrorCode_;
    Binder binder_;
};

} // namespace zelk::bo
