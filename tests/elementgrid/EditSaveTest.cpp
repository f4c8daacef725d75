#include "ElementGridFixture.h"

#include "elementgrid/ElementQuery.h"
#include "platform/ui/StdControls.h"

namespace zelk::elementgrid::test {
namespace {

// Saves the record as the editor does once the grid agreed, then lets the grid finish.
void Save(ElementGridTest& t, MA_ElementGrid& grid, bo::IShape& shape) {
    ASSERT_TRUE(grid.IsValid());
    ASSERT_TRUE(grid.StoreToCollection());
    ASSERT_TRUE(shape.Save()) << shape.LastError();
    grid.PostSave();
    (void)t;
}

TEST_F(ElementGridTest, EditsAddRemoveAndReorderSurviveASaveAndAReload) {
    app->userName = "d'arcy";
    // Attributes of row 2: a combo pick and a comment with quotes, committed on leaving.
    G().UserSelect(2, 6);
    auto& origin = Ctl<DataCombo>("cboOrigin");
    ASSERT_TRUE(origin.UserPick(3)); // sorted by description: Unknown
    EXPECT_EQ(CellOf(2, "d_origin_id"), "4");
    EXPECT_EQ(State(2), rowstate::Modified);
    auto& status = Ctl<TextBox>("txtStatusInMA");
    status.UserType("Seen 'twice' \"today\"");
    EXPECT_EQ(CellOf(2, "status_in_ma"), "") << "written when the box is left";
    G().UserSelect(1, 6);
    EXPECT_EQ(CellOf(2, "status_in_ma"), "Seen 'twice' \"today\"");
    EXPECT_EQ(State(1), rowstate::Unchanged);

    // The same value again is no change.
    Load(kArea);
    G().UserSelect(1, 6);
    Ctl<TextBox>("txtStatusInMA").UserType("Resident");
    G().UserSelect(2, 6);
    EXPECT_FALSE(grid->IsModified());

    // Change row 2, add a new element, remove row 3, clear row 1's reference, move the new row
    // to the top.
    G().UserSelect(2, 6);
    ASSERT_TRUE(origin.UserPick(3));
    Ctl<TextBox>("txtStatusInMA").UserType("Seen 'twice'");
    G().UserSelect(4, 6);
    PickElement(5, "Global", "Picea 'glauca'", "", "G5");
    Click("cmdSelectElement");
    ASSERT_EQ(picks.size(), 1u);
    EXPECT_EQ(picks[0], "ZELK_Element.ElementSearch|Element Search - |");
    EXPECT_EQ(G().Rows(), 6) << "the blank row was used and another added";
    EXPECT_EQ(CellOf(4, "element_id"), "5");
    EXPECT_EQ(CellOf(4, "element_global_id"), "5");
    EXPECT_EQ(CellOf(4, "element_national_id"), "");
    EXPECT_EQ(CellOf(4, "common_name"), "");
    EXPECT_EQ(CellOf(4, "display_order"), "4");
    EXPECT_EQ(State(4), rowstate::New);
    EXPECT_EQ(State(5), rowstate::New);
    EXPECT_EQ(Ctl<TextBox>("txtScientificName").Text(), "Picea 'glauca'");
    Ctl<DataCombo>("cboPopulation").UserPick(0);
    G().UserSelect(3, 6);
    Click("cmdRemove");
    EXPECT_EQ(G().Rows(), 5);
    EXPECT_EQ(CellOf(3, "element_id"), "5");
    EXPECT_EQ(Ctl<TextBox>("txtElementID").Text(), "5");
    G().UserSelect(1, 6);
    Click("cmdClearReference");
    EXPECT_EQ(CellOf(1, "reference_id"), "");
    EXPECT_EQ(Ctl<TextBox>("txtReferenceCode").Text(), "");
    EXPECT_EQ(State(1), rowstate::Modified);
    ASSERT_TRUE(G().UserMoveRow(3, 1));
    EXPECT_EQ(CellOf(1, "element_id"), "5");
    EXPECT_EQ(G().Rows(), 5);
    EXPECT_EQ(CellOf(4, "element_id"), "") << "the blank row stays last";
    EXPECT_EQ(State(4), rowstate::New);
    EXPECT_TRUE(grid->IsModified());

    Save(*this, *grid, *shape);
    EXPECT_EQ(app->statements.size(), 3u);
    for (const auto& s : app->statements)
        EXPECT_NE(s.find("rec_last_mod_user = 'd''arcy'"), std::string::npos) << s;
    EXPECT_EQ(ElementCount(), 0) << "the change set is emptied after the save";
    EXPECT_FALSE(grid->IsModified());

    // What the database holds now, in display order.
    auto rs = host->Db()->Query(
        "SELECT element_global_id, element_national_id, element_subnational_id, reference_id, "
        "d_origin_id, d_population_id, status_in_ma, display_order, rec_create_user, "
        "rec_last_mod_user FROM element_managed_area WHERE managed_area_id = 9001 "
        "ORDER BY display_order");
    ASSERT_EQ(rs->RecordCount(), 3);
    EXPECT_EQ(CStr(rs->Value("element_global_id")), "5");
    EXPECT_EQ(CLng(rs->Value("display_order")), 1);
    EXPECT_EQ(CStr(rs->Value("d_population_id")), "1");
    EXPECT_EQ(CStr(rs->Value("rec_create_user")), "d'arcy");
    rs->MoveNext();
    EXPECT_EQ(CStr(rs->Value("element_global_id")), "3");
    EXPECT_TRUE(rs->Value("reference_id").IsNull());
    EXPECT_EQ(CLng(rs->Value("display_order")), 2);
    rs->MoveNext();
    EXPECT_EQ(CStr(rs->Value("element_national_id")), "4");
    EXPECT_EQ(CStr(rs->Value("d_origin_id")), "4");
    EXPECT_EQ(CStr(rs->Value("status_in_ma")), "Seen 'twice'");
    EXPECT_EQ(CLng(rs->Value("display_order")), 3);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM element_managed_area WHERE "
                     "element_subnational_id = 105"),
              "0");

