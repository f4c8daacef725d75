// The control's design: criteria tabs, results grid, buttons, menus and toolbar, and the
// wiring of their events to the commands.
#include "search/ManagedAreaSearch.h"

#include "platform/Conv.h"
#include "platform/ui/UiDriver.h"

namespace zelk::search {

namespace {

const char* const kComparisons[] = {"Contains", "Exact Match", "Begins with", "Ends with",
                                    "Wildcard"};

std::shared_ptr<ComboBox> ComparisonList(Form& f, const std::string& name, Control* container,
                                         long left, long top) {
    auto cbo = f.Add<ComboBox>(name, container);
    cbo->SetStyle(2);
    for (const char* c : kComparisons)
        cbo->AddItem(c);
    cbo->SetListIndex(Contains);
    cbo->Move(left, top, 1800, 315);
    return cbo;
}

template <class T>
std::shared_ptr<T> Captioned(Form& f, const std::string& name, const std::string& caption,
                             Control* container, long left, long top, long width, long height) {
    auto c = f.Add<T>(name, container);
    c->SetCaption(caption);
    c->Move(left, top, width, height);
    return c;
}

std::shared_ptr<Menu> MenuItem(Form& f, const std::string& name, const std::string& caption,
                               Control* parent, const std::string& shortcut = "") {
    auto m = f.Add<Menu>(name, parent);
    m->SetCaption(caption);
    m->SetShortcut(shortcut);
    return m;
}

} // namespace

void ManagedAreaSearch::CreateControls() {
    SetFixedSize(kWidth, kHeight);
    CreateMenus();
    auto iml = Add<ImageList>("imlToolbarIcons");
    for (const char* k : {"New", "Open", "Save", "Cut", "Copy", "Paste", "Help"})
        iml->Add(k, k);
    tbManagedAreaSearch_ = Add<Toolbar>("tbManagedAreaSearch");
    tbManagedAreaSearch_->SetImageList("imlToolbarIcons");
    tbManagedAreaSearch_->Move(0, 0, kWidth, 420);
    const std::pair<const char*, const char*> buttons[] = {{"New", "Create New Search"},
                                                           {"Open", "Open Saved Search"},
                                                           {"Save", "Save Current Search"},
                                                           {"Cut", "Cut"},
                                                           {"Copy", "Copy"},
                                                           {"Paste", "Paste"},
                                                           {"Help", "Help"}};
    for (const auto& [key, tip] : buttons)
        tbManagedAreaSearch_->AddButton(key, tip, key);
    CreateCriteria();
    CreateResults();
}

void ManagedAreaSearch::CreateCriteria() {
    tab_ = Add<vaTabPro>("tabManagedAreaSearch");
    tab_->Move(60, 480, 8160, 4200);
    tab_->SetTabCount(3);
    tab_->SetTabCaption(0, "Na&me/ID");
    tab_->SetTabCaption(1, "Loca&tion");
    tab_->SetTabCaption(2, "St&ate");
    Control* tab = tab_.get();

    // A framed criterion: caption, the two labels, the text box and the comparison list.
    auto framed = [&](const std::string& frame, const std::string& caption, int page, long top,
                      std::shared_ptr<TextBox>& text, const std::string& textName,
                      std::shared_ptr<ComboBox>& cbo, const std::string& cboName) {
        auto fra = Captioned<Frame>(*this, frame, caption, tab, 120, top, 7900, 900);
        fra->SetTabPage(page);
        Captioned<Label>(*this, frame + "TextLabel", "Text to Search for", fra.get(), 120, 240,
                         3600, 255);
        Captioned<Label>(*this, frame + "ComparisonLabel", "Comparison", fra.get(), 4200, 240, 1800,
                         255);
        text = Add<TextBox>(textName, fra.get());
        text->Move(120, 480, 3900, 315);
        cbo = ComparisonList(*this, cboName, fra.get(), 4200, 480);
        return fra;
    };
    auto label = [&](const std::string& name, const std::string& caption, int page, long left,
                     long top) {
        Captioned<Label>(*this, name, caption, tab, left, top, 1800, 255)->SetTabPage(page);
    };
    auto box = [&](const std::string& name, int page, long left, long top) {
        auto t = Add<TextBox>(name, tab);
        t->Move(left, top, 1800, 315);
        t->SetTabPage(page);
        return t;
    };

    // Name/ID.
    auto fraName = framed("fraMAName", "MA Name", 0, 480, txtManagedAreaName_, "txtManagedAreaName",
                          cboMANameComparison_, "cboMANameComparison");
    fraName->SetHeight(1260);
    optMAName_ =
        Captioned<OptionButton>(*this, "optMAName", "MA Name", fraName.get(), 120, 840, 1500, 255);
    optMAAlias_ = Captioned<OptionButton>(*this, "optMAAlias", "MA Alias", fraName.get(), 1800, 840,
                                          1500, 255);
    optMABoth_ =
        Captioned<OptionButton>(*this, "optMABoth", "Both", fraName.get(), 3480, 840, 1500, 255);
    optMAName_->SetValue(true);
    framed("fraMAType", "Managed Area Type", 0, 1860, txtManagedAreaType_, "txtManagedAreaType",
           cboMATypeComparison_, "cboMATypeComparison");
    label("lblManagedAreaID", "Managed Area ID", 0, 120, 2900);
    txtManagedAreaID_ = box("txtManagedAreaID", 0, 120, 3160);
    label("lblManagedAreaCodeBCD", "MA Code_BCD", 0, 2400, 2900);
    txtManagedAreaCodeBCD_ = box("txtManagedAreaCodeBCD", 0, 2400, 3160);

    // Location.
    framed("fraMapsheetCode", "Mapsheet Code", 1, 480, txtMapsheetCode_, "txtMapsheetCode",
           cboMapsheetCodeComparison_, "cboMapsheetCodeComparison");
    framed("fraCountyName", "County Name", 1, 1380, txtCountyName_, "txtCountyName",
           cboCountyNameComparison_, "cboCountyNameComparison");
    framed("fraLocalJurisdiction", "Local Jurisdiction", 1, 2280, txtLocalJurisdiction_,
           "txtLocalJurisdiction", cboLocalJurisComparison_, "cboLocalJurisComparison");
    framed("fraSiteName", "Site Name", 1, 3180, txtSiteName_, "txtSiteName", cboSiteNameComparison_,
           "cboSiteNameComparison");

    // State.
    label("lblStateCode", "State Code", 2, 120, 480);
    txtStateCode_ = box("txtStateCode", 2, 120, 740);
    framed("fraStateName", "State Name", 2, 1200, txtStateName_, "txtStateName",
           cboStateComparison_, "cboStateComparison");

    cmdFindNow_ =
        Captioned<CommandButton>(*this, "cmdFindNow", "F&ind Now", nullptr, 8340, 600, 1300, 375);
}

void ManagedAreaSearch::CreateResults() {
    flexResults_ = Add<VSFlexGrid>("flexResults");
    flexResults_->Move(60, 4800, 9600, 4320);
    flexResults_->SetSelectionMode(flex::SelListBox);
    flexResults_->SetFixedCols(0);
    flexResults_->SetRows(1);

    const long top = 9240, w = 1125, h = 375;
    cmdSelectAll_ =
        Captioned<CommandButton>(*this, "cmdSelectAll", "Select &All", nullptr, 60, top, w, h);
    cmdDeselectAll_ =
        Captioned<CommandButton>(*this, "cmdDeselectAll", "&Select None", nullptr, 1245, top, w, h);
    cmdAddToList_ =
        Captioned<CommandButton>(*this, "cmdAddToList", "Add to &List", nullptr, 2430, top, w, h);
    cmdReplaceList_ = Captioned<CommandButton>(*this, "cmdReplaceList", "&Replace List", nullptr,
                                               3615, top, w, h);
    cmdDetails_ =
        Captioned<CommandButton>(*this, "cmdDetails", "&Details...", nullptr, 4800, top, w, h);
    cmdNew_ = Captioned<CommandButton>(*this, "cmdNew", "Ne&w...", nullptr, 5985, top, w, h);
    cmdOK_ = Captioned<CommandButton>(*this, "cmdOK", "OK", nullptr, 7170, top, w, h);
    cmdCancel_ = Captioned<CommandButton>(*this, "cmdCancel", "Cancel", nullptr, 8355, top, w, h);
    cmdOK_->SetVisible(false);
    cmdCancel_->SetVisible(false);
    cmdCancel_->SetCancel(true);
    Captioned<Label>(*this, "lblRecordsReturned", "Records Returned:", nullptr, 8340, 3600, 1300,
                     255);
    lblRecordsReturnedCount_ =
        Captioned<Label>(*this, "lblRecordsReturnedCount", "0", nullptr, 8340, 3900, 1300, 255);
}

void ManagedAreaSearch::CreateMenus() {
    auto file = MenuItem(*this, "mnuFile", "&File", nullptr);
    MenuItem(*this, "mnuFileNew", "&New Search", file.get(), "Ctrl+N");
    MenuItem(*this, "mnuFileOpenSearch", "&Open Search...", file.get(), "Ctrl+O");
    MenuItem(*this, "mnuFileSaveSearch", "&Save Search", file.get(), "Ctrl+S");
    MenuItem(*this, "mnuFileSaveSearchAs", "Save Search &As...", file.get());
    mnuFileDeleteSearch_ = MenuItem(*this, "mnuFileDeleteSearch", "&Delete Search...", file.get());
    MenuItem(*this, "mnuFileSeperator", "-", file.get());
    MenuItem(*this, "mnuFileClose", "&Close", file.get());

    auto edit = MenuItem(*this, "mnuEdit", "&Edit", nullptr);
    MenuItem(*this, "mnuEditCut", "Cu&t", edit.get(), "Ctrl+X");
    MenuItem(*this, "mnuEditCopy", "&Copy", edit.get(), "Ctrl+C");
    MenuItem(*this, "mnuEditPaste", "&Paste", edit.get(), "Ctrl+V");

    auto options = MenuItem(*this, "mnuOptions", "&Options", nullptr);
    mnuOptionsSaveDefault_ =
        MenuItem(*this, "mnuOptionsSaveDefault", "Save Settings as &Default", options.get());
    MenuItem(*this, "mnuOptionsViewSQL", "&View Search SQL", options.get());
    MenuItem(*this, "mnuOptionsListAppend", "Append to Working List", options.get())
        ->SetChecked(true);
    MenuItem(*this, "mnuOptionsListReplace", "Replace all Items in Working List", options.get());

    auto help = MenuItem(*this, "mnuHelp", "&Help", nullptr);
    MenuItem(*this, "mnuHelpZELKHelp", "Wayfold &Help          F1", help.get());
    MenuItem(*this, "mnuHelpSeperator", "-", help.get());
    MenuItem(*this, "mnuHelpAbout", "&About Wayfold...", help.get());

    auto newMenu = MenuItem(*this, "mnuNew", "New", nullptr);
    MenuItem(*this, "mnuNewManagedArea", "&Managed Area", newMenu.get());
}

void ManagedAreaSearch::WireEvents() {
    auto click = [this](const char* name, const char* context, auto action) {
        Get<Control>(name).On("Click", [this, context, action](Args&) { Guard(context, action); });
    };
    click("cmdFindNow", "Error searching", [this] { FindNow(); });
    click("cmdSelectAll", "Error selecting all rows", [this] { SelectAll(); });
    click("cmdDeselectAll", "Error clearing the selection", [this] { SelectNone(); });
    click("cmdAddToList", "Error adding to the working list", [this] { AddToList(false); });
    click("cmdReplaceList", "Error replacing the working list", [this] { AddToList(true); });
    click("cmdDetails", "Error opening the details", [this] { ShowDetails(); });
    click("cmdNew", "Error creating a managed area", [this] { NewRecord(); });
    click("cmdOK", "Error returning the selection", [this] { Ok(); });
    click("cmdCancel", "Error cancelling the search", [this] { Cancel(); });

    click("mnuFileNew", "Error starting a new search", [this] { NewSearch(); });
    click("mnuFileOpenSearch", "Error opening the search", [this] { OpenSearch(); });
    click("mnuFileSaveSearch", "Error saving the search", [this] { SaveSearch(false); });
    click("mnuFileSaveSearchAs", "Error saving the search", [this] { SaveSearch(true); });
    click("mnuFileDeleteSearch", "Error deleting the search", [this] {
        if (mnuFileDeleteSearch_->Enabled()) DeleteSearch();
    });
    click("mnuFileClose", "Error closing the search", [this] { RaiseEvent("Quit"); });
    click("mnuEditCut", "Error cutting", [this] { SendClipboardKeys("^x"); });
    click("mnuEditCopy", "Error copying", [this] { SendClipboardKeys("^c"); });
    click("mnuEditPaste", "Error pasting", [this] { SendClipboardKeys("^v"); });
    for (const char* toggle :
         {"mnuOptionsSaveDefault", "mnuOptionsListAppend", "mnuOptionsListReplace"})
        click(toggle, "Error changing the option", [this, toggle] {
            auto& m = Get<Menu>(toggle);
            m.SetChecked(!m.Checked());
        });
    click("mnuOptionsViewSQL", "Error showing the search SQL", [this] { ViewSearchSql(); });
    click("mnuHelpZELKHelp", "Error showing help", [] { Ui().SendKeys("{F1}"); });
    click("mnuHelpAbout", "Error showing the About box", [this] { App("ShowAbout"); });
    click("mnuNewManagedArea", "Error creating a managed area", [this] { RaiseEvent("NewItem"); });

    tbManagedAreaSearch_->On("ButtonClick", [this](Args& a) {
        auto* button =
            Arg(a, 0).IsObject() ? dynamic_cast<ToolbarButton*>(Arg(a, 0).Obj().get()) : nullptr;
        if (button) ToolbarButtonClick(button->Key());
    });

    for (const char* ev : {"AfterRowColChange", "Click", "SelChange"})
        flexResults_->On(ev, [this](Args&) {
            // One row at most once multi-row selection is off.
            if (singleSelect_ && flexResults_->RowSel() != flexResults_->Row() &&
                flexResults_->Row() >= 0)
                flexResults_->SetRowSel(flexResults_->Row());
            UpdateOkButton();
        });
    flexResults_->On("DblClick", [this](Args&) {
        Guard("Error opening the row", [this] { ResultsDblClick(); });
    });
}

} // namespace zelk::search
