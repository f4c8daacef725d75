#pragma once

#include "platform/Collection.h"
#include "platform/Recordset.h"
#include "platform/ui/Form.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/Menu.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TabControl.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/VSFlexGrid.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zelk::search {

// Comparison codes of the criteria lists, in list order.
enum Comparison { Contains = 0, ExactMatch = 1, BeginsWith = 2, EndsWith = 3, Wildcard = 4 };

// The managed area search: criteria on three tabs become one query over the working-list view,
// the matches fill a grid, and chosen rows go to the host's working list, the editor or, in
// modal use, back to the caller.
//
// Late-bound members (same names as the C++ ones): rsView, ActiveControl, InitSearch,
// InitModalSearch, CanClose, SelectedItems, SetSingleSelect, UseSelectedRecordset,
// SetSelectedItems, Deactivate. Events: Quit, NewItem.
class ManagedAreaSearch : public UserControl {
public:
    static constexpr const char* kProgId = "ZELK_ManagedArea.ManagedAreaSearch";
    static constexpr long kWidth = 9750;
    static constexpr long kHeight = 9825;

    explicit ManagedAreaSearch(std::string name);
    ~ManagedAreaSearch() override;

    // Host contract.
    void InitSearch(const RecordsetPtr& prsTemp, const Variant& objAppManager, long plngViewType,
                    const ObjectPtr& pobjWinMan, const ObjectPtr& pcolViews,
                    const std::string& strExtraInfo);
    void InitModalSearch(const ObjectPtr& objAppManager, const RecordsetPtr& rsTemp,
                         const std::string& strExtraInfo);
    bool CanClose();
    void SelectedItems();
    void SetSingleSelect();
    void UseSelectedRecordset(bool blnUseRecordset) { mblnUseRecordset = blnUseRecordset; }
    void SetSelectedItems(const ObjectPtr& aCollection);
    void Deactivate();

    // State a host or a test may look at.
    const RecordsetPtr& WorkingList() const { return mrsTemp; }
    const RecordsetPtr& Results() const { return mrsResults; }
    const std::string& SearchName() const { return mstrSearchName; }
    bool IsModal() const { return mblnModal; }
    RecordsetPtr rsView;

    // The statement for the current criteria; "" when the search must not run (the user has
    // been told why).
    std::string BuildSearchSQL();
    std::string BuildSearchStateXml();
    std::string BuildSearchPropertiesXml();
    void ReadSearchStateXml(const std::string& text);
    void ReadSearchPropertiesXml(const std::string& text);

    // Header text of a grid column as the user reads it ("managed_area_id" -> "Managed Area ID").
    static std::string HeaderCaption(const std::string& fieldName);
    static void FormatGridHeaders(VSFlexGrid& grid);
    static std::string BuildComparison(const std::string& column, const std::string& value,
                                       int code);

private:
    // Design of the control and its event wiring.
    void CreateControls();
    void CreateCriteria();
    void CreateResults();
    void CreateMenus();
    void WireEvents();
    void DefineMembers();
    void FinishInit();

    // Criteria and the search run.
    bool HasCriteria() const;
    static bool Filled(const TextBox& box);
    void FindNow();

    // Results grid.
    void BindResults();
    void UnbindResults();
    void UpdateOkButton();
    void MakeCurrentRow(long row);
    void SelectAll();
    void SelectNone();
    void AddToList(bool replace);
    void ShowDetails();
    void NewRecord();
    void NewRecordModal();
    void ResultsDblClick();
    void Ok();
    void Cancel();
    void SendClipboardKeys(const std::string& keys);
    void ToolbarButtonClick(const std::string& key);
    void SetMainGridRedraw(bool on);
    // The cursor, scroll position and selection of the results grid.
    struct ResultsView {
        long row = 0, col = 0, rowSel = 0, colSel = 0, topRow = 0;
        std::vector<long> selected;
    };
    ResultsView SaveResultsView() const;
    void RestoreResultsView(const ResultsView& view);
    void ViewSearchSql();

    // Search state, defaults and named searches.
    void NewSearch();
    void ResetSearch();
    void LoadDefault(const std::string& category, bool criteria);
    void SaveDefault(const std::string& category, const std::string& document);
    void OpenSearch();
    void SaveSearch(bool ask);
    void DeleteSearch();
    std::string AskSearchName(const std::string& category, int mode);
    ObjectPtr NewOptionCollection(const std::string& progId);
    ObjectPtr FindOption(const std::string& category, const std::string& optionName);
    void StoreNewOption(const std::string& category, const std::string& optionName,
                        const std::string& value);
    std::string UserIdText();

    // Runs a command, reporting any run-time error with its context text.
    void Guard(const char* context, const std::function<void()>& f);
    Form* ParentForm() const { return Owner(); }
    Variant App(std::string_view member, Args args = {});

    // The criterion text boxes and their comparison lists, in the order of the state document.
    struct Criterion {
        TextBox* text;
        ComboBox* comparison; // null for ID, code and state code
        const char* element;
    };
    std::vector<Criterion> Criteria() const;

    // Instance state.
    RecordsetPtr mrsTemp;
    RecordsetPtr mrsResults;
    ObjectPtr mobjAppManager;
    long mlngViewType = 0;
    ObjectPtr mobjWinMan;
    ObjectPtr mcolViews;
    bool mblnModal = false;
    ObjectPtr mcolSelected;
    bool mblnUseRecordset = false;
    std::string mstrExtraInfo;
    std::string mstrSearchName;
    bool singleSelect_ = false;

    // Constituent controls.
    std::shared_ptr<vaTabPro> tab_;
    std::shared_ptr<OptionButton> optMAName_, optMAAlias_, optMABoth_;
    std::shared_ptr<TextBox> txtManagedAreaName_, txtManagedAreaType_, txtManagedAreaID_,
        txtManagedAreaCodeBCD_, txtMapsheetCode_, txtCountyName_, txtLocalJurisdiction_,
        txtSiteName_, txtStateCode_, txtStateName_;
    std::shared_ptr<ComboBox> cboMANameComparison_, cboMATypeComparison_,
        cboMapsheetCodeComparison_, cboCountyNameComparison_, cboLocalJurisComparison_,
        cboSiteNameComparison_, cboStateComparison_;
    std::shared_ptr<CommandButton> cmdFindNow_, cmdSelectAll_, cmdDeselectAll_, cmdAddToList_,
        cmdReplaceList_, cmdDetails_, cmdNew_, cmdOK_, cmdCancel_;
    std::shared_ptr<VSFlexGrid> flexResults_;
    std::shared_ptr<Label> lblRecordsReturnedCount_;
    std::shared_ptr<Menu> mnuOptionsSaveDefault_, mnuFileDeleteSearch_;
    std::shared_ptr<Toolbar> tbManagedAreaSearch_;
};

void RegisterManagedAreaSearch(ProgIdRegistry& registry);

} // namespace zelk::search
