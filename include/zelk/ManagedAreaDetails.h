#pragma once

#include "common/bo/Shape.h"
#include "controls/DomainSelectGrid.h"
#include "controls/RichTextControl.h"
#include "controls/ZELKKeywordLB.h"
#include "controls/ctlMapsheet.h"
#include "controls/ctrlBindGrid.h"
#include "controls/ctrlDateSelect.h"
#include "platform/Collection.h"
#include "platform/Recordset.h"
#include "platform/ui/DataCombo.h"
#include "platform/ui/Form.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/Menu.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TabControl.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/VSFlexGrid.h"

#include <array>
#include <chrono>
#include <map>
#include <string>

namespace zelk {
struct ReportDocument;
}

namespace zelk::editor {

// Pages of tabManagedAreas, in tab order.
enum Page : int {
    PageIdentifiers,
    PageLocators,
    PageDescriptors,
    PageLegalProtection,
    PageManager,
    PageManagement,
    PageElements,
    PageAdditionalTopics,
    PageReferences,
    PageVersionQC,
    PageOtherSpatialAttr,
    PageCount
};

// Pictures of the wait panel.
enum WaitKind : int { WaitLoading = 1, WaitSaving, WaitDeleting, WaitPleaseWait, WaitCopying };

// The record editor: shows one managed area at a time on eleven pages bound to its business
// objects, and talks back to its host through the events Quit, UpdateList(lngID), NewItem and
// RemoveItem(lngID). Every public member is also reachable late-bound under the same name.
class ManagedAreaDetails : public UserControl {
public:
    explicit ManagedAreaDetails(std::string name = "ManagedAreaDetails");
    ~ManagedAreaDetails() override;

    // ---- host contract ----
    long GetID() const { return currentId_; }
    // The focused control, descending through nested user controls; null when none.
    ObjectPtr ActiveControlObject();
    Variant InitDetails(const RecordsetPtr& rsView, const ObjectPtr& objAppManager, long lngViewID,
                        const ObjectPtr& objWinMan, const ObjectPtr& colViews,
                        const std::string& strExtraInfo);
    void InitModalDetails(const ObjectPtr& objAppManager, const std::string& strExtraInfo);
    bool CanClose();
    void LoadData(long lngIDLocal);
    long NewData(long lngIDLocal);
    void NotifyListChanges(const std::string& strEvent);
    long CloneData(long lngIDLocal);
    Variant DisplayMessage(const std::string& strMessageID, const Args& arguments = {});
    void Deactivate();

    // ---- state a host, a test or the view may read ----
    const bo::ShapePtr& ShapeObject() const { return shape_; }
    const bo::ManagedAreaPtr& ManagedAreaObject() const { return ma_; }
    long ShapeID() const { return shapeId_; }
    bool PageFilled(int page) const { return page >= 0 && page < PageCount && filled_[page]; }
    const RecordsetPtr& WorkingList() const { return workingList_; }

