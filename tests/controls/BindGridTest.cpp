#include "ControlsFixture.h"

#include "controls/ctrlBindGrid.h"

namespace zelk::testing {

using bo::ChildList;
using controls::ctrlBindGrid;

TEST_F(ControlsTest, BindGridShowsTheCollectionAndWritesAcceptedEditsBack) {
    auto grid = AddControl<ctrlBindGrid>("VardenBindGrid.ctrlBindGrid", "flexOwners");
    ASSERT_TRUE(grid);
    grid->Call("SetModifyDefault", {Variant("RecLastModUser"), Variant("ann")});
    grid->Call("BindCollection",
               {Variant(ListObject(ChildList::Owners)), Variant("ID,OwnerName,DisplayOrder")});
    grid->Call("SetVisibleColumns", {Variant("OwnerName")});
    VSFlexGrid& g = grid->Grid();
    auto& owners = List(ChildList::Owners);

    ASSERT_EQ(g.Rows(), 4); // header, two owners, the empty new row
    long name = g.ColIndex("OwnerName");
    EXPECT_EQ(g.TextMatrix(1, name), "State of Vermont");
    EXPECT_EQ(CStr(g.RowData(2)), owners.Item(2)->UniqueID());
    EXPECT_TRUE(g.ColHidden(g.ColIndex("ID")));
    EXPECT_FALSE(g.ColHidden(name));
    EXPECT_FALSE(CBool(grid->Call("HasChanges")));
    // Sited and sized by its form, the grid is the whole control, its last column the rest.
    grid->SetExtendLastCol(true);
    grid->Move(180, 2400, 6900, 2200);
    EXPECT_EQ(g.Left(), 0);
    EXPECT_EQ(g.Width(), 6900);
    EXPECT_EQ(g.Height(), 2200);
    EXPECT_EQ(g.ColWidth(name), 6900);

    // The editor's ValidateEdit handler refuses one text: the object must keep its value.
    int afterEdits = 0;
    grid->On("ValidateEdit", [&](Args& a) {
        if (Trim(g.EditText()) == "refused") a[2] = Variant(true);
    });
    grid->On("AfterEdit", [&](Args&) { ++afterEdits; });
    EXPECT_FALSE(g.UserEdit(1, name, "refused"));
    EXPECT_EQ(CStr(owners.Item(1)->GetProperty("OwnerName")), "State of Vermont");
    EXPECT_EQ(afterEdits, 0);

    EXPECT_TRUE(g.UserEdit(1, name, "Vermont Fish and Wildlife"));
    EXPECT_EQ(CStr(owners.Item(1)->GetProperty("OwnerName")), "Vermont Fish and Wildlife");
    EXPECT_EQ(CStr(owners.Item(1)->GetProperty("RecLastModUser")), "ann");
    EXPECT_EQ(afterEdits, 1);
    EXPECT_TRUE(CBool(grid->Call("HasChanges")));

    // A value the object cannot hold leaves it unchanged and the grid invalid until corrected.
    long order = g.ColIndex("DisplayOrder");
    EXPECT_TRUE(g.UserEdit(2, order, "second"));
    EXPECT_EQ(CLng(owners.Item(2)->GetProperty("DisplayOrder")), 2);
    ui->QueueAnswer(vb::OK);
    EXPECT_FALSE(CBool(grid->Call("IsValid")));
    EXPECT_TRUE(g.UserEdit(2, order, "5"));
    EXPECT_TRUE(CBool(grid->Call("IsValid")));
    EXPECT_EQ(CLng(owners.Item(2)->GetProperty("DisplayOrder")), 5);
}

TEST_F(ControlsTest, BindGridCreatesAnItemFromTheNewRowAndRemovesDeletedRows) {
    auto grid = AddControl<ctrlBindGrid>("VardenBindGrid.ctrlBindGrid", "flexOwners");
    grid->Call("SetCreateDefault", {Variant("RecCreateUser"), Variant("ann")});
    grid->Call("BindCollection",
               {Variant(ListObject(ChildList::Owners)), Variant("OwnerName,OwnerNote")});
    grid->Call("SetColumnOption", {Variant("OwnerName"), Variant(true)});
    VSFlexGrid& g = grid->Grid();
    auto& owners = List(ChildList::Owners);

    EXPECT_TRUE(g.UserEdit(3, g.ColIndex("OwnerName"), "Land Trust"));
    ASSERT_EQ(owners.Count(), 3);
    auto created = owners.Item(3);
    EXPECT_TRUE(created->IsNew());
    EXPECT_EQ(CStr(created->GetProperty("OwnerName")), "Land Trust");
    EXPECT_EQ(CStr(created->GetProperty("RecCreateUser")), "ann");
    EXPECT_EQ(CStr(g.RowData(3)), created->UniqueID());
    EXPECT_EQ(g.Rows(), 5); // a fresh empty row below it

    // A required column left empty makes the grid invalid.
    EXPECT_TRUE(g.UserEdit(4, g.ColIndex("OwnerNote"), "no name yet"));
    ui->QueueAnswer(vb::OK);
    EXPECT_FALSE(CBool(grid->Call("IsValid")));

    EXPECT_TRUE(CBool(grid->Call("DeleteRow", {Variant(4)})));
    EXPECT_TRUE(CBool(grid->Call("IsValid")));
    // Delete on the first owner's row, as the user presses it.
    g.UserSelect(1, 0);
    g.UserKeyDown(key::Delete);
    ASSERT_EQ(owners.Count(), 2);
    EXPECT_EQ(CStr(owners.Item(1)->GetProperty("OwnerName")), "Nature Trust");
    EXPECT_FALSE(
        CBool(grid->Call("DeleteRow", {Variant(static_cast<int>(g.Rows() - 1))}))); // the empty row

    ASSERT_TRUE(shape->Save()) << shape->LastError();
    auto rs = host->Db()->Query("SELECT owner_name FROM managed_area_owner ORDER BY owner_name");
    ASSERT_EQ(rs->RecordCount(), 2);
    EXPECT_EQ(CStr(rs->Value("owner_name")), "Land Trust");
    grid->Call("PostSave");
    EXPECT_EQ(g.Rows(), 4);
    EXPECT_FALSE(CBool(grid->Call("HasChanges")));
    grid->Call("Deactivate");
    EXPECT_FALSE(CBool(grid->Call("HasChanges")));
}

} // namespace zelk::testing
