#pragma once

#include "host/framework/Component.h"
#include "platform/Dispatch.h"

#include <functional>
#include <string>
#include <vector>

namespace zelk::host {

// "ClientFramework.ComponentCollection": a 1-based list of business components of one class,
// filled by the class's named queries, saved all together in one transaction.
//
// Members (late bound): Initialize(ProgID, server name, server type); Load(query, params,
// three further arguments that are accepted and ignored) -> True, where params is one text,
// a collection of texts, or nothing, and "Empty" gives an empty list; Count; Item(position
// or key); Add(item [, key]); Remove(position or key), deleted at the next save; Find
// (criterion "Property = value") -> item or Nothing; FindPosition(criterion) -> 0 when none;
// HasChanges; SaveAll -> True (a failure raises its error and nothing is written); Release.
// Loaded items are keyed by their ID as text.
class ComponentCollection : public Dispatch {
public:
    using Factory = std::function<ObjectPtr(std::string_view progId)>;
    ComponentCollection(Factory create, bo::StorePtr store);

    void Initialize(const std::string& progId, const std::string& serverName, int serverType);
    bool Load(const std::string& query, const std::vector<std::string>& params);
    long Count() const;
    ComponentPtr Item(const Variant& positionOrKey) const;
    void Add(const ObjectPtr& item, const std::string& key = "");
    void Remove(const Variant& positionOrKey);
    ComponentPtr Find(std::string_view criterion) const;
    long FindPosition(std::string_view criterion) const;
    bool HasChanges() const;
    bool SaveAll();
    void Release();

    // For an owning component: the query runs on first use of the items, and the items are
    // written under the owner's ID as part of the owner's save.
    void LoadLater(const std::string& query, std::vector<std::string> params);
    void CheckLengths() const;
    void WriteTo(bo::Saver& s, const Variant& parentId);

private:
    struct Entry {
        ComponentPtr item;
        std::string key;
    };
    void RequireInitialized() const;
    void EnsureLoaded() const;
    std::size_t Slot(const Variant& positionOrKey) const;
    ComponentPtr Prototype() const;
    void DefineMembers();

    Factory create_;
    bo::StorePtr store_;
    std::string progId_;
    std::string server_;
    int serverType_ = 0;
    mutable std::vector<Entry> entries_;
    std::vector<ComponentPtr> removed_;
    mutable bool pending_ = false;
    std::string pendingQuery_;
    std::vector<std::string> pendingParams_;
};

// The texts of a Load's params argument: nothing, one value, or a collection of values.
std::vector<std::string> ParamTexts(const Variant& params);

} // namespace zelk::host
