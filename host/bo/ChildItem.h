#pragma once

#include "common/bo/BusinessObject.h"
#include "common/bo/DomainList.h"
#include "host/bo/Record.h"
#include "host/bo/Store.h"

#include <memory>
#include <string>

namespace zelk::bo {

class ChildListImpl;
class Saver;

// A list that belongs to one item, reached as a property of it (a keyword's UsedBy links).
struct SubListDef {
    std::string property;
    const TableDef* def = nullptr; // its parentColumn holds the owning item's ID
    std::string itemType;
};

// One row (owner, alias, element, a keyword of the keyword domain, ...), also reachable late
// bound by property name. Rows of a managed area's lists are saved with their managed area;
// the others (domain entries and their links) save themselves.
class ChildItem : public Object, public IChildObject {
public:
    ChildItem(std::string typeName, const TableDef& def, StorePtr store,
              const SubListDef* sub = nullptr);
    ~ChildItem() override;

    std::string TypeName() const override { return typeName_; }
    Variant Invoke(std::string_view name, CallKind kind, Args& args) override;

    Variant GetProperty(std::string_view name) const override;
    void SetProperty(std::string_view name, const Variant& value) override;
    bool HasProperty(std::string_view name) const override;
    bool HasChanges() const override;
    bool IsNew() const override { return isNew_; }
    std::string UniqueID() const override { return uniqueId_; }
    void MarkNew(bool isNew) override;
    void Connect(const std::string& serverName, int serverType) override;
    void Load(const std::string& id) override;
    void AfterSave() override {}

    // The lookup lists of the record's fields, as the managed area offers them.
    DomainPtr GetDomain(std::string_view domainName, const Variant& filter);
    // Saves this row and its own list in one transaction. False when nothing was written;
    // LastError then says why. Rows of a managed area's lists refuse: they are saved with it.
    bool Save();
    const std::string& LastError() const { return lastError_; }

    // Part of a larger save: this row, then its own list.
    void SaveInto(Saver& s, const Variant& parentId);
    Record& Rec() { return record_; }
    const Record& Rec() const { return record_; }
    void SetLoaded() { isNew_ = false; }
    ChildListImpl* Sub() const { return sub_.get(); }

private:
    std::string typeName_;
    Record record_;
    StorePtr store_;
    std::string uniqueId_;
    bool isNew_ = true;
    std::string subProperty_;
    std::shared_ptr<ChildListImpl> sub_;
    std::string lastError_;
};

} // namespace zelk::bo
