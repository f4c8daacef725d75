#pragma once

#include "common/bo/ManagedArea.h"
#include "common/bo/Merge.h"

#include <string>

namespace zelk::bo {

// The shape's other spatial attributes (name/value rows), read only.
class ISpatialAttributes {
public:
    virtual ~ISpatialAttributes() = default;
    virtual long Count() const = 0;
    // Fills a grid (Rows, Cols, TextMatrix by name) with one column per listed property.
    virtual void FillGrid(const ObjectPtr& grid, std::string_view propertyList) const = 0;
    virtual void Release() = 0;
};

// The root of one record: the shape row, its managed area and their lists. Save writes all
// of it in one transaction.
class IShape : public IPropertyObject, public IBindable {
public:
    virtual void Connect(const std::string& serverName, int serverType) = 0;
    virtual void Load(const std::string& shapeId) = 0;
    virtual void ReleaseData() = 0;
    virtual void NewRecord() = 0;
    virtual long ShapeId() const = 0;
    virtual void SetCreateUser(const std::string& user) = 0;
    virtual void SetLastModUser(const std::string& user) = 0;
    virtual void SetOrgUnitId(long orgUnitId) = 0;
    virtual long ManagedAreaCount() const = 0;
    // Item 1 is the record's managed area; error 9 otherwise.
    virtual ManagedAreaPtr ManagedArea(long position) const = 0;
    virtual ISpatialAttributes& OtherSpatialAttributes() = 0;
    // Changes in the managed area or any of its lists.
    virtual bool HasChildChanges() const = 0;
    // False when nothing was written; LastError then says why.
    virtual bool Save() = 0;
    virtual std::string LastError() const = 0;
    // The message code the user is shown for the last refusal of Save or ClaimForDelete when
    // it has one of its own (another user changed the record first); "" otherwise.
    virtual std::string LastErrorCode() const { return {}; }
    // Before a delete: true when the record is still as it was loaded, and from now on a
    // save of it by anybody else who loaded it earlier is refused. False (LastErrorCode set)
    // when another user changed or deleted it in the meantime. A true claim opens the
    // transaction the delete runs in; FinishDelete must follow it.
    virtual bool ClaimForDelete() { return true; }
    // Ends what ClaimForDelete opened: keeps the claim and the delete when deleted is true
    // (false if that commit fails), or undoes both, so a failed delete leaves the record's
    // version as it was.
    virtual bool FinishDelete(bool deleted) { return deleted; }
    // After a save refused because another user saved first: the record as the database now
    // holds it compared with the one in hand. Null when the objects cannot merge.
    virtual MergePtr PrepareMerge() { return nullptr; }
    // Makes the record in hand a new one, every row of it included: the next save inserts it
    // (for a record another user deleted). False when the objects cannot.
    virtual bool BecomeNewRecord() { return false; }
    // XML whose root/<server class>/COMPONENT_PROPERTIES/<field> nodes name "table.column".
    virtual std::string ComponentProperties(std::string_view root) const = 0;
    virtual DomainPtr GetDomain(std::string_view domainName, const Variant& filter = {},
                                bool fresh = true) = 0;
};
using ShapePtr = std::shared_ptr<IShape>;

} // namespace zelk::bo
