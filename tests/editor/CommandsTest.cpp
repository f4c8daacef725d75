#include "editor/EditorFixture.h"
#include "editor/SearchPicks.h"

#include "controls/RichTextControl.h"
#include "host/app/MessageCatalog.h"
#include "platform/ReportDocument.h"
#include "platform/ui/Menu.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>

namespace zelk::testing {
namespace {

std::string Text(const std::string& code, std::vector<std::string> args = {}) {
    return host::MessageCatalog::Default().Format(code, args);
}

class Commands : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        editor->Advise([this](std::string_view e, Args& a) {
            events.push_back(std::string(e) + (a.empty() ? std::string() : "(" + CStr(a[0]) + ")"));
        });
    }
    long LoadFirst() {
        long id = FirstId("SELECT managed_area_id FROM ma ORDER BY managed_area_id LIMIT 1");
        editor->LoadData(id);
        return id;
    }
    // Counts the Click events each listed menu item hears.
    void CountClicks(std::initializer_list<Menu*> items) {
        auto counts = std::make_shared<std::map<std::string, int>>();
        for (Menu* m : items)
            m->On("Click", [counts, m](Args&) { ++(*counts)[m->Name()]; });
        clicks_ = counts;
    }
    std::map<std::string, int>& Clicks() { return *clicks_; }
    std::vector<std::string> events;
    std::shared_ptr<std::map<std::string, int>> clicks_;
};

TEST_F(Commands, ToolbarButtonsActThroughTheirMenuItemsAndModalUseSwitchesSomeOff) {
    Init();
    LoadFirst();
    auto* d = editor.get();
    CountClicks({d->mnuFileNew, d->mnuFileSave, d->mnuFilePrint, d->mnuEditCut, d->mnuEditCopy,
                 d->mnuEditPaste, d->mnuEditDelete, d->mnuToolsFind, d->mnuEditGotoRecord,
                 d->mnuToolsViewShape, d->mnuToolsTextEditor, d->mnuToolsSpellCheck,
                 d->mnuHelpZELKHelp});
    // Keys without a button still route: the host may raise them.
    const std::pair<const char*, const char*> routes[] = {{"Save", "mnuFileSave"},
                                                          {"Print", "mnuFilePrint"},
                                                          {"Copy", "mnuEditCopy"},
                                                          {"Paste", "mnuEditPaste"},
                                                          {"Delete", "mnuEditDelete"},
                                                          {"Find", "mnuToolsFind"},
                                                          {"Goto", "mnuEditGotoRecord"},
                                                          {"View Shape", "mnuToolsViewShape"},
                                                          {"TextEditor", "mnuToolsTextEditor"},
                                                          {"SpellCheck", "mnuToolsSpellCheck"},
                                                          {"Help", "mnuHelpZELKHelp"}};
    // Find and Goto open their dialogs; the user closes them.
    ui->QueueModal("frmModalSearch", [](Form& f) { f.Unload(); });
    ui->QueueModal("frmGotoRecord", [](Form& f) { f.Unload(); });
    for (const auto& [key, menu] : routes) {
        ASSERT_TRUE(editor->tbManagedAreas->UserClickButton(key)) << key;
        EXPECT_EQ(Clicks()[menu], 1) << key;
    }
    EXPECT_EQ(editor->tbManagedAreas->ButtonCount(), 12);
    EXPECT_EQ(editor->tbManagedAreas->Button("Goto").ToolTipText(), "Goto Record...");
    EXPECT_TRUE(ui->LastReport()) << "Print offers the record's report";
    // Help sends F1 to the window; the host shows its help.
    EXPECT_EQ(ui->Log().back().kind, "SendKeys");
    EXPECT_EQ(ui->Log().back().text, "{F1}");

    // Open pops up the related-module menu under the button, by click and by drop-down.
    ui->QueuePopupChoice("");
    editor->tbManagedAreas->UserClickButton("Open");
    EXPECT_EQ(ui->Log().back().kind, "Popup");
    EXPECT_EQ(ui->Log().back().text, "mnuFileOpen");
    EXPECT_EQ(ui->Log().back().title, "480,370");
    ui->QueuePopupChoice("mnuFileOpenElementOccurrences");
    editor->tbManagedAreas->UserDropDown("Open");
    EXPECT_EQ(ui->Messages().back(), Text("EGP011", {"Element Occurrence"}));

    // In a modal window the commands that need a working list do nothing.
    auto modal = std::dynamic_pointer_cast<editor::ManagedAreaDetails>(
        window->AddControl("ZELK_ManagedArea.ManagedAreaDetails", "ctlModal"));
    modal->InitModalDetails(host->App(), "");
    modal->LoadData(editor->GetID());
    auto* m = modal.get();
    CountClicks({m->mnuEditDelete, m->mnuToolsFind, m->mnuEditGotoRecord, m->mnuFileNew});
    for (const char* key : {"Open", "Delete", "Find", "Goto"})
        EXPECT_FALSE(modal->tbManagedAreas->UserClickButton(key)) << key;
    m->mnuFileNew->UserClick();
    EXPECT_TRUE(Clicks().empty());
    EXPECT_FALSE(m->cmdNavNext->Enabled());
    EXPECT_FALSE(m->txtCurrentRecord->Enabled());
    EXPECT_TRUE(m->tbManagedAreas->Button("Save").Enabled());
    EXPECT_TRUE(m->mnuToolsCopy->Enabled());
    modal->Deactivate();
}