    // ---- controls (owned by the user control; created once by the layout) ----
    vaTabPro* tabManagedAreas = nullptr;
    Toolbar* tbManagedAreas = nullptr;
    ImageList* ilManagedAreaDetail = nullptr;
    PictureBox* picActivityWait = nullptr;
    PictureBox* picWaitMessage = nullptr;
    // record header and navigator
    TextBox* txtSummaryMAName = nullptr;
    Label* lblUniversalKey = nullptr;
    Label* lblShapeID = nullptr;
    Label* lblManagedAreaID = nullptr;
    Label* lblNewRecord = nullptr;
    CommandButton* cmdNavFirst = nullptr;
    CommandButton* cmdNavPrev = nullptr;
    CommandButton* cmdNavNext = nullptr;
    CommandButton* cmdNavLast = nullptr;
    TextBox* txtCurrentRecord = nullptr;
    Label* lblOf = nullptr;
    Label* lblTotalRecords = nullptr;
    // Identifiers
    TextBox* txtMACodeBCD = nullptr;
    TextBox* txtOldMACode = nullptr;
    controls::RichTextControl* ctlMAName = nullptr;
    controls::RichTextControl* ctlMAType = nullptr;
    TextBox* txtEquiSiteID = nullptr;
    TextBox* txtEquiSiteName = nullptr;
    CommandButton* cmdSelectEquiSite = nullptr;
    CommandButton* cmdClearEquiSite = nullptr;
    TextBox* txtMajorMAID = nullptr;
    TextBox* txtMajorMAName = nullptr;
    CommandButton* cmdSelectMajorMAID = nullptr;
    CommandButton* cmdClearMajorMAID = nullptr;
    controls::ctrlBindGrid* flexOwners = nullptr;
    controls::ctrlBindGrid* flexMAAlias = nullptr;
    VSFlexGrid* flexSites = nullptr;
    CommandButton* cmdSelectSites = nullptr;
    CommandButton* cmdRemoveSite = nullptr;
    // Locators
    DataCombo* cboNation = nullptr;
    DataCombo* cboState = nullptr;
    TextBox* txtLatitude = nullptr;
    TextBox* txtLongitude = nullptr;
    TextBox* txtNorth = nullptr;
    TextBox* txtSouth = nullptr;
    TextBox* txtEast = nullptr;
    TextBox* txtWest = nullptr;
    controls::DomainSelectGrid* ctlCounty = nullptr;
    controls::DomainSelectGrid* ctlLocalJurisdiction = nullptr;
    controls::ctlMapsheet* ctlMapsheet = nullptr;
    controls::ctrlBindGrid* flexTownRangeSection = nullptr;
    // Descriptors
    controls::RichTextControl* ctlDescription = nullptr;
    TextBox* txtTotalAcres = nullptr;
    TextBox* txtTotalHectares = nullptr;
    TextBox* txtStateAcres = nullptr;
    TextBox* txtStateHectares = nullptr;
    controls::RichTextControl* ctlMAComments = nullptr;
    CheckBox* chkMultiJuris = nullptr;
    CheckBox* chkBoundariesMapped = nullptr;
    CheckBox* chkContiguous = nullptr;
    // Legal Protection
    DataCombo* cboProtectionLevel = nullptr;
    controls::RichTextControl* ctlLegalProtectionComment = nullptr;
    DataCombo* cboIUCNCategory = nullptr;
    controls::RichTextControl* ctlLandTenure = nullptr;
    controls::ctrlBindGrid* flexLegal = nullptr;
    // Manager
    controls::RichTextControl* ctlManager = nullptr;
    controls::RichTextControl* ctlManagerInstitution = nullptr;
    controls::RichTextControl* ctlManagerAddress1 = nullptr;
    controls::RichTextControl* ctlManagerAddress2 = nullptr;
    controls::RichTextControl* ctlManagerCity = nullptr;
    DataCombo* cboManagerState = nullptr;
    TextBox* txtManagerCountry = nullptr;
    controls::RichTextControl* ctlManagerZip = nullptr;
    controls::RichTextControl* ctlManagerPhone = nullptr;
    controls::RichTextControl* ctlCoopInst = nullptr;
    controls::RichTextControl* ctlCoopInstComment = nullptr;
    // Management
    CheckBox* chkManagementPlan = nullptr;
    controls::RichTextControl* ctlManagmentPlanComment = nullptr;
    controls::RichTextControl* ctlManagementComment = nullptr;
    DataCombo* cboPublicAccess = nullptr;
    controls::RichTextControl* ctlPublicAccessComments = nullptr;
    controls::ctrlBindGrid* flexYearPlanBudget = nullptr;
    // Elements: the element grid, made by its programmatic identifier and reached late-bound
    Control* ctlElement = nullptr;
    // Additional Topics
    controls::ZELKKeywordLB* lstKeywords = nullptr;
    controls::RichTextControl* ctlInfrastructure = nullptr;
    controls::RichTextControl* ctlAdditionalTopics = nullptr;
    // References
    VSFlexGrid* flexReferences = nullptr;
    CommandButton* cmdSelectReferences = nullptr;
    CommandButton* cmdRemoveReferenceCode = nullptr;
    // Version/QC
    controls::RichTextControl* ctlLeadResponsibility = nullptr;
    controls::ctrlDateSelect* ctlVersionDate = nullptr;
    controls::RichTextControl* ctlVersionAuthor = nullptr;
    controls::RichTextControl* ctlManualFileNote = nullptr;
    controls::RichTextControl* ctlPaperMappingBy = nullptr;
    controls::ctrlDateSelect* ctlPaperMappingDate = nullptr;
    DataCombo* cboDataQCStatus = nullptr;
    controls::RichTextControl* ctlDataQCBy = nullptr;
    controls::RichTextControl* ctlDigitalMappingBy = nullptr;
    controls::ctrlDateSelect* ctlDigitalMappingDate = nullptr;
    DataCombo* cboMapQCStatus = nullptr;
    controls::RichTextControl* ctlMapQCBy = nullptr;
    controls::RichTextControl* ctlQCComments = nullptr;
    // Other Spatial Attr
    VSFlexGrid* flexSpatialAttributes = nullptr;
    // menus
    Menu* mnuFile = nullptr;
    Menu* mnuFileNew = nullptr;
    Menu* mnuFileOpen = nullptr;
    Menu* mnuFileOpenMajorMA = nullptr;
    Menu* mnuFileOpenEquiSite = nullptr;
    Menu* mnuFileOpenElementTracking = nullptr;
    Menu* mnuFileOpenElementOccurrences = nullptr;
    Menu* mnuFileOpenSites = nullptr;
    Menu* mnuFileOpenReferences = nullptr;
    Menu* mnuFileOpenRecordMaintenance = nullptr;
    Menu* mnuFileOpenAttributeMaintenance = nullptr;
    Menu* mnuFileSave = nullptr;
    Menu* mnuFilePrint = nullptr;
    Menu* mnuFileClose = nullptr;
    Menu* mnuEdit = nullptr;
    Menu* mnuEditCut = nullptr;
    Menu* mnuEditCopy = nullptr;
    Menu* mnuEditPaste = nullptr;
    Menu* mnuEditGoto = nullptr;
    Menu* mnuEditGotoFirst = nullptr;
    Menu* mnuEditGotoLast = nullptr;
    Menu* mnuEditGotoNext = nullptr;
    Menu* mnuEditGotoPrevious = nullptr;
    Menu* mnuEditGotoRecord = nullptr;
    Menu* mnuEditDelete = nullptr;
    Menu* mnuTools = nullptr;
    Menu* mnuToolsFind = nullptr;
    Menu* mnuToolsCopy = nullptr;
    Menu* mnuToolsTextEditor = nullptr;
    Menu* mnuToolsSpellCheck = nullptr;
    Menu* mnuToolsViewShape = nullptr;
    Menu* mnuHelp = nullptr;
    Menu* mnuHelpZELKHelp = nullptr;
    Menu* mnuHelpAbout = nullptr;

private:
    // ---- layout (Layout*.cpp) ----
    void CreateControls();
    void CreateHeader();
    void CreateIdentifiersPage();
    void CreateLocatorsPage();
    void CreateDescriptorsPage();
    void CreateLegalAndManagerPages();
    void CreateManagementAndElementsPages();
    void CreateTopicsReferencesPages();
    void CreateVersionAndSpatialPages();
    void CreateMenus();
    void CreateToolbar();
    // Each area wires the events of its own controls.
    void WireEvents();
    void WireNavigationEvents(); // Navigation.cpp
    void WireFieldEvents();      // Fields.cpp: check boxes and field rules
    void WireCommandEvents();    // Commands.cpp: menus and toolbar
    void WireLinkEvents();       // Links.cpp: linked-record selection
    void DefineMembers();

