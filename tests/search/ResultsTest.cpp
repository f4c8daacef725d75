#include "SearchFixture.h"

#include "platform/ui/Form.h"

namespace zelk::search::test {
namespace {

using ResultsTest = SearchTest;

// Records what the host window is told about drawing its working-list grid.
struct RedrawLog : ControlObserver {
    std::vector<bool> seen;
    host::HostWindow* window = nullptr;
    void PropertyChanged(Control& c, std::string_view p) override {
        if (&c == window && p == "MainGridRedraw") seen.push_back(window->MainGridRedraw());
    }
};

TEST_F(ResultsTest, HeadersReadAsWords) {
    EXPECT_EQ(ManagedAreaSearch::HeaderCaption("id"), "ID");
    EXPECT_EQ(ManagedAreaSearch::HeaderCaption("managed_area_id"), "Managed Area ID");
    EXPECT_EQ(ManagedAreaSearch::HeaderCaption("MANAGED_AREA_NAME"), "Managed Area Name");
    EXPECT_EQ(ManagedAreaSearch::HeaderCaption("state  code_bcd"), "State  Code Bcd");
    EXPECT_EQ(ManagedAreaSearch::HeaderCaption("macode"), "Macode");
    EXPECT_EQ(ManagedAreaSearch::HeaderCaption(""), "");

    InitFramed();
    // Before any search: the empty working-list columns, headed.
    EXPECT_EQ(Grid().Rows(), 1);
    EXPECT_EQ(Grid().TextMatrix(0, 0), "ID");
    EXPECT_EQ(Grid().TextMatrix(0, 1), "Managed Area Name");
    EXPECT_EQ(Count(), "0");
    EXPECT_EQ(window->Caption(), "Find Managed Area");
    EXPECT_EQ(search->Width(), 9750);
    search->SetWidth(100);
    search->SetHeight(20000);
    EXPECT_EQ(search->Width(), 9750);
    EXPECT_EQ(search->Height(), 9825);
}

TEST_F(ResultsTest, AddAndReplaceTheWorkingListWithTheSelectedRows) {
    InitFramed();
    RecordsetPtr list = host->WorkingList();
    RedrawLog redraw;
    redraw.window = window.get();
    window->AddObserver(&redraw);
    // Framed: the list buttons, no OK or Cancel.
    EXPECT_TRUE(search->Get<CommandButton>("cmdAddToList").Visible());
    EXPECT_FALSE(search->Get<CommandButton>("cmdOK").Visible());

    Type("txtManagedAreaName", "oak");
    Click("cmdFindNow");
    auto ids = GridIds();
    ASSERT_GT(ids.size(), 6u);

    Grid().UserSelectRows({1, 2, 3});
    Click("cmdAddToList");
    EXPECT_EQ(Ids(*list), (std::vector<long>{ids[0], ids[1], ids[2]}));
    EXPECT_EQ(redraw.seen, (std::vector<bool>{false, true}));
    Click("cmdAddToList");
    Grid().UserSelectRows({3, 4});
    Click("cmdAddToList");
    EXPECT_EQ(Ids(*list), (std::vector<long>{ids[0], ids[1], ids[2], ids[3]})) << "each ID once";
    list->MoveFirst();
    EXPECT_EQ(CStr(list->Value("managed_area_name")), Grid().TextMatrix(1, 1));

    // Nothing selected: Replace leaves the list alone.
    Click("cmdDeselectAll");
    EXPECT_EQ(Grid().SelectedRows(), 0);
    Click("cmdReplaceList");
    EXPECT_EQ(list->RecordCount(), 4);
    Grid().UserSelectRows({5, 6});
    Click("cmdReplaceList");
    EXPECT_EQ(Ids(*list), (std::vector<long>{ids[4], ids[5]}));

    // Select All takes every row; a double-click on a data row adds it, on the header nothing.
    Click("cmdSelectAll");
    EXPECT_EQ(Grid().SelectedRows(), static_cast<long>(ids.size()));
    Click("cmdAddToList");
    EXPECT_EQ(list->RecordCount(), static_cast<long>(ids.size()));
    Click("cmdReplaceList");
    EXPECT_EQ(Ids(*list), ids);
    Grid().UserSelectRows({2});
    Click("cmdReplaceList");
    // The header is double-clicked while a data row is current and selected.
    Grid().UserSelect(4, 1);
    Grid().UserDblClickCell(0, 1);
    EXPECT_EQ(Ids(*list), std::vector<long>{ids[1]});
    EXPECT_EQ(Grid().Row(), 4) << "the header click moves nothing";
    Grid().UserDblClickCell(3, 1);
    EXPECT_EQ(Ids(*list), (std::vector<long>{ids[1], ids[2]}));
    window->RemoveObserver(&redraw);

    // Select All on an empty result does nothing.
    Type("txtManagedAreaName", "no such area");
    Click("cmdFindNow");
    Click("cmdSelectAll");
    EXPECT_EQ(Grid().SelectedRows(), 0);
}

TEST_F(ResultsTest, DetailsAndNewGoThroughTheWindowManager) {
    InitFramed();
    Type("txtManagedAreaName", "oak");
    Click("cmdFindNow");
    Grid().UserSelect(2, 1);
    Click("cmdDetails");
    ASSERT_EQ(host->WinMan()->Requests().size(), 1u);
    const auto& open = host->WinMan()->Requests()[0];
    EXPECT_EQ(open.kind, "OpenDetails");
    EXPECT_EQ(open.id, Grid().TextMatrix(2, 0));
    EXPECT_EQ(open.extra, "");
    EXPECT_EQ(CLng(open.fromView), 1);
    EXPECT_EQ(CLng(open.toView), 1);
    Grid().UserSelect(0, 1);
    Click("cmdDetails");
    EXPECT_EQ(host->WinMan()->Requests().size(), 1u) << "the header row opens nothing";

    Click("cmdNew");
    ASSERT_EQ(host->WinMan()->Requests().size(), 2u);
    EXPECT_EQ(host->WinMan()->Requests()[1].kind, "NewDetails");
    EXPECT_EQ(CLng(host->WinMan()->Requests()[1].fromView), 1);
    EXPECT_EQ(host->WinMan()->Requests()[1].extra, "Managed Area");

    // New from the New menu is the host's business.
    Click("mnuNewManagedArea");
    Click("mnuFileClose");
    EXPECT_EQ(events, (std::vector<std::string>{"NewItem", "Quit"}));

    // Views without a managed-area view: position -1.
    auto views = std::make_shared<host::ViewsCollection>();
    views->AddView("SIT", nullptr);
    auto other = Reopen();
    other->Call("InitSearch", {Variant(host->WorkingList()), Variant(host->App()), Variant(2),
                               Variant(host->WinMan()), Variant(views), Variant("x")});
    other->Get<Control>("cmdNew").UserClick();
    EXPECT_EQ(CLng(host->WinMan()->Requests().back().fromView), -1);
}

TEST_F(ResultsTest, ModalOkFillsTheCallersRecordsetAndCancelDoesNot) {
    auto caller = host->App()->GetPrototypeRSForView("MGA");
    auto picked = std::make_shared<Collection>();
    picked->Add(Variant("stale"));
    Args init{Variant(host->App()), Variant(caller), Variant("")};
    search->Invoke("InitModalSearch", CallKind::Method, init);
    EXPECT_EQ(init[1].Obj(), caller) << "the caller's variable keeps its recordset";
    search->Call("UseSelectedRecordset", {Variant(true)});
    search->Call("SetSelectedItems", {Variant(picked)});
    EXPECT_TRUE(search->Get<CommandButton>("cmdOK").Visible());
    EXPECT_TRUE(search->Get<CommandButton>("cmdCancel").Visible());
    EXPECT_FALSE(search->Get<CommandButton>("cmdAddToList").Visible());
    EXPECT_FALSE(search->Get<CommandButton>("cmdSelectAll").Visible());
    EXPECT_FALSE(search->Get<CommandButton>("cmdOK").Enabled());

    Type("txtManagedAreaName", "oak");
    Click("cmdFindNow");
    auto ids = GridIds();
    EXPECT_TRUE(search->Get<CommandButton>("cmdOK").Enabled());
    Grid().UserSelectRows({2, 4});
    Click("cmdOK");
    EXPECT_EQ(events, std::vector<std::string>{"Quit"});
    EXPECT_EQ(Ids(*caller), (std::vector<long>{ids[1], ids[3]}));
    ASSERT_EQ(picked->Count(), 2);
    EXPECT_EQ(CStr(picked->Item(Variant(1))), std::to_string(ids[1]));

    // Cancel: the caller's recordset stays as it was, whatever is selected.
    Grid().UserSelectRows({1, 2, 3});
    Click("cmdCancel");
    EXPECT_EQ(events.size(), 2u);
    EXPECT_EQ(Ids(*caller), (std::vector<long>{ids[1], ids[3]}));
    EXPECT_EQ(search->WorkingList(), nullptr);
    search->SelectedItems(); // nothing to copy into any more
    EXPECT_EQ(Ids(*caller), (std::vector<long>{ids[1], ids[3]}));

    // Single select: one row at most; a double-click answers OK.
    auto single = Reopen();
    auto rs = host->App()->GetPrototypeRSForView("MGA");
    single->InitModalSearch(host->App(), rs, "x");
    single->UseSelectedRecordset(true);
    single->SetSingleSelect();
    single->Get<TextBox>("txtManagedAreaName").SetText("oak");
    single->Get<Control>("cmdFindNow").UserClick();
    auto& g = single->Get<VSFlexGrid>("flexResults");
    int quits = 0;
    single->Advise([&quits](std::string_view ev, Args&) { quits += ev == "Quit"; });
    g.UserSelectRows({2, 3, 4});
    EXPECT_EQ(g.SelectedRows(), 1);
    g.UserDblClickCell(0, 1);
    EXPECT_EQ(quits, 0) << "a double-click on the header returns nothing";
    EXPECT_EQ(rs->RecordCount(), 0);
    g.UserDblClickCell(2, 1);
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(Ids(*rs), std::vector<long>{ids[1]});

    // Deactivate lets go of everything.
    search->Call("Deactivate");
    EXPECT_EQ(search->Results(), nullptr);
    EXPECT_TRUE(search->Call("CanClose").Bool());
}

TEST_F(ResultsTest, ModalOkReturnsTheRowItIsEnabledFor) {
    auto caller = host->App()->GetPrototypeRSForView("MGA");
    auto picked = std::make_shared<Collection>();
    search->InitModalSearch(host->App(), caller, "");
    search->UseSelectedRecordset(true);
    search->SetSelectedItems(picked);
    auto& ok = search->Get<CommandButton>("cmdOK");
    EXPECT_FALSE(ok.Enabled());

    // Right after a search the first row is current, and OK returns it.
    Type("txtManagedAreaName", "oak");
    Click("cmdFindNow");
    auto ids = GridIds();
    ASSERT_GT(ids.size(), 2u);
    EXPECT_EQ(Grid().Row(), 1);
    EXPECT_TRUE(ok.Enabled());
    EXPECT_EQ(Grid().SelectedRows(), 1);
    Click("cmdOK");
    EXPECT_EQ(Ids(*caller), std::vector<long>{ids[0]});
    ASSERT_EQ(picked->Count(), 1);
    EXPECT_EQ(CStr(picked->Item(Variant(1))), std::to_string(ids[0]));

    // A later search starts afresh from its own first row.
    Grid().UserSelectRows({2, 3});
    Type("txtManagedAreaName", "a");
    Click("cmdFindNow");
    auto more = GridIds();
    EXPECT_EQ(Grid().SelectedRows(), 1);
    Click("cmdOK");
    EXPECT_EQ(Ids(*caller), std::vector<long>{more[0]});
    // Nothing found: OK off.
    Type("txtManagedAreaName", "no such area anywhere");
    Click("cmdFindNow");
    EXPECT_FALSE(ok.Enabled());
}

TEST_F(ResultsTest, ClipboardCommandsActOnTextBoxesOnly) {
    InitFramed();
    Box("txtManagedAreaName").SetFocus();
    Click("mnuEditCopy");
    search->Get<Toolbar>("tbManagedAreaSearch").UserClickButton("Paste");
    Grid().SetFocus();
    Click("mnuEditCut");
    std::vector<std::string> keys;
    for (const auto& e : ui->Log())
        if (e.kind == "SendKeys") keys.push_back(e.text);
    EXPECT_EQ(keys, (std::vector<std::string>{"^c", "^v"}));
    EXPECT_EQ(search->Get<Toolbar>("tbManagedAreaSearch").Button("Save").ToolTipText(),
              "Save Current Search");
    EXPECT_EQ(search->Get<Menu>("mnuHelpZELKHelp").Caption(), "Wayfold &Help          F1");
}

} // namespace
} // namespace zelk::search::test