TEST_F(Commands, FileMenuSavesByShortcutPrintsAndCloses) {
    Init();
    long id = LoadFirst();
    editor->ctlMAName->UserType("Renamed Preserve");
    events.clear();
    EXPECT_TRUE(RunShortcut(*editor, 'S', key::CtrlMask));
    EXPECT_EQ(Db1("SELECT managed_area_name FROM ma WHERE managed_area_id = " + std::to_string(id)),
              "Renamed Preserve");
    EXPECT_EQ(events, std::vector<std::string>{"UpdateList(" + std::to_string(id) + ")"});

    // Print offers a report of every page as shown, the saved record without an unsaved mark.
    editor->mnuFilePrint->UserClick();
    EXPECT_TRUE(ui->Messages().empty());
    ASSERT_TRUE(ui->LastReport());
    const ReportDocument& report = *ui->LastReport();
    EXPECT_EQ(report.title, "MA - Renamed Preserve (Managed Area)");
    EXPECT_EQ(report.sections.size(), static_cast<std::size_t>(editor::PageCount));
    EXPECT_EQ(report.Text().find("Unsaved"), std::string::npos);
    EXPECT_NE(report.Text().find("Renamed Preserve"), std::string::npos);
    EXPECT_EQ(report.sections[1].heading, "Locators");
    // Each grid is headed by the label the page shows beside it.
    std::vector<std::string> legal;
    for (const auto& t : report.sections[editor::PageLegalProtection].tables)
        legal.push_back(t.caption);
    EXPECT_NE(std::find(legal.begin(), legal.end(), "Legal Acts:"), legal.end())
        << ::testing::PrintToString(legal);
    events.clear();
    editor->mnuFileClose->UserClick();
    EXPECT_EQ(events, std::vector<std::string>{"Quit"});

    editor->mnuHelpAbout->UserClick();
    EXPECT_NE(ui->Messages().back().find("Wayfold"), std::string::npos);
}

