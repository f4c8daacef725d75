#pragma once

#include "controls/CheckListControl.h"
#include "platform/ui/StdControls.h"

#include <string>

namespace zelk::controls {

// Lists one lookup table with a check column; the ticked values are the items of a child
// collection.
//
// Late-bound members (besides those of CheckListControl: Grid, ServerName, ServerType,
// UserName, HasChanges, Refresh, ClearList, Deactivate):
//   Caption                              title shown above the list
//   AllowAddItems                        Boolean: AddDomainItem may add lookup values
//   ShowSelectedOnly                     Boolean: hides the unticked rows
//   GroupColumn                          a column of the domain that groups its values (a
//                                        county's state); set before SetDomain
//   GroupValue                           lists only that group's values ("" all of them)
//   FilterText                           lists only values whose text holds it (any case);
//                                        the filter box "txtFilter" above the list sets it
// A ticked value is never hidden by the group or the filter, and the ticked values come first.
//   SetDomain(table, idColumn, textColumn)
//   SetNewItemClass(progId, property, column)   the class AddDomainItem creates
//   BindCollection(collection, idProperty, textProperty)
//   AddDomainItem(text) -> row           saves a new lookup value and ticks it
class DomainSelectGrid : public CheckListControl {
public:
    explicit DomainSelectGrid(std::string name);

    void SetDomain(const std::string& table, const std::string& idColumn,
                   const std::string& textColumn);
    void SetNewItemClass(const std::string& progId, const std::string& property,
                         const std::string& column);
    void BindCollection(const ObjectPtr& collection, const std::string& idProperty,
                        const std::string& textProperty);
    long AddDomainItem(const std::string& text);
    void SetShowSelectedOnly(bool v);
    void SetGroupValue(const std::string& v);
    void SetFilterText(const std::string& v);

private:
    void ApplyFilter();
    void Arrange();
    void LayOut();
    std::shared_ptr<TextBox> txtFilter_;
    std::string caption_, table_, idColumn_, textColumn_, groupColumn_, groupValue_, filter_;
    std::string newProgId_, newProperty_, newColumn_;
    bool allowAdd_ = false, selectedOnly_ = false;
};

} // namespace zelk::controls
