#pragma once

#include "platform/Collection.h"
#include "platform/Recordset.h"
#include "platform/ui/Form.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/VSFlexGrid.h"

#include <memory>
#include <string>
#include <vector>

namespace zelk::host {

// What one module's search looks through: its working-list view, the columns whose text the
// user's words are matched against, and the order of the results.
struct SearchSource {
    std::string typeName;                  // "SiteSearch"
    std::string caption;                   // caption of the hosting window
    std::string view;                      // working-list view, first column "id"
    std::vector<std::string> matchColumns; // first is the name, then codes or other names
    std::vector<std::string> matchLabels;  // what the user reads for each of them
    std::string orderBy;
    // The element module's picks carry their level ("GEOLEVEL"), which its view lacks: the
    // host answers it for each chosen row.
    bool geoLevel = false;
};

// A small search control of another module, as the modal search window hosts it: the user
// types part of a name or code (or an ID), finds the matching records and picks rows; OK hands
// them to the caller, Cancel hands nothing. Both raise Quit.
//
// Late-bound members: InitModalSearch(appManager, rsTemp, extraInfo), UseSelectedRecordset,
// SetSingleSelect, SetSelectedItems, SetMutliSelect, GetMultiSelect, SetNameType(type, locked
// [, text]), SetIdEnabled, SelectedItems, CanClose, Deactivate.
class StandInSearch : public UserControl {
public:
    explicit StandInSearch(SearchSource source);

    void InitModalSearch(const ObjectPtr& appManager, RecordsetPtr& rsTemp,
                         const std::string& extraInfo);
    void UseSelectedRecordset(bool use) { useRecordset_ = use; }
    void SetSelectedItems(const std::shared_ptr<Collection>& items) { selected_ = items; }
    void SetMultiSelect(bool multi);
    bool GetMultiSelect() const { return multiSelect_; }
    // 0 matches every column; n only the n-th. Locked keeps the user from changing it.
    void SetNameType(int nameType, bool locked, const std::string& text);
    void SetIdEnabled(bool enabled);
    // Runs the search with the criteria on screen; the count of rows found.
    long FindNow();
    void SelectedItems();
    void Deactivate();

    // The statement the criteria on screen make.
    std::string BuildSQL() const;
    const RecordsetPtr& Results() const { return results_; }

private:
    void DefineMembers();
    void BuildControls();
    void UpdateOK();
    void Accept();
    void CopyRow(Recordset& target);

    SearchSource source_;
    ObjectPtr app_;
    RecordsetPtr rsTemp_, results_;
    std::shared_ptr<Collection> selected_;
    bool useRecordset_ = false;
    bool multiSelect_ = true;

    std::shared_ptr<TextBox> txtName_, txtID_;
    std::shared_ptr<ComboBox> cboNameType_;
    std::shared_ptr<Label> lblCount_;
    std::shared_ptr<VSFlexGrid> flexResults_;
    std::shared_ptr<CommandButton> cmdFindNow_, cmdOK_, cmdCancel_;
};

SearchSource SiteSearchSource();
SearchSource ReferenceSearchSource();
SearchSource ElementSearchSource();

} // namespace zelk::host