TEST_F(Commands, ClipboardWorksOnTheFocusedTextField) {
    Init();
    LoadFirst();
    Screen::Instance().SetActiveForm(window.get());
    auto* name = editor->ctlMAName;
    name->SetText("Blue Heron Marsh");
    ASSERT_TRUE(name->SetFocus());
    name->SetSelStart(5);
    name->SetSelLength(5);
    editor->tbManagedAreas->UserClickButton("Copy");
    EXPECT_EQ(ui->ClipboardText(), "Heron");
    editor->mnuEditCut->UserClick();
    EXPECT_EQ(name->Text(), "Blue  Marsh");
    name->SetSelStart(0);
    name->SetSelLength(4);
    editor->tbManagedAreas->UserClickButton("Paste");
    EXPECT_EQ(name->Text(), "Heron  Marsh");
    EXPECT_EQ(TextOf(Field("ManagedAreaName")), "Heron  Marsh");

    // A plain text box gets the keystroke.
    auto* code = editor->txtMACodeBCD;
    code->SetText("XY-123");
    ASSERT_TRUE(code->SetFocus());
    code->SetSelStart(3);
    code->SetSelLength(3);
    editor->mnuEditCopy->UserClick();
    EXPECT_EQ(ui->Log().back().text, "^C");
    EXPECT_EQ(ui->ClipboardText(), "123");

    // A combo box: nothing at all.
    editor->tabManagedAreas->UserSelectTab(editor::PageLocators);
    ASSERT_TRUE(editor->cboNation->SetFocus());
    ui->ClearLog();
    editor->mnuEditPaste->UserClick();
    editor->mnuEditCut->UserClick();
    EXPECT_TRUE(ui->Log().empty());
    EXPECT_EQ(ui->ClipboardText(), "123");
}

TEST_F(Commands, TextEditorAndSpellCheckWorkOnTheActiveField) {
    Init();
    LoadFirst();
    auto* comments = editor->ctlMAComments;
    editor->tabManagedAreas->UserSelectTab(editor::PageDescriptors);
    ASSERT_TRUE(comments->SetFocus());
    std::string shownTag;
    ui->QueueModal("frmTextEditor", [&](Form& f) {
        shownTag = f.Caption();
        f.Get<TextBox>("txtEditor").UserType("Wet meadow with sedges.");
        f.Get<CommandButton>("cmdOK").UserClick();
    });
    editor->tbManagedAreas->UserClickButton("TextEditor");
    EXPECT_NE(shownTag.find(comments->Tag()), std::string::npos);
    EXPECT_EQ(comments->Text(), "Wet meadow with sedges.");
    EXPECT_EQ(TextOf(Field("ManagedAreaCom")), "Wet meadow with sedges.");

    // Spell Check walks the field's unknown words with the dictionary.
    comments->SetText("Wet medow with sedges");
    std::string asked;
    ui->QueueModal("frmSpellCheck", [&](Form& f) {
        asked = f.Get<TextBox>("txtNotInDictionary").Text();
        f.Get<CommandButton>("cmdIgnore").UserClick();
    });
    editor->mnuToolsSpellCheck->UserClick();
    EXPECT_EQ(asked, "medow");
    EXPECT_EQ(ui->Messages().back(), "The spelling check is complete.");

    // Grids open the host's cell editor; a check box has nothing to edit.
    editor->tabManagedAreas->UserSelectTab(editor::PageIdentifiers);
    long row = editor->flexSites->AddItem("\t1\tSome Site");
    editor->flexSites->UserSelect(row, 2);
    ui->QueueInput("Other Site");
    editor->mnuToolsTextEditor->UserClick();
    EXPECT_EQ(editor->flexSites->TextMatrix(row, 2), "Other Site");
    editor->tabManagedAreas->UserSelectTab(editor::PageDescriptors);
    ASSERT_TRUE(editor->chkContiguous->SetFocus());
    ui->ClearLog();
    editor->mnuToolsTextEditor->UserClick();
    editor->mnuToolsSpellCheck->UserClick();
    EXPECT_TRUE(ui->Log().empty());
}

TEST_F(Commands, NewRecordAsksAboutChangesFirst) {
    Init();
    long id = LoadFirst();
    editor->ctlMAName->UserType("Changed Name");
    ui->QueueAnswer(vb::Cancel);
    editor->mnuFileNew->UserClick();
    EXPECT_EQ(ui->Messages().back(), Text("MGA001"));
    EXPECT_EQ(editor->GetID(), id);

    ui->QueueAnswer(vb::No);
    editor->mnuFileNew->UserClick();
    EXPECT_LT(editor->GetID(), 0);
    EXPECT_TRUE(editor->lblNewRecord->Visible());
    std::string next = std::to_string(host->WorkingList()->RecordCount() + 1);
    EXPECT_EQ(editor->lblTotalRecords->Caption(), next);
    EXPECT_EQ(editor->txtCurrentRecord->Text(), next);
    EXPECT_EQ(editor->ctlMAName->Text(), "");
    EXPECT_EQ(TextOf(Field("RecCreateUser")), "ann");
    EXPECT_FALSE(editor->PageFilled(editor::PageManager));
    EXPECT_FALSE(editor->picActivityWait->Visible());
    EXPECT_EQ(Screen::Instance().MousePointer(), mouse::Default);
}

