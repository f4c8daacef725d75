#pragma once

#include "common/bo/ChildCollection.h"
#include "platform/ui/Form.h"
#include "platform/ui/VSFlexGrid.h"

#include <memory>
#include <set>
#include <string>

namespace zelk::controls {

// Shared base of the controls that list a lookup table with a check column and keep a child
// collection in step with the ticks: a ticked row has an item in the collection whose id
// property holds the row's id. The inner grid "Grid" has the columns "Selected" (Boolean),
// "Text", a hidden "ID" and a hidden "Group" (the value of the domain's group column, when one
// is read); only the check column can be edited.
class CheckListControl : public UserControl {
public:
    CheckListControl(std::string name, std::string typeName);

    VSFlexGrid& Grid() { return *grid_; }
    const std::string& ServerName() const { return serverName_; }
    int ServerType() const { return serverType_; }

    // Reads the lookup rows through the data client (identifiers only, no caller text).
    void LoadDomain(const std::string& table, const std::string& idColumn,
                    const std::string& textColumn, const std::string& groupColumn = "");
    // itemProgId "" makes new items with the collection's own class.
    void BindItems(const ObjectPtr& collection, const std::string& idProperty,
                   const std::string& textProperty, const std::string& itemProgId = "");
    // The ticks of every row, read again from the collection; the state counts as unchanged.
    void Refresh();
    void ClearList();
    void Deactivate();
    // The ticks differ from those read at bind or refresh.
    bool HasChanges() const;
    bool IsTicked(long row) const;
    // Ticks or unticks the row as a user's click does. False when nothing changed.
    bool SetTicked(long row, bool ticked);
    // The group column's value of a row ("" when none was read).
    std::string GroupOf(long row) const;
    // Moves the ticked rows to the top, each part keeping its order.
    void PutTickedFirst();

protected:
    void DefineCommonListMembers();
    // Rows with these ids are listed even if the lookup table lacks them.
    long AddRow(const std::string& id, const std::string& text);
    std::string serverName_, userName_;
    int serverType_ = 1;

private:
    void OnTicked(long row);
    std::set<std::string> TickedIds() const;
    long FindItem(const std::string& id) const;

    std::shared_ptr<VSFlexGrid> grid_;
    ObjectPtr collectionObj_;
    bo::IChildCollection* collection_ = nullptr;
    std::string idProperty_, textProperty_, itemProgId_;
    std::set<std::string> baseline_;
};

} // namespace zelk::controls
