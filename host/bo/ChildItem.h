#pragma once

#include "common/bo/BusinessObject.h"
#include "host/bo/Record.h"
#include "host/bo/Store.h"

#include <string>

namespace zelk::bo {

// One child row (owner, alias, element, ...), also reachable late bound by property name.
class ChildItem : public Object, public IChildObject {
public:
    ChildItem(std::string typeName, const TableDef& def, StorePtr store);

    std::string TypeName() const override { return typeName_; }
    Variant Invoke(std::string_view name, CallKind kind, Args& args) override;

    Variant GetProperty(std::string_view name) const override;
    void SetProperty(std::string_view name, const Variant& value) override;
    bool HasProperty(std::string_view name) const override;
    bool HasChanges() const override { return isNew_ || record_.Dirty(); }
    bool IsNew() const override { return isNew_; }
    std::string UniqueID() const override { return uniqueId_; }
    void MarkNew(bool isNew) override;
    void Connect(const std::string& serverName, int serverType) override;
    void Load(const std::string& id) override;
    void AfterSave() override {}

    Record& Rec() { return record_; }
    const Record& Rec() const { return record_; }
    void SetLoaded() { isNew_ = false; }

private:
    std::string typeName_;
    Record record_;
    StorePtr store_;
    std::string uniqueId_;
    bool isNew_ = true;
};

} // namespace zelk::bo
