#pragma once

#include "common/bo/ChildCollection.h"
#include "common/bo/DomainList.h"
#include "platform/Recordset.h"
#include "platform/ui/DataCombo.h"
#include "platform/ui/Form.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/VSFlexGrid.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zelk::elementgrid {

// Row states kept in each data row's RowData.
namespace rowstate {
constexpr int New = 0;
constexpr int Modified = 2;
constexpr int Unchanged = 100;
} // namespace rowstate

// Lets the user choose records in another module's search, shown modally: the search's
// ProgID, the dialog's caption and icon, and the recordset that receives the choice.
using RecordPicker =
    std::function<void(const std::string& progId, const std::string& caption,
                       const std::string& icon, const ObjectPtr& appManager, RecordsetPtr& rs)>;

// The elements recorded in one managed area: a grid read by SQL, one row per
// element_managed_area record and a blank row at the bottom for the next one, with the
// current row's attributes in a panel below. Edits stay in the grid until StoreToCollection
// copies them into the record's element collection; PostSave writes display order.
class MA_ElementGrid : public UserControl {
public:
    explicit MA_ElementGrid(std::string name = "ctlElement");
    ~MA_ElementGrid() override;

    // The host contract (also reachable late-bound under the same names).
    void Initialize(const ObjectPtr& elements, long managedAreaId, const ObjectPtr& winMan,
                    const ObjectPtr& appManager);
    const std::string& SearchFormCaption() const { return searchCaption_; }
    void SetSearchFormCaption(std::string caption) { searchCaption_ = std::move(caption); }
    void SetSearchFormIcon(std::string icon) { searchIcon_ = std::move(icon); }
    void SetETKViewID(long viewId) { etkViewId_ = viewId; }
    bool StoreToCollection();
    bool IsModified();
    bool IsValid();
    void Clear();
    // Writes the display order; an order it cannot write stays pending and its error is
    // raised once the grid is back in step with the saved record.
    void PostSave();

    // The record's element collection is about to be rebuilt (merged with another user's save,
    // or made part of a new record): the next Initialize shows the collection's elements over
    // what the database holds, each row as it is on screen now where the collection keeps it.
    // With `everyRow`, the rows become a new record's: a row the collection does not hold (it
    // forgets saved rows after a save) is added to it as a new element.
    void HoldRows(bool everyRow = false);

    VSFlexGrid& Grid() { return *flexElement_; }
    // Replaces the modal search used by the pick buttons (the workbench and tests keep the
    // default, which shows frmModalSearch).
    void SetRecordPicker(RecordPicker picker) { picker_ = std::move(picker); }

    static constexpr long kWidth = 11280;
    static constexpr long kHeight = 5265;

private:
    void BuildControls();
    void DefineMembers();
    void HookEvents();

    // Load and layout.
    void LayoutElementGrid();
    bo::DomainPtr GetDomainList(const std::string& domainName);
    void LoadDomainCombo(DataCombo& combo, const std::string& domainName,
                         const std::string& boundField, const std::string& listField,
                         const std::string& columnKey);
    void ShowElementDetails();
    void RowChange(long oldRow, long oldCol, long newRow, long newCol);
    bool IsLastRowUsed() const;
    void AddBlankRow();
    void AutoSizeCodedColumns();

    // Edits.
    void SelectElement();
    void FillPickedElement(Recordset& rs);
    void SelectReference();
    void ClearReference();
    void RemoveElement();
    void UpdateElementCell(long row, const std::string& key, const std::string& value);
    void CommitDetailPanel();
    void OpenElementRecord();
    void BeforeReorder();
    void AfterReorder();

    // After a rebuilt collection (ElementGridMerge.cpp).
    void ShowHeldRows();
    void ShowElementOfRow(long row, bo::IChildObject& e);

    // Persistence.
    bo::ChildPtr NewElementObject();
    bo::ChildPtr LoadElementObject(const std::string& id);
    bo::ChildPtr FindNewRowElement(long row) const;
    void StoreRowToElement(long row, bo::IChildObject& element);
    long RecordIdOfRow(long row);
    void WriteDisplayOrder(long position, long recordId);
    void EmptyCollection();

    // Cells and rows by column key.
    long Col(std::string_view key) const;
    std::string Cell(long row, std::string_view key) const;
    void SetCell(long row, std::string_view key, std::string value);
    int RowState(long row) const;
    void SetRowState(long row, int state);
    void MarkChanged(long row);
    long FirstDataRow() const { return flexElement_->FixedRows(); }
    // One past the last data row: the trailing blank row.
    long BlankRow() const { return flexElement_->Rows() - 1; }
    bool IsDataRow(long row) const { return row >= FirstDataRow() && row < BlankRow(); }
    std::string UserName() const;
    Variant App(std::string_view member, Args args = {}) const;

    std::shared_ptr<VSFlexGrid> flexElement_;
    std::shared_ptr<Frame> fraElementDetails_;
    std::shared_ptr<TextBox> txtElementID_, txtGeoLevel_, txtScientificName_, txtCommonName_,
        txtRank_, txtReferenceCode_, txtFullCitation_, txtStatusInMA_, ctrDistributionComments_;
    std::shared_ptr<DataCombo> cboOrigin_, cboRegularity_, cboDistributionConfidence_,
        cboCurrentPresenceAbsence_, cboPopulation_;
    std::shared_ptr<CommandButton> cmdSelectElement_, cmdSelectReference_, cmdClearReference_,
        cmdRemove_;

    ObjectPtr elementsObj_;
    bo::IChildCollection* elements_ = nullptr;
    long managedAreaId_ = -1;
    ObjectPtr winMan_, appManager_;
    std::string searchCaption_, searchIcon_;
    long etkViewId_ = -1;
    bool removed_ = false;
    bool orderChanged_ = false;
    // Set while code fills the panel, so the combos' Change does not write back.
    bool showing_ = false;
    // Set between the two halves of a reorder, while the blank row is off the grid.
    bool reordering_ = false;
    RecordPicker picker_;
    // Rows kept by HoldRows: every cell, and the element object the row stood for.
    struct HeldRow {
        std::vector<std::string> cells;
        bo::ChildPtr element;
        std::string id;
    };
    std::vector<HeldRow> held_;
    bool holding_ = false;
};

} // namespace zelk::elementgrid
