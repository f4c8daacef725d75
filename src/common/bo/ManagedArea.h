#pragma once

#include "common/bo/BusinessObject.h"
#include "common/bo/ChildCollection.h"
#include "common/bo/DomainList.h"

#include <memory>
#include <string>
#include <string_view>

namespace zelk::bo {

// The twelve child lists of a managed area.
enum class ChildList {
    Owners,
    Aliases,
    Sites,
    Counties,
    LocalJurisdictions,
    Mapsheets,
    TownRangeSections,
    LegalActs,
    YearBudgets,
    References,
    Keywords,
    Elements,
};
constexpr int ChildListCount = 12;

class IManagedArea : public IPropertyObject, public IBindable {
public:
    virtual void Connect(const std::string& serverName, int serverType) = 0;
    virtual void Load(const std::string& managedAreaId) = 0;
    virtual void ReleaseData() = 0;
    // Negative and temporary until the first save.
    virtual long ManagedAreaId() const = 0;
    // Changes in any of its lists (HasChanges covers the record itself).
    virtual bool HasChildChanges() const = 0;
    virtual IChildCollection& Children(ChildList which) = 0;
    // Domain name ("NATION", "STATE", ...), optional filter (the nation for "STATE").
    virtual DomainPtr GetDomain(std::string_view domainName, const Variant& filter = {},
                                bool fresh = true) = 0;
};
using ManagedAreaPtr = std::shared_ptr<IManagedArea>;

} // namespace zelk::bo
