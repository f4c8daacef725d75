#include "SearchFixture.h"

#include "platform/XmlDocument.h"
#include "search/frmUserSearchSaveOpen.h"

namespace zelk::search::test {
namespace {

using StateTest = SearchTest;

// What a person does in the save/open/delete dialog.
ScriptedUiDriver::ModalAction TypeName(std::string name) {
    return [name](Form& f) {
        f.Get<TextBox>("txtSearchName").SetText(name);
        f.Get<Control>("cmdSave").UserClick();
    };
}
ScriptedUiDriver::ModalAction Pick(std::string name) {
    return [name](Form& f) {
        auto& list = f.Get<ListBox>("lstUserSearches");
        list.SetListIndex(list.FindText(name));
        f.Get<Control>("cmdSave").UserClick();
    };
}
ScriptedUiDriver::ModalAction CancelDialog() {
    return [](Form& f) { f.Get<Control>("cmdCancel").UserClick(); };
}

void FillEveryCriterion(ManagedAreaSearch& s) {
    auto set = [&](const char* box, const std::string& text, const char* cbo = nullptr,
                   int code = 0) {
        s.Get<TextBox>(box).SetText(text);
        if (cbo) s.Get<ComboBox>(cbo).SetListIndex(code);
    };
    set("txtManagedAreaName", " Bob's & <Pond> ", "cboMANameComparison", 3);
    s.Get<OptionButton>("optMABoth").SetValue(true);
    set("txtManagedAreaType", "park", "cboMATypeComparison", 1);
    set("txtManagedAreaID", "12");
    set("txtManagedAreaCodeBCD", "ab");
    set("txtMapsheetCode", "m1", "cboMapsheetCodeComparison", 2);
    set("txtCountyName", "Zürich", "cboCountyNameComparison", 4);
    set("txtLocalJurisdiction", "city", "cboLocalJurisComparison", 0);
    set("txtSiteName", "fen", "cboSiteNameComparison", 3);
    set("txtStateCode", "mn");
    set("txtStateName", "minn", "cboStateComparison", 2);
}

std::vector<std::string> Snapshot(ManagedAreaSearch& s) {
    std::vector<std::string> out;
    for (const char* box : {"txtManagedAreaName", "txtManagedAreaType", "txtManagedAreaID",
                            "txtManagedAreaCodeBCD", "txtMapsheetCode", "txtCountyName",
                            "txtLocalJurisdiction", "txtSiteName", "txtStateCode", "txtStateName"})
        out.push_back(s.Get<TextBox>(box).Text());
    for (const char* cbo :
         {"cboMANameComparison", "cboMATypeComparison", "cboMapsheetCodeComparison",
          "cboCountyNameComparison", "cboLocalJurisComparison", "cboSiteNameComparison",
          "cboStateComparison"})
        out.push_back(std::to_string(s.Get<ComboBox>(cbo).ListIndex()));
    for (const char* opt : {"optMAName", "optMAAlias", "optMABoth"})
        out.push_back(s.Get<OptionButton>(opt).Value() ? "1" : "0");
    return out;
}

TEST_F(StateTest, DocumentsHoldTheCriteriaAsTabledAndReadBack) {
    InitFramed();
    FillEveryCriterion(*search);
    const auto filled = Snapshot(*search);
    const std::string xml = search->BuildSearchStateXml();
    XmlDocument doc;
    doc.LoadXml(xml);
    XmlNode state = doc.SelectSingleNode("ZELK/SEARCH_STATE");
    ASSERT_FALSE(state.IsNull());
    EXPECT_EQ(state.Attribute("control"), "ZELK_MANAGEDAREA.SEARCH");
    std::vector<std::string> names;
    for (const XmlNode& e : state.ChildNodes())
        names.push_back(e.Name());
    EXPECT_EQ(names,
              (std::vector<std::string>{"MANAGED_AREA_NAME", "MANAGED_AREA_TYPE", "MANAGED_AREA_ID",
                                        "MANAGED_AREA_CODE_BCD", "MANAGED_AREA_MAPSHEET",
                                        "MANAGED_AREA_COUNTY", "MANAGED_AREA_LOCAL_JURIS",
                                        "MANAGED_AREA_SITE", "STATECODE", "STATENAME"}));
    XmlNode name = state.SelectSingleNode("MANAGED_AREA_NAME");
    EXPECT_EQ(name.Attribute("comparison"), "3");
    EXPECT_EQ(name.Attribute("name_or_alias"), "2");
    EXPECT_EQ(name.Text(), " Bob's & <Pond> ") << "as typed";
    EXPECT_FALSE(state.SelectSingleNode("MANAGED_AREA_ID").HasAttribute("comparison"));
    EXPECT_EQ(state.SelectSingleNode("MANAGED_AREA_COUNTY").Attribute("comparison"), "4");

    Click("mnuFileNew");
    EXPECT_NE(Snapshot(*search), filled);
    search->ReadSearchStateXml(xml);
    EXPECT_EQ(Snapshot(*search), filled);

    // Only filled criteria are written; an empty search writes no level-3 element and reads
    // back empty.
    Click("mnuFileNew");
    const auto empty = Snapshot(*search);
    Type("txtSiteName", "   ");
    doc.LoadXml(search->BuildSearchStateXml());
    EXPECT_TRUE(doc.SelectSingleNode("ZELK/SEARCH_STATE").ChildNodes().empty());
    FillEveryCriterion(*search);
    search->ReadSearchStateXml("<ZELK><SEARCH_STATE control=\"zelk_managedarea.search\"/></ZELK>");
    EXPECT_EQ(Snapshot(*search), empty);
    EXPECT_TRUE(ui->Messages().empty());

    // Properties: the check mark of the default menu item.
    auto& saveDefault = search->Get<Menu>("mnuOptionsSaveDefault");
    saveDefault.SetChecked(true);
    doc.LoadXml(search->BuildSearchPropertiesXml());
    EXPECT_EQ(doc.SelectSingleNode("ZELK/SEARCH_PROPERTIES").Attribute("control"),
              "ZELK_MANAGEDAREA.SEARCH");
    EXPECT_EQ(doc.SelectSingleNode("ZELK/SEARCH_PROPERTIES/SAVE_SETTINGS_AS_DEFAULT").Text(), "1");
    search->ReadSearchPropertiesXml("<ZELK><SEARCH_PROPERTIES control=\"ZELK_MANAGEDAREA.SEARCH\">"
                                    "<SAVE_SETTINGS_AS_DEFAULT>0</SAVE_SETTINGS_AS_DEFAULT>"
                                    "</SEARCH_PROPERTIES></ZELK>");
    EXPECT_FALSE(saveDefault.Checked());
    search->ReadSearchPropertiesXml("<ZELK><SEARCH_PROPERTIES control=\"ZELK_MANAGEDAREA.SEARCH\">"
                                    "<SAVE_SETTINGS_AS_DEFAULT>yes</SAVE_SETTINGS_AS_DEFAULT>"
                                    "</SEARCH_PROPERTIES></ZELK>");
    EXPECT_TRUE(saveDefault.Checked());
}

TEST_F(StateTest, BadDocumentsLoadWhatIsSoundAndSaySo) {
    InitFramed();
    for (const std::string& bad :
         {std::string("<ZELK><SEARCH_STATE control="), std::string("not xml at all"),
          std::string("<ZELK><SEARCH_STATE control=\"ZELK_SITE.SEARCH\"/></ZELK>"),
          std::string("<ZELK><SEARCH_PROPERTIES control=\"ZELK_MANAGEDAREA.SEARCH\"/></ZELK>"),
          std::string("")}) {
        ui->ClearLog();
        Type("txtSiteName", "kept?");
        search->ReadSearchStateXml(bad);
        EXPECT_EQ(ui->Messages(),
                  std::vector<std::string>{"Unable to read search state xml: Invalid xml content"})
            << bad;
        EXPECT_EQ(Box("txtSiteName").Text(), "") << "the search was reset";
    }
    ui->ClearLog();
    search->ReadSearchPropertiesXml("<ZELK/>");
    EXPECT_EQ(ui->Messages(), std::vector<std::string>{
                                  "Unable to read search properties xml: Invalid xml content"});

    // An older or damaged layout: sound criteria load, faulty ones are left out and named once.
    ui->ClearLog();
    search->ReadSearchStateXml(
        "<ZELK><SEARCH_STATE control=\"ZELK_MANAGEDAREA.SEARCH\">"
        "<MANAGED_AREA_NAME comparison=\"2\">oak</MANAGED_AREA_NAME>"
        "<MANAGED_AREA_TYPE comparison=\"9\">park</MANAGED_AREA_TYPE>"
        "<MANAGED_AREA_COUNTY>la</MANAGED_AREA_COUNTY>"
        "<MANAGED_AREA_SITE comparison=\"x\">fen</MANAGED_AREA_SITE>"
        "<MANAGED_AREA_ELEVATION comparison=\"1\">100</MANAGED_AREA_ELEVATION>"
        "<MANAGED_AREA_MAPSHEET comparison=\" 3\">m1</MANAGED_AREA_MAPSHEET>"
        "<STATECODE>mn</STATECODE></SEARCH_STATE></ZELK>");
    EXPECT_EQ(Box("txtManagedAreaName").Text(), "") << "no name_or_alias: left out";
    EXPECT_EQ(Box("txtManagedAreaType").Text(), "");
    EXPECT_EQ(Box("txtCountyName").Text(), "");
    EXPECT_EQ(Box("txtSiteName").Text(), "");
    EXPECT_EQ(Box("txtMapsheetCode").Text(), "m1");
    EXPECT_EQ(search->Get<ComboBox>("cboMapsheetCodeComparison").ListIndex(), 3);
    EXPECT_EQ(Box("txtStateCode").Text(), "mn");
    ASSERT_EQ(ui->Messages().size(), 1u);
    const std::string msg = ui->Messages()[0];
    EXPECT_EQ(msg.rfind("Unable to read search state xml: ", 0), 0u) << msg;
    for (const char* named :
         {"MANAGED_AREA_NAME", "MANAGED_AREA_TYPE", "MANAGED_AREA_COUNTY", "MANAGED_AREA_SITE"})
        EXPECT_NE(msg.find(named), std::string::npos) << msg;

    // An unknown name_or_alias keeps the option buttons as they are.
    ui->ClearLog();
    search->ReadSearchStateXml("<ZELK><SEARCH_STATE control=\"ZELK_MANAGEDAREA.SEARCH\">"
                               "<MANAGED_AREA_NAME comparison=\"1\" name_or_alias=\"7\">oak"
                               "</MANAGED_AREA_NAME></SEARCH_STATE></ZELK>");
    EXPECT_TRUE(ui->Messages().empty());
    EXPECT_EQ(Box("txtManagedAreaName").Text(), "oak");
    EXPECT_TRUE(search->Get<OptionButton>("optMAName").Value());
}

TEST_F(StateTest, DefaultsAreKeptPerUserWhenAskedFor) {
    InitFramed();
    auto& saveDefault = search->Get<Menu>("mnuOptionsSaveDefault");
    EXPECT_TRUE(saveDefault.Enabled());
    EXPECT_FALSE(saveDefault.Checked()) << "a new user keeps nothing";
    saveDefault.UserClick();
    EXPECT_TRUE(saveDefault.Checked());
    FillEveryCriterion(*search);
    const auto filled = Snapshot(*search);
    EXPECT_TRUE(search->Call("CanClose").Bool());

    auto next = Reopen();
    EXPECT_TRUE(next->Get<Menu>("mnuOptionsSaveDefault").Checked());
    EXPECT_EQ(Snapshot(*next), filled);

    // Unchecked: the properties say so, and the criteria are no longer read.
    next->Get<Menu>("mnuOptionsSaveDefault").UserClick();
    next->Get<TextBox>("txtSiteName").SetText("changed");
    next->CanClose();
    auto third = Reopen();
    EXPECT_FALSE(third->Get<Menu>("mnuOptionsSaveDefault").Checked());
    EXPECT_EQ(third->Get<TextBox>("txtSiteName").Text(), "");

    // Extra information: no defaults read or written, the item off.
    const std::string before = Joined("SELECT option_value FROM user_option ORDER BY 1");
    auto picker = Reopen("ROOTOPEN");
    EXPECT_FALSE(picker->Get<Menu>("mnuOptionsSaveDefault").Enabled());
    EXPECT_FALSE(picker->Get<Menu>("mnuOptionsSaveDefault").Checked());
    picker->Get<TextBox>("txtSiteName").SetText("x");
    EXPECT_TRUE(picker->CanClose());
    EXPECT_EQ(Joined("SELECT option_value FROM user_option ORDER BY 1"), before);

    // A store that fails: told, and the control still closes.
    zelk::testing::SetStatementHook(*host->Db(), [](const std::string&) {
        Raise(err::ProviderError, "Injected failure", "DataService");
    });
    ui->ClearLog();
    EXPECT_TRUE(third->CanClose());
    zelk::testing::SetStatementHook(*host->Db(), nullptr);
    ASSERT_FALSE(ui->Messages().empty());
    EXPECT_EQ(ui->Messages()[0].rfind("Unable to save default settings: ", 0), 0u);
}

TEST_F(StateTest, NamedSearchesAreSavedListedOpenedOverwrittenAndDeleted) {
    InitFramed();
    // Save asks for a name the first time.
    Type("txtManagedAreaName", "oak");
    ui->QueueModal("frmUserSearchSaveOpen", [](Form& f) {
        EXPECT_EQ(f.Caption(), "Save User Search");
        EXPECT_EQ(f.Get<CommandButton>("cmdSave").Caption(), "Save");
        EXPECT_FALSE(f.Get<CommandButton>("cmdSave").Enabled());
        auto& name = f.Get<SearchNameBox>("txtSearchName");
        EXPECT_FALSE(name.Locked());
        EXPECT_EQ(name.BackColor(), syscolor::WindowBackground);
        name.SetText("   ");
        EXPECT_FALSE(f.Get<CommandButton>("cmdSave").Enabled());
        TypeName("Bob's ponds")(f);
    });
    Click("mnuFileSaveSearch");
    EXPECT_EQ(search->SearchName(), "Bob's ponds");
    EXPECT_EQ(CLng(Scalar("SELECT count(*) FROM user_option WHERE option_name = 'Bob''s ponds'")),
              1);

    // A plain save overwrites the open search without asking.
    Type("txtManagedAreaName", "pine");
    Click("mnuFileSaveSearch");
    EXPECT_NE(CStr(Scalar("SELECT option_value FROM user_option WHERE option_name = 'Bob''s "
                          "ponds'"))
                  .find(">pine<"),
              std::string::npos);

    // Save As to an existing name asks first; No keeps the stored search and the open name.
    ui->QueueModal("frmUserSearchSaveOpen", TypeName("Alpha"));
    search->Get<Toolbar>("tbManagedAreaSearch").UserClickButton("New");
    Type("txtCountyName", "la");
    Click("mnuFileSaveSearchAs");
    EXPECT_EQ(search->SearchName(), "Alpha");
    Type("txtCountyName", "lo");
    ui->QueueModal("frmUserSearchSaveOpen", TypeName("Bob's ponds"));
    ui->QueueAnswer(vb::No);
    Click("mnuFileSaveSearchAs");
    EXPECT_EQ(ui->LastMessage()->text, "A saved search named \"Bob's ponds\" already exists. "
                                       "Replace it?");
    EXPECT_EQ(search->SearchName(), "Alpha");
    EXPECT_NE(CStr(Scalar("SELECT option_value FROM user_option WHERE option_name = 'Bob''s "
                          "ponds'"))
                  .find(">pine<"),
              std::string::npos);
    ui->QueueModal("frmUserSearchSaveOpen", TypeName("Bob's ponds"));
    ui->QueueAnswer(vb::Yes);
    Click("mnuFileSaveSearchAs");
    EXPECT_NE(CStr(Scalar("SELECT option_value FROM user_option WHERE option_name = 'Bob''s "
                          "ponds'"))
                  .find(">lo<"),
              std::string::npos);

    // Another user's search is not listed.
    host->Db()->Execute(
        "INSERT INTO user_option (user_option_category_id, user_id, option_name, option_value) "
        "SELECT user_option_category_id, 999, 'Theirs', '<x/>' FROM user_option_category WHERE "
        "category_name = '$USER_FIND_MANAGED_AREA'");

    // Open: the user's searches by name; opening restores criteria and resets the results.
    ui->QueueAnswer(vb::Yes);
    Click("cmdFindNow");
    Type("txtManagedAreaName", "");
    ui->QueueModal("frmUserSearchSaveOpen", [](Form& f) {
        EXPECT_EQ(f.Caption(), "Open User Search");
        EXPECT_EQ(f.Get<CommandButton>("cmdSave").Caption(), "Open");
        EXPECT_TRUE(f.Get<TextBox>("txtSearchName").Locked());
        EXPECT_EQ(f.Get<SearchNameBox>("txtSearchName").BackColor(), syscolor::ButtonFace);
        auto& list = f.Get<ListBox>("lstUserSearches");
        ASSERT_EQ(list.ListCount(), 2);
        EXPECT_EQ(list.List(0), "Alpha");
        EXPECT_EQ(list.List(1), "Bob's ponds");
        EXPECT_FALSE(f.Get<CommandButton>("cmdSave").Enabled());
        list.SetListIndex(1);
        EXPECT_TRUE(f.Get<CommandButton>("cmdSave").Enabled());
        list.UserDblClick();
    });
    Click("mnuFileOpenSearch");
    EXPECT_EQ(search->SearchName(), "Bob's ponds");
    EXPECT_EQ(Box("txtCountyName").Text(), "lo");
    EXPECT_EQ(Count(), "0") << "a named search holds no results";

    // Cancelling the dialog changes nothing.
    ui->QueueModal("frmUserSearchSaveOpen", CancelDialog());
    Click("mnuFileOpenSearch");
    EXPECT_EQ(search->SearchName(), "Bob's ponds");

    // A search that vanished while the dialog was open.
    ui->QueueModal("frmUserSearchSaveOpen", [this](Form& f) {
        host->Db()->Execute("DELETE FROM user_option WHERE option_name = 'Alpha'");
        Pick("Alpha")(f);
    });
    Click("mnuFileOpenSearch");
    EXPECT_EQ(ui->LastMessage()->text, "Unable to load search criteria under the name: 'Alpha'");
    EXPECT_EQ(Box("txtCountyName").Text(), "lo") << "criteria as they were";
    EXPECT_EQ(search->SearchName(), "Alpha") << "the name asked for";
    ui->QueueModal("frmUserSearchSaveOpen", Pick("Bob's ponds"));
    Click("mnuFileOpenSearch");

    // Deleting the open search forgets its name, so the next save asks again.
    ui->QueueModal("frmUserSearchSaveOpen", [](Form& f) {
        EXPECT_EQ(f.Caption(), "Delete User Search");
        EXPECT_EQ(f.Get<CommandButton>("cmdSave").Caption(), "Delete");
        Pick("Bob's ponds")(f);
    });
    Click("mnuFileDeleteSearch");
    EXPECT_EQ(CLng(Scalar("SELECT count(*) FROM user_option WHERE option_name = 'Bob''s ponds'")),
              0);
    EXPECT_EQ(search->SearchName(), "");
    ui->QueueModal("frmUserSearchSaveOpen", CancelDialog());
    Click("mnuFileSaveSearch");
    EXPECT_EQ(CLng(Scalar("SELECT count(*) FROM user_option WHERE user_id = 999")), 1);
}

} // namespace
} // namespace zelk::search::test
