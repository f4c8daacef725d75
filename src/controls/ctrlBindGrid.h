#pragma once

#include "common/bo/ChildCollection.h"
#include "platform/ui/Form.h"
#include "platform/ui/VSFlexGrid.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

namespace zelk::controls {

// An edit grid bound to a child collection: one row per child object (RowData = its
// UniqueID), one column per bound property (ColKey = the property name), and an empty row at
// the bottom where typing creates a new object. Edits go into the objects as soon as the inner
// grid accepted them; Delete on a row (or DeleteRow) removes its object.
//
// Late-bound members:
//   Grid                          the inner VSFlexGrid (column settings are made there)
//   BindCollection(col, list)     binds a child collection with a comma-separated property list
//   SetVisibleColumns(list)       shows only the listed bound columns, hides the others
//   SetColumnOption(key, on)      marks a column as required: IsValid fails on a row left empty
//   ClearGrid                     forgets the collection and empties the grid
//   SetCreateDefault(prop, val)   value given to every object the grid creates
//   SetModifyDefault(prop, val)   value given to every object the grid changes
//   ExtendLastCol                 Boolean: the last visible column takes the spare width
//   KeepExtraColumns              Boolean: columns the caller added survive Refresh
//   HasChanges, IsValid           the collection holds unsaved changes / every row is complete
//   StoreToCollection             writes any cell that differs from its object (True when done)
//   PostSave                      end of a save: forgets refused edits, re-reads the rows
//   Refresh                       re-reads the rows from the collection
//   DeleteRow(row)                removes the row and its object
//   Deactivate                    releases the collection
// Events: ValidateEdit(Row, Col, Cancel) and AfterEdit(Row, Col), re-raised from the inner grid.
class ctrlBindGrid : public UserControl {
public:
    explicit ctrlBindGrid(std::string name);

    VSFlexGrid& Grid() { return *grid_; }
    void BindCollection(const ObjectPtr& collection, const std::string& bindList);
    void SetVisibleColumns(const std::string& list);
    void SetColumnOption(const std::string& key, bool on);
    void ClearGrid();
    void SetCreateDefault(const std::string& property, const Variant& value);
    void SetModifyDefault(const std::string& property, const Variant& value);
    bool HasChanges() const;
    bool IsValid();
    bool StoreToCollection();
    void PostSave();
    void Refresh();
    bool DeleteRow(long row);
    void Deactivate();

    bool ExtendLastCol() const { return extendLastCol_; }
    void SetExtendLastCol(bool v);
    bool KeepExtraColumns() const { return keepExtra_; }
    void SetKeepExtraColumns(bool v) { keepExtra_ = v; }

private:
    void DefineMembers();
    void FillRows();
    void AddNewRow();
    void ApplyWidths();
    long Position(long row) const; // 0 when the row shows no object
    void OnAfterEdit(long row, long col);
    void WriteCell(bo::IChildObject& item, long row, long col);

    std::shared_ptr<VSFlexGrid> grid_;
    ObjectPtr collectionObj_;
    bo::IChildCollection* collection_ = nullptr;
    std::vector<std::string> bound_;
    std::unordered_set<std::string, IHash, IEqual> required_;
    std::vector<std::pair<std::string, Variant>> createDefaults_, modifyDefaults_;
    std::set<std::pair<long, long>> refused_; // cells whose text the object would not take
    bool extendLastCol_ = false, keepExtra_ = false;
};

} // namespace zelk::controls