    // ---- lifecycle (Lifecycle.cpp) ----
    void ShowWaitMessage(bool visible, int kind = 0);
    void PlaceWaitPanel();
    void StoreHostReferences(const ObjectPtr& objAppManager);
    ObjectPtr NewShapeObject();
    long LookupShapeId(long managedAreaId);
    void RefreshRecordHeader();
    bool RecordIsModified();
    bool ModifiedDataPrompt();
    void RecorderRecordOpened();
    std::string UserName();
    std::string ServerName();
    int ServerType();
    void ReleaseObjects(bool callThem);

    // ---- navigation (Navigation.cpp) ----
    void GotoRecord(const std::string& position);
    void LoadCurrentRecord();
    void RefreshNavigator();
    bool IsInWorkingListView(long id);
    long FindViewIndex(const std::string& type);
    void SetModalMode(long mode);
    // Drops the row of the record on screen from a private list when the record is gone.
    void DropVanishedRecord();

    // ---- save (Save.cpp) ----
    bool IsDataModified();
    bool SaveData();

    // ---- pages (Pages.cpp, PagesFill.cpp) ----
    void TabChange(int newIndex);
    void FillPage(int page);
    void SetupIdentifiersTab();
    void SetupLocatorsTab();
    void SetupDescriptorsTab();
    void SetupLegalProtectionTab();
    void SetupManagerTab();
    void SetupManagementTab();
    void SetupElementsTab();
    void SetupAdditionalTopicsTab();
    void SetupReferencesTab();
    void SetupVersionQCTab();
    void SetupOtherSpatialAttrTab();
    void ResetTabs();
    void ClearControls();
    // Locks every field, list and grid (the editor's and those inside its user controls).
    void LockForReadOnly();
    void ShowMajorManagedArea(long id);
    // Binds a control property to a field of the managed area (or the shape) and tags it.
    void BindMA(Control* control, std::string_view property, std::string_view field);
    void BindShape(Control* control, std::string_view property, std::string_view field);
    bo::DomainPtr& Domain(std::string_view name);
    void BindDomainCombo(DataCombo* combo, const bo::DomainPtr& domain, std::string_view idField,
                         std::string_view textField);
    void ShowCheckBox(CheckBox* box, std::string_view field);
    // A check box click writes its Y/N field; ignored while loading.
    void CheckBoxClicked(CheckBox* box, std::string_view field);
    static std::string HostCaption(const std::string& name);
    void SetHostCaption(const std::string& caption);
    std::string HostIcon() const;