    // The grid reloaded itself; a fresh load of the record shows the same.
    EXPECT_EQ(CellOf(1, "element_id"), "5");
    EXPECT_NE(CellOf(1, "element_managed_area_id"), "");
    Load(kArea);
    ASSERT_EQ(G().Rows(), 5);
    EXPECT_EQ(CellOf(1, "element_id"), "5");
    EXPECT_EQ(CellOf(2, "element_id"), "3");
    EXPECT_EQ(CellOf(3, "element_id"), "4");
    EXPECT_EQ(CellOf(3, "status_in_ma"), "Seen 'twice'");
    EXPECT_EQ(State(1), rowstate::Unchanged);
}

TEST_F(ElementGridTest, NewRowsAreStoredOnceAndFoundAgainAfterTheSave) {
    G().UserSelect(4, 6);
    // A national element whose ID is also a global one: it is still stored as national.
    PickElement(3, "National", "Bubo virginianus");
    Click("cmdSelectElement");
    EXPECT_EQ(CellOf(4, "element_national_id"), "3");
    const long before = ElementCount();
    ASSERT_TRUE(grid->StoreToCollection());
    ASSERT_TRUE(grid->StoreToCollection());
    EXPECT_EQ(ElementCount(), before + 1) << "a second store updates the element it added";
    ASSERT_TRUE(G().UserMoveRow(4, 1));
    ASSERT_TRUE(shape->Save()) << shape->LastError();
    grid->PostSave();
    ASSERT_EQ(app->statements.size(), 4u);
    const std::string id = Scalar("SELECT element_managed_area_id FROM element_managed_area WHERE "
                                  "managed_area_id = 9001 AND element_national_id = 3");
    EXPECT_EQ(app->statements[0], BuildDisplayOrderUpdate(1, "ann", CLng(Variant(id))));
    EXPECT_EQ(app->statements[1], BuildDisplayOrderUpdate(2, "ann", 80001));
    EXPECT_EQ(Scalar("SELECT display_order FROM element_managed_area WHERE "
                     "element_managed_area_id = " +
                     id),
              "1");
    EXPECT_EQ(Scalar("SELECT display_order FROM element_managed_area WHERE "
                     "element_managed_area_id = 80003"),
              "4");

    // Without a reorder PostSave writes nothing.
    app->statements.clear();
    G().UserSelect(2, 6);
    Ctl<DataCombo>("cboOrigin").UserPick(0);
    Save(*this, *grid, *shape);
    EXPECT_TRUE(app->statements.empty());
}

