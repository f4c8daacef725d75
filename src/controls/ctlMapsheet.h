#pragma once

#include "common/bo/ChildCollection.h"
#include "platform/Recordset.h"
#include "platform/ui/Form.h"
#include "platform/ui/VSFlexGrid.h"

#include <memory>
#include <string>

namespace zelk::controls {

// The mapsheet list of a record: one row per mapsheet item with its name, code, DOT and
// margin numbers and ten-ten; a mapsheet is added by typing its code in the empty last row
// and removed with Delete.
//
// Late-bound members:
//   AppManager           the host's application manager (by reference; for the lookup)
//   AllowEdit            Boolean: the user may add and remove mapsheets
//   Grid                 the inner VSFlexGrid
//   BindCollection(col)  shows the mapsheet collection
//   HasChanges           the collection holds unsaved changes
//   Refresh, ClearGrid, DeleteRow(row)
//   ReleaseData          forgets the collection and the application manager
class ctlMapsheet : public UserControl {
public:
    explicit ctlMapsheet(std::string name);

    VSFlexGrid& Grid() { return *grid_; }
    void BindCollection(const ObjectPtr& collection);
    bool HasChanges() const { return collection_ && collection_->HasChanges(); }
    void Refresh();
    void ClearGrid();
    bool DeleteRow(long row);
    void ReleaseData();
    bool AllowEdit() const { return allowEdit_; }
    void SetAllowEdit(bool v) { allowEdit_ = v; }

private:
    void DefineMembers();
    // Id of the mapsheet with this code; empty when there is none.
    std::string LookupCode(const std::string& code);
    void AddMapsheet(long row);

    std::shared_ptr<VSFlexGrid> grid_;
    ObjectPtr appManager_, collectionObj_;
    bo::IChildCollection* collection_ = nullptr;
    RecordsetPtr mapsheets_;
    bool allowEdit_ = false;
};

} // namespace zelk::controls