    // ---- child grids (Grids.cpp) ----
    void SetupOwnersGrid();
    void SetupAliasGrid();
    void SetupCountyGrid();
    void SetupLocalJurisdictionGrid();
    void SetupMapsheetGrid();
    void SetupTownRangeSectionGrid();
    void SetupLegalGrid();
    void SetupYearPlanBudgetGrid();
    void DeactivateBindGrids();
    void OwnersAfterEdit(long row, long col);
    void YearPlanBudgetValidateEdit(long row, long col, bool& cancel);

    // ---- reference and site lists (References.cpp) ----
    void LoadReferencesGrid();
    void LoadSitesGrid();
    void AddReferenceToList(long ReferenceID, const std::string& ReferenceCode,
                            const std::string& FullCitation);
    void ReferencesAfterSort();
    void SitesAfterSort();
    void ReferencesDblClick();

    // ---- host references ----
    ObjectPtr appManager_;
    ObjectPtr winMan_;
    ObjectPtr views_;
    ObjectPtr recorder_;
    RecordsetPtr workingList_;
    RecordsetPtr hostList_;
    long viewId_ = -1;

    // ---- record ----
    bo::ShapePtr shape_;
    ObjectPtr shapeObj_; // the same object, late-bound
    bo::ManagedAreaPtr ma_;
    long shapeId_ = -1;
    long currentId_ = -1;