TEST_F(ElementGridTest, ChecksBeforeASaveStopItWhereARowIsIncomplete) {
    // A combo used on the blank row makes a row without an element.
    G().UserSelect(4, 6);
    Ctl<DataCombo>("cboRegularity").UserPick(1);
    EXPECT_EQ(G().Rows(), 6);
    EXPECT_EQ(CellOf(4, "display_order"), "4");
    G().UserSelect(1, 6);
    EXPECT_TRUE(grid->IsModified());
    EXPECT_FALSE(grid->IsValid());
    EXPECT_EQ(ui->LastMessage()->text,
              "Every element row needs an element. Choose one or remove the row.");
    EXPECT_EQ(G().Row(), 4) << "the row to fix becomes current";
    EXPECT_EQ(G().Redraw(), 2);

    // Removing it (never saved) leaves nothing behind in the collection.
    ASSERT_TRUE(grid->StoreToCollection());
    const long count = ElementCount();
    Click("cmdRemove");
    EXPECT_EQ(ElementCount(), count);
    EXPECT_TRUE(grid->IsValid());
    EXPECT_TRUE(grid->IsModified()) << "a removal is a change";

    // The blank row and the header cannot be removed.
    G().UserSelect(G().Rows() - 1, 6);
    Click("cmdRemove");
    EXPECT_EQ(G().Rows(), 5);

    // A level ID beyond the 32-bit range is reported, not saved.
    host->Db()->ExecScript(
        "INSERT INTO element_global (element_global_id, gname_id, g_rank) VALUES "
        "(3000000000, 1, 'G1');"
        "UPDATE element_managed_area SET element_global_id = 3000000000 "
        "WHERE element_managed_area_id = 80001;");
    // The business objects cannot hold such an ID, so the grid gets an empty change set.
    auto other =
        std::dynamic_pointer_cast<bo::IShape>(CreateObject("ZELK_ManagedAreaClient.CShape"));
    other->Connect("local", 1);
    other->Load(std::to_string(kEmptyArea));
    auto& none = other->ManagedArea(1)->Children(bo::ChildList::Elements);
    grid->Initialize(dynamic_cast<Object&>(none).shared_from_this(), kArea, host->WinMan(), app);
    EXPECT_EQ(CellOf(1, "element_global_id"), "3000000000");
    EXPECT_FALSE(grid->IsValid());
    EXPECT_EQ(
        ui->LastMessage()->text.rfind("An error occurred while validating the Elements Tab: ", 0),
        0u);
    EXPECT_EQ(ui->LastMessage()->flags & vb::Exclamation, vb::Exclamation);
    EXPECT_EQ(G().Redraw(), 2);
}

TEST_F(ElementGridTest, ElementsAlreadyListedAreRefused) {
    G().UserSelect(4, 6);
    PickElement(4, "National", "Dup");
    Click("cmdSelectElement");
    EXPECT_EQ(ui->LastMessage()->text, "This element is already listed for the managed area.");
    EXPECT_EQ(CellOf(4, "element_id"), "");
    EXPECT_EQ(G().Rows(), 5);
    // The same ID at another level is another element.
    PickElement(4, "Global", "Other");
    Click("cmdSelectElement");
    EXPECT_EQ(CellOf(4, "element_global_id"), "4");
    // Choosing again for its own row is accepted; a saved row keeps its record.
    G().UserSelect(2, 6);
    PickElement(4, "National", "Same");
    Click("cmdSelectElement");
    EXPECT_EQ(CellOf(2, "scientific_name"), "Same");
    EXPECT_EQ(State(2), rowstate::Modified);
    // Another element for a saved row replaces the element of that record.
    PickElement(6, "National", "Replaced");
    Click("cmdSelectElement");
    Save(*this, *grid, *shape);
    EXPECT_EQ(Scalar("SELECT element_national_id FROM element_managed_area WHERE "
                     "element_managed_area_id = 80002"),
              "6");
    // Without GEOLEVEL in the search's list the host names the level.
    G().UserSelect(G().Rows() - 1, 6);
    PickElement(2, "", "Levelless");
    Click("cmdSelectElement");
    EXPECT_EQ(CellOf(G().Rows() - 2, "geo_level"), "Global");
}

TEST_F(ElementGridTest, AFailedOrderWriteKeepsTheOrderPendingAndReachesTheCaller) {
    ASSERT_TRUE(G().UserMoveRow(1, 3));
    EXPECT_EQ(CellOf(3, "element_id"), "3");
    ASSERT_TRUE(grid->StoreToCollection());
    ASSERT_TRUE(shape->Save());
    app->failExecute = true;
    std::string raised;
    try {
        grid->PostSave();
    } catch (const ComError& e) {
        raised = e.Description();
    }
    EXPECT_EQ(raised, "database is locked") << "the editor reports it";
    EXPECT_TRUE(ui->Messages().empty()) << ui->Messages().front();
    EXPECT_EQ(CellOf(3, "element_id"), "3") << "the order on screen is kept";
    EXPECT_TRUE(grid->IsModified()) << "and still waiting to be written";
    app->failExecute = false;
    Save(*this, *grid, *shape);
    EXPECT_FALSE(grid->IsModified());
    EXPECT_EQ(Scalar("SELECT display_order FROM element_managed_area WHERE "
                     "element_managed_area_id = 80001"),
              "3");
    EXPECT_EQ(CellOf(3, "element_id"), "3");

    // Moving the first row up or the last down, or the blank row at all, changes nothing.
    EXPECT_FALSE(G().UserMoveRow(4, 1));
    EXPECT_TRUE(G().UserMoveRow(3, 9));
    EXPECT_EQ(CellOf(3, "element_id"), "3");
    EXPECT_EQ(G().Rows(), 5);
    // A header click sorts, which is a reorder too.
    G().UserClickHeader(G().ColIndex("element_id"));
    EXPECT_EQ(CellOf(1, "element_id"), "3");
    EXPECT_EQ(CellOf(3, "element_id"), "105");
    EXPECT_EQ(CellOf(4, "element_id"), "");
}