TEST_F(Commands, CopyDataFromAnotherAreaAfterSavingAndOnlyWhenConfirmed) {
    Init();
    long id = LoadFirst();
    long source = FirstId("SELECT managed_area_id FROM ma WHERE managed_area_desc IS NOT NULL AND "
                          "managed_area_id <> " +
                          std::to_string(id) + " ORDER BY managed_area_id LIMIT 1");
    ASSERT_GT(source, 0);
    std::string where = " FROM ma WHERE managed_area_id = ";
    const std::string sourceDesc = Db1("SELECT managed_area_desc" + where + std::to_string(source));
    const std::string ownDesc =
        Db1("SELECT IFNULL(managed_area_desc, '')" + where + std::to_string(id));

    ASSERT_NE(sourceDesc, ownDesc);

    // Unsaved changes: Cancel to the save question stops everything.
    editor->ctlMAName->UserType("Edited First");
    ui->QueueAnswer(vb::Cancel);
    editor->mnuToolsCopy->UserClick();
    EXPECT_EQ(ui->Messages(), (std::vector<std::string>{Text("APP029"), Text("APP028")}));
    EXPECT_EQ(editor->ctlMAName->Text(), "Edited First");

    // OK saves first; the search is then cancelled: nothing is copied.
    ui->QueueAnswer(vb::OK);
    ui->QueueModal("frmModalSearch", [](Form& f) { CancelSearch(f); });
    editor->mnuToolsCopy->UserClick();
    EXPECT_EQ(Db1("SELECT managed_area_name" + where + std::to_string(id)), "Edited First");

    // A source picked, but No to the copy question.
    std::string sourceName = Db1("SELECT managed_area_name" + where + std::to_string(source));
    ui->QueueModal("frmModalSearch",
                   [&](Form& f) { PickInSearch(f, sourceName, std::to_string(source)); });
    ui->QueueAnswer(vb::No);
    editor->mnuToolsCopy->UserClick();
    EXPECT_EQ(Db1("SELECT IFNULL(managed_area_desc, '')" + where + std::to_string(id)), ownDesc);

    // Yes: the data arrive and the editor shows them.
    ui->ClearLog();
    events.clear();
    ui->QueueModal("frmModalSearch",
                   [&](Form& f) { PickInSearch(f, sourceName, std::to_string(source)); });
    ui->QueueAnswer(vb::Yes);
    editor->mnuToolsCopy->UserClick();
    EXPECT_EQ(ui->Messages(), std::vector<std::string>{Text("APP027")});
    EXPECT_EQ(Db1("SELECT managed_area_desc" + where + std::to_string(id)), sourceDesc);
    EXPECT_EQ(editor->GetID(), id);
    EXPECT_EQ(TextOf(Field("ManagedAreaDesc")), sourceDesc);
    EXPECT_EQ(events.back(), "UpdateList(" + std::to_string(id) + ")");

    // The record onto itself: the copy fails and the record stays as it was.
    std::string ownName = Db1("SELECT managed_area_name" + where + std::to_string(id));
    ui->QueueModal("frmModalSearch",
                   [&](Form& f) { PickInSearch(f, ownName, std::to_string(id)); });
    ui->QueueAnswer(vb::Yes);
    editor->mnuToolsCopy->UserClick();
    EXPECT_EQ(ui->Messages().back().rfind(Text("APP036", {""}), 0), 0u);
    EXPECT_EQ(editor->GetID(), id);
    EXPECT_FALSE(editor->picActivityWait->Visible());
}

} // namespace
} // namespace zelk::testing