    // ---- flags ----
    bool deleted_ = false;
    bool loading_ = false;
    bool closing_ = false;
    bool modified_ = false;
    bool tabGuard_ = false;
    bool initFlag_ = false;
    // A list change arrived while the record on screen was new or edited: the list catches up
    // when the user moves, so nothing typed is thrown away.
    bool listChangePending_ = false;
    // The user may not change data: every field is locked as its page fills.
    bool readOnly_ = false;
    std::array<bool, PageCount> filled_{};
    std::map<std::string, bo::DomainPtr, std::less<>> domains_;
    std::string ownerTypeComboList_;
    std::chrono::steady_clock::time_point loadStart_;

    // grids helper
    // Connects the child grids' and lists' events to their handlers. Only the first call wires;
    // the set-ups call it too, so the events work whoever calls it first.
    void WireGridEvents();
    bool gridEventsWired_ = false;
    ObjectPtr ChildListObject(bo::ChildList which);
    void SetupBindGrid(controls::ctrlBindGrid& bindGrid, bo::ChildList which,
                       const std::string& bindList, const std::string& visibleColumns);
    // Writes each owner's PrimaryOwnerInd into its row's Primary cell.
    void ShowPrimaryOwners();

    // links helper
    // ---- linked records (Links.cpp) ----
    // Shows another module's search in the modal search window and answers the recordset the
    // user's choice arrived in (empty when cancelled).
    RecordsetPtr PickRecords(const std::string& progId, RecordsetPtr prototype,
                             const std::string& captionPrefix, bool single);
    void SelectEquiSite();
    void ClearEquiSite();
    void SelectMajorMA();
    void ClearMajorMA();
    void SelectSites();
    void RemoveSites();
    void SelectReferences();
    void RemoveReferences();
    std::string HostWindowCaption();
    // A coded message with no arguments at all.
    Variant HostMessage(const std::string& code);
    // ---- commands (Commands.cpp) ----
    void NewRecord();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void ClipboardCommand(const char* richMember, const char* keys);
    void OpenTextEditor();
    void SpellCheckActiveControl();
    // ---- print (Print.cpp) ----
    ReportDocument BuildReport();
    void PrintRecord();
    void CopyFromManagedArea();
    // ---- related modules, audit views and shape (Related.cpp) ----
    void WireRelatedEvents();
    void OpenRelated(Menu* item);
    bool HasElementRows();
    void OpenRecordMaintenance();
    void OpenAttributeMaintenance();
    void ViewShape();

    // save helper
    // ---- save, validation and delete (Save.cpp, Validate.cpp, Delete.cpp) ----
    bool ValidateRecord();
    bool StoreToObjects();
    void AfterSave();
    bool DeleteRecord();
    void WireSaveEvents();
    // Runs the query and answers the ID of a record it finds ("" when none).
    std::string OtherRecordWith(std::string_view column, std::string_view value);
    bool CoordinateAccepted(TextBox* box);
    // False when a step after the commit (the element order) failed; the user has been told.
    bool EndOfSave(bool saved);
    void UpdateListsAfterSave();
    bool WorkingListHolds(const RecordsetPtr& list, long id);
    // Shows the record at position (or the nearest one with a shape, skipping skipId); false
    // when the list holds none.
    bool ShowNeighbour(long position, long skipId);
    // ---- merging another user's save (Merge.cpp) ----
    // After a save refused because another user saved first: asks, merges, refreshes.
    void OfferMerge();
    void MergeWithDatabase();
    // The other user deleted the record: the user's version becomes a new record, or goes.
    void RecordGone();
    void NewRecordFromThisOne();
    // Fills the pages again from the objects in hand, on the page the user was on.
    void ShowObjectsAgain();
    // The element grid reads its rows from the database: before its collection is rebuilt it
    // keeps what it shows, so that it shows the rebuilt collection next.
    void HoldElementRows();
    // ---- working list (Navigation.cpp) ----
    void OpenWorkingList();
    void ShowGotoRecordDialog();
    long ListPosition();
    // ---- field rules (Fields.cpp) ----
    void AreaValidate(TextBox* box, TextBox* partner, std::string_view partnerField,
                      bool toHectares, const char* message, bool& cancel);
    void NationChanged();
};

} // namespace zelk::editor
