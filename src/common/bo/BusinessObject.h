#pragma once

#include "platform/Dispatch.h"
#include "platform/Variant.h"

#include <memory>
#include <string>
#include <string_view>

namespace zelk::bo {

// A record whose fields are read and written by property name. Unknown names raise 438
// with the name; a value a numeric or date field cannot hold raises 13 and changes nothing.
class IPropertyObject {
public:
    virtual ~IPropertyObject() = default;
    virtual Variant GetProperty(std::string_view name) const = 0;
    virtual void SetProperty(std::string_view name, const Variant& value) = 0;
    virtual bool HasProperty(std::string_view name) const = 0;
    // True while a field differs from what was loaded or last saved.
    virtual bool HasChanges() const = 0;
    virtual bool IsNew() const = 0;
};

// Controls show a field and write their changes back into it.
class IBindable {
public:
    virtual ~IBindable() = default;
    // format and nothing are accepted for the callers' sake; only Nothing is supported.
    virtual void Bind(const ObjectPtr& control, std::string_view controlProperty,
                      std::string_view field, const Variant& format = Variant::Nothing(),
                      const Variant& nothing = Variant::Nothing()) = 0;
    virtual void Unbind(std::string_view field) = 0;
    virtual void DropBindings() = 0;
};

// One row of a child list (owner, alias, county, element, ...). Besides its own fields it
// carries ID, ManagedAreaId, DisplayOrder, UniqueID and the four user stamps.
class IChildObject : public IPropertyObject {
public:
    // Key that stays the same for the object's lifetime, also before it is saved.
    virtual std::string UniqueID() const = 0;
    // Makes the object stand for a record still to be inserted.
    virtual void MarkNew(bool isNew) = 0;
    virtual void Connect(const std::string& serverName, int serverType) = 0;
    // Loads one existing record by its ID (as text); error 3021 when there is none.
    virtual void Load(const std::string& id) = 0;
    // Run on every item after a committed save.
    virtual void AfterSave() = 0;
};
using ChildPtr = std::shared_ptr<IChildObject>;

} // namespace zelk::bo
