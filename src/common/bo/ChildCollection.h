#pragma once

#include "common/bo/BusinessObject.h"

#include <string_view>

namespace zelk::bo {

// A 1-based list of child objects of one record.
// Criteria are "Prop = value", text values between single quotes ("UniqueID = 'k'"); they
// are parsed, never evaluated, and a criterion that does not parse raises 3001.
class IChildCollection {
public:
    virtual ~IChildCollection() = default;
    virtual long Count() const = 0;
    // Error 9 outside 1..Count.
    virtual ChildPtr Item(long position) const = 0;
    // Adds an existing object (made by its ProgID or another collection) at the end.
    virtual void Add(const ChildPtr& item) = 0;
    // Makes a new empty item of the collection's own class and adds it.
    virtual ChildPtr AddNew() = 0;
    virtual ChildPtr Find(std::string_view criterion) const = 0;
    // 0 when none matches.
    virtual long FindPosition(std::string_view criterion) const = 0;
    // The next save deletes the item's record.
    virtual void Remove(long position) = 0;
    // Forgets the item; nothing is deleted.
    virtual void Drop(long position) = 0;
    // Any item new or changed, or any item removed since the last save.
    virtual bool HasChanges() const = 0;
    // Drops every item and every pending removal.
    virtual void Release() = 0;
};

} // namespace zelk::bo