TEST_F(ElementGridTest, TheEditorReachesEveryMemberByName) {
    ObjectPtr ctl = form->Find("ctlElement")->shared_from_this();
    ctl->Call("SetETKViewID", {Variant(4)});
    ctl->Let("SearchFormCaption", Variant("Managed Area Details"));
    ctl->Let("SearchFormIcon", Variant("icoMA"));
    EXPECT_EQ(CStr(ctl->Get("SearchFormCaption")), "Managed Area Details");
    ctl->Call("Initialize", {Variant(Elements()), Variant(static_cast<int>(kArea)),
                             Variant(std::static_pointer_cast<Object>(host->WinMan())),
                             Variant(std::static_pointer_cast<Object>(app))});
    EXPECT_FALSE(CBool(ctl->Call("IsModified")));
    EXPECT_TRUE(CBool(ctl->Call("IsValid")));
    EXPECT_TRUE(CBool(ctl->Call("StoreToCollection")));
    ctl->Call("PostSave");
    ctl->Call("Clear");
    EXPECT_EQ(CellOf(1, "element_id"), "");
    ctl->Call("Initialize", {Variant(Elements()), Variant(static_cast<int>(kArea)),
                             Variant(std::static_pointer_cast<Object>(host->WinMan())),
                             Variant(std::static_pointer_cast<Object>(app))});

    // Double-click opens the element in its own module.
    G().UserSelect(3, 6);
    G().UserDblClick();
    ASSERT_EQ(host->WinMan()->Requests().size(), 1u);
    const auto& r = host->WinMan()->Requests()[0];
    EXPECT_EQ(r.kind, "OpenDetails");
    EXPECT_EQ(CLng(r.fromView), 4);
    EXPECT_EQ(CLng(r.toView), 4);
    EXPECT_EQ(r.id, "105");
    EXPECT_EQ(r.extra, "ROOTOPEN");

    // The reference search: one record replaces the reference, none leaves the row alone.
    picker = [](const std::string&, const std::string&, const std::string&, const ObjectPtr&,
                RecordsetPtr& rs) {
        rs->AddNew();
        (*rs)["ID"] = Variant(7001);
        (*rs)["REFERENCE_CODE"] = Variant("O'HARA01");
        (*rs)["FULL_CITATION"] = Variant("O'Hara");
        rs->Update();
    };
    Click("cmdSelectReference");
    EXPECT_EQ(picks.back(),
              "ZELK_Reference.ReferenceSearch|Reference Search - Managed Area Details|icoMA");
    EXPECT_EQ(app->queries.back(), "select * from REFERENCE_WL_VW WHERE 1=0");
    EXPECT_EQ(CellOf(3, "reference_id"), "7001");
    EXPECT_EQ(Ctl<TextBox>("txtReferenceCode").Text(), "O'HARA01");
    EXPECT_EQ(State(3), rowstate::Modified);
    picker = [](const std::string&, const std::string&, const std::string&, const ObjectPtr&,
                RecordsetPtr&) {};
    Click("cmdSelectReference");
    EXPECT_EQ(CellOf(3, "reference_id"), "7001");

    // A search that cannot open is reported with its reason.
    picker = [](const std::string&, const std::string&, const std::string&, const ObjectPtr&,
                RecordsetPtr&) { Raise(err::CannotCreateObject, "no such search"); };
    Click("cmdSelectElement");
    EXPECT_EQ(ui->LastMessage()->text, "Error opening Element Search.\n\nno such search");
    EXPECT_EQ(ui->LastMessage()->title, "Managed Area");
    EXPECT_EQ(Screen::Instance().MousePointer(), mouse::Default);
}

} // namespace
} // namespace zelk::elementgrid::test
