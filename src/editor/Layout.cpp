// The editor's design-time form: header, navigator, tab control, wait panel, menus, toolbar.
#include "editor/LayoutSupport.h"

namespace zelk::editor {

Label* PagePlacer::Caption(const std::string& name, const std::string& caption, long left, long top,
                           long width) {
    auto* l = Put<Label>(name, left, top, width, 255);
    l->SetCaption(caption);
    return l;
}

namespace {
constexpr long kWidth = 12090;
constexpr long kHeight = 8430;
} // namespace

void ManagedAreaDetails::CreateControls() {
    CreateToolbar();
    CreateHeader();
    CreateIdentifiersPage();
    CreateLocatorsPage();
    CreateDescriptorsPage();
    CreateLegalAndManagerPages();
    CreateManagementAndElementsPages();
    CreateTopicsReferencesPages();
    CreateVersionAndSpatialPages();
    CreateMenus();
    // The wait panel lies over the pages and is shown only around long work.
    picActivityWait = Add<PictureBox>("picActivityWait").get();
    picActivityWait->SetVisible(false);
    picWaitMessage = Add<PictureBox>("picWaitMessage", picActivityWait).get();
    picWaitMessage->Move(0, 0, 2400, 900);
    picWaitMessage->SetVisible(false);
    PlaceWaitPanel();
    SetFixedSize(kWidth, kHeight);
}

void ManagedAreaDetails::CreateHeader() {
    auto label = [this](const char* name, const char* caption, long l, long t, long w) {
        auto* c = Add<Label>(name).get();
        c->Move(l, t, w, 255);
        c->SetCaption(caption);
        return c;
    };
    label("lblSummaryMAName", "Managed Area:", 60, 510, 1200);
    txtSummaryMAName = Add<TextBox>("txtSummaryMAName").get();
    txtSummaryMAName->Move(1260, 480, 5400, 315);
    txtSummaryMAName->SetLocked(true);
    txtSummaryMAName->SetTabStop(false);
    lblUniversalKey = label("lblUniversalKey", "", 6780, 510, 1500);
    lblShapeID = label("lblShapeID", "", 8340, 510, 700);
    lblNewRecord = label("lblNewRecord", "New Record", 9060, 510, 1000);
    lblNewRecord->SetVisible(false);

    auto nav = [this](const char* name, const char* caption, const char* tip, long left) {
        auto* b = Add<CommandButton>(name).get();
        b->Move(left, 90, 330, 300);
        b->SetCaption(caption);
        b->SetToolTipText(tip);
        b->SetTabStop(false);
        return b;
    };
    cmdNavFirst = nav("cmdNavFirst", "|<", "First Record", 9330);
    cmdNavPrev = nav("cmdNavPrev", "<", "Previous Record", 9660);
    txtCurrentRecord = Add<TextBox>("txtCurrentRecord").get();
    txtCurrentRecord->Move(9990, 90, 600, 300);
    lblOf = label("lblOf", "of", 10620, 120, 240);
    lblTotalRecords = label("lblTotalRecords", "", 10860, 120, 600);
    cmdNavNext = nav("cmdNavNext", ">", "Next Record", 11430);
    cmdNavLast = nav("cmdNavLast", ">|", "Last Record", 11760 - 30);

    tabManagedAreas = Add<vaTabPro>("tabManagedAreas").get();
    tabManagedAreas->Move(30, 870, kWidth - 60, kHeight - 900);
    static const char* const captions[PageCount] = {
        "&Identifiers", "&Locators",   "&Descriptors",       "Legal &Protection",
        "&Manager",     "Ma&nagement", "Element&s",          "&Additional Topics",
        "&References",  "&Version/QC", "&Other Spatial Attr"};
    tabManagedAreas->SetTabCount(PageCount);
    for (int i = 0; i < PageCount; ++i)
        tabManagedAreas->SetTabCaption(i, captions[i]);
}

void ManagedAreaDetails::CreateToolbar() {
    ilManagedAreaDetail = Add<ImageList>("ilManagedAreaDetail").get();
    for (const char* key : {"Open", "Save", "Print", "Copy", "Paste", "Delete", "Find", "Goto",
                            "ViewShape", "TextEditor", "SpellCheck", "Help", "Loading", "Saving",
                            "Deleting", "PleaseWait", "Copying"})
        ilManagedAreaDetail->Add(key, key);
    tbManagedAreas = Add<Toolbar>("tbManagedAreas").get();
    tbManagedAreas->Move(0, 0, 9000, 420);
    tbManagedAreas->SetImageList("ilManagedAreaDetail");
    struct B {
        const char *key, *tip, *image;
    };
    static const B buttons[] = {{"Open", "Open", "Open"},
                                {"Save", "Save", "Save"},
                                {"Print", "Print", "Print"},
                                {"Copy", "Copy", "Copy"},
                                {"Paste", "Paste", "Paste"},
                                {"Delete", "Delete", "Delete"},
                                {"Find", "Find", "Find"},
                                {"Goto", "Goto Record...", "Goto"},
                                {"View Shape", "View Shape", "ViewShape"},
                                {"TextEditor", "Text Editor", "TextEditor"},
                                {"SpellCheck", "Spell Check", "SpellCheck"},
                                {"Help", "Help Contents", "Help"}};
    for (const auto& b : buttons)
        tbManagedAreas->AddButton(b.key, b.tip, b.image);
    // Open drops down the list of related modules.
    tbManagedAreas->Button("Open").SetStyle(5);
}

void ManagedAreaDetails::CreateMenus() {
    auto menu = [this](const char* name, const char* caption, Menu* parent) {
        auto* m = Add<Menu>(name, parent).get();
        m->SetCaption(caption);
        return m;
    };
    mnuFile = menu("mnuFile", "&File", nullptr);
    mnuFileNew = menu("mnuFileNew", "&New...", mnuFile);
    mnuFileOpen = menu("mnuFileOpen", "&Open", mnuFile);
    mnuFileOpenMajorMA = menu("mnuFileOpenMajorMA", "&Major MA...", mnuFileOpen);
    mnuFileOpenEquiSite = menu("mnuFileOpenEquiSite", "&Equi-Site...", mnuFileOpen);
    menu("mnuFileOpenSep1", "-", mnuFileOpen);
    mnuFileOpenElementTracking =
        menu("mnuFileOpenElementTracking", "Element &Tracking...", mnuFileOpen);
    mnuFileOpenElementOccurrences =
        menu("mnuFileOpenElementOccurrences", "Element &Occurrence...", mnuFileOpen);
    mnuFileOpenSites = menu("mnuFileOpenSites", "&Site...", mnuFileOpen);
    mnuFileOpenReferences = menu("mnuFileOpenReferences", "Re&ference...", mnuFileOpen);
    menu("mnuFileOpenSep2", "-", mnuFileOpen);
    mnuFileOpenRecordMaintenance =
        menu("mnuFileOpenRecordMaintenance", "&Record Maintenance", mnuFileOpen);
    mnuFileOpenAttributeMaintenance =
        menu("mnuFileOpenAttributeMaintenance", "&Attribute Maintenance", mnuFileOpen);
    mnuFileSave = menu("mnuFileSave", "&Save", mnuFile);
    mnuFileSave->SetShortcut("Ctrl+S");
    mnuFilePrint = menu("mnuFilePrint", "&Print", mnuFile);
    menu("mnuFileSep1", "-", mnuFile);
    mnuFileClose = menu("mnuFileClose", "&Close", mnuFile);

    mnuEdit = menu("mnuEdit", "&Edit", nullptr);
    mnuEditCut = menu("mnuEditCut", "Cu&t", mnuEdit);
    mnuEditCopy = menu("mnuEditCopy", "&Copy", mnuEdit);
    mnuEditPaste = menu("mnuEditPaste", "&Paste", mnuEdit);
    menu("mnuEditSep1", "-", mnuEdit);
    mnuEditGoto = menu("mnuEditGoto", "&Goto", mnuEdit);
    mnuEditGotoFirst = menu("mnuEditGotoFirst", "&First Record", mnuEditGoto);
    mnuEditGotoLast = menu("mnuEditGotoLast", "&Last Record", mnuEditGoto);
    mnuEditGotoNext = menu("mnuEditGotoNext", "&Next Record", mnuEditGoto);
    mnuEditGotoPrevious = menu("mnuEditGotoPrevious", "&Previous Record", mnuEditGoto);
    mnuEditGotoRecord = menu("mnuEditGotoRecord", "&Record...", mnuEditGoto);
    menu("mnuEditSep2", "-", mnuEdit);
    mnuEditDelete = menu("mnuEditDelete", "&Delete", mnuEdit);

    mnuTools = menu("mnuTools", "&Tools", nullptr);
    mnuToolsFind = menu("mnuToolsFind", "&Find...", mnuTools);
    mnuToolsCopy = menu("mnuToolsCopy", "Copy Data From...", mnuTools);
    mnuToolsTextEditor = menu("mnuToolsTextEditor", "Text &Editor", mnuTools);
    mnuToolsSpellCheck = menu("mnuToolsSpellCheck", "&Spell Check", mnuTools);
    mnuToolsViewShape = menu("mnuToolsViewShape", "&View Shape", mnuTools);

    mnuHelp = menu("mnuHelp", "&Help", nullptr);
    mnuHelpZELKHelp = menu("mnuHelpZELKHelp", "Wayfold &Help          F1", mnuHelp);
    mnuHelpAbout = menu("mnuHelpAbout", "&About Wayfold...", mnuHelp);
}

} // namespace zelk::editor
