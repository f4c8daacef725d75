#pragma once

#include "common/bo/ChildCollection.h"
#include "host/bo/ChildItem.h"
#include "platform/Criteria.h"

#include <functional>
#include <memory>
#include <vector>

namespace zelk::bo {

// A child collection of one managed area. Its rows are read on first use, so a record
// loads only the lists somebody looks at.
class ChildListImpl : public Object, public IChildCollection {
public:
    using Loader = std::function<void(ChildListImpl&)>;
    ChildListImpl(std::string itemType, const TableDef& def, StorePtr store);

    std::string TypeName() const override { return "ChildCollection"; }
    Variant Invoke(std::string_view name, CallKind kind, Args& args) override;

    long Count() const override;
    ChildPtr Item(long position) const override;
    void Add(const ChildPtr& item) override;
    ChildPtr AddNew() override;
    ChildPtr Find(std::string_view criterion) const override;
    long FindPosition(std::string_view criterion) const override;
    void Remove(long position) override;
    void Drop(long position) override;
    bool HasChanges() const override;
    void Release() override;

    const TableDef& Def() const { return *def_; }
    // Set by the owner; run once, before the first access.
    void SetLoader(Loader l) { loader_ = std::move(l); }
    void MarkLoaded() { loader_ = nullptr; }
    bool Loaded() const { return !loader_; }
    // Appends a row read from the database.
    void AppendLoaded(const std::vector<Variant>& row);
    const std::vector<std::shared_ptr<ChildItem>>& Items() const;
    const std::vector<std::shared_ptr<ChildItem>>& Removed() const { return removed_; }
    // Part of a save: deletes the removed rows, writes the others under parentId; once
    // committed, the removals are done and every item runs its after-save operation.
    void SaveItems(Saver& s, const Variant& parentId);
    // Puts a merged list in place: its items, and the rows the next save deletes.
    void Replace(std::vector<std::shared_ptr<ChildItem>> items,
                 std::vector<std::shared_ptr<ChildItem>> removed);

private:
    void EnsureLoaded() const;
    std::size_t Slot(long position) const;
    std::string itemType_;
    const TableDef* def_;
    StorePtr store_;
    mutable Loader loader_;
    mutable std::vector<std::shared_ptr<ChildItem>> items_;
    std::vector<std::shared_ptr<ChildItem>> removed_;
};

// Whether a property value equals the value of a "Property = value" criterion.
bool CriterionMatches(const Variant& value, const Criteria::Comparison& c);

} // namespace zelk::bo
