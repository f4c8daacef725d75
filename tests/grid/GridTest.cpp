#include "support/ScriptedUi.h"

#include "common/RS_Functions.h"
#include "platform/Conv.h"
#include "platform/ProgIdRegistry.h"
#include "platform/ui/ControlRegistry.h"
#include "platform/ui/VSFlexGrid.h"

#include <string>
#include <vector>

namespace zelk {
namespace {

using GridTest = testing::ScriptedUiTest;
using testing::ErrorOf;

std::shared_ptr<VSFlexGrid> Owners(Form& form) {
    auto g = form.Add<VSFlexGrid>("flexOwners");
    g->SetCols(3);
    g->SetRows(1);
    g->SetFixedRows(1);
    g->SetFixedCols(0);
    g->SetColKey(0, "DOwnerTypeID");
    g->SetColKey(1, "OwnerName");
    g->SetColKey(2, "DisplayOrder");
    g->SetColComboList(0, "#1;Federal|#2;State|#3;Private");
    for (const char* row : {"2\tSmith\t3", "1\tadams\t1", "3\tBaker\t2"})
        g->AddItem(row);
    for (long r = 1; r < g->Rows(); ++r)
        g->SetRowData(r, Variant("U" + g->TextMatrix(r, 1)));
    g->SetEditable(flex::EDKbdMouse);
    return g;
}

TEST_F(GridTest, EditRunsItsEventsInOrderAndValidateCancelKeepsTheOldValue) {
    auto form = std::make_shared<Form>("frm");
    auto g = Owners(*form);
    std::vector<std::string> seen;
    bool refuse = false;
    for (const char* e : {"BeforeEdit", "StartEdit", "ChangeEdit", "ValidateEdit", "AfterEdit"})
        g->On(e, [&, ev = std::string(e)](Args& a) {
            seen.push_back(ev);
            if (ev == "ValidateEdit" && g->Col() == 1) {
                EXPECT_EQ(CLng(a[0]), 1);
                EXPECT_EQ(CLng(a[1]), 1);
                EXPECT_EQ(g->EditText(), "Smyth") << "the handler sees the text being entered";
                a[2] = refuse;
            }
        });
    EXPECT_TRUE(g->UserEdit(1, 1, "Smyth"));
    EXPECT_EQ(seen, (std::vector<std::string>{"BeforeEdit", "StartEdit", "ChangeEdit",
                                              "ValidateEdit", "AfterEdit"}));
    g->SetTextMatrix(1, 1, "Smith");
    seen.clear();
    refuse = true;
    EXPECT_FALSE(g->UserEdit(1, 1, "Smyth"));
    EXPECT_EQ(g->TextMatrix(1, 1), "Smith");
    EXPECT_EQ(seen.back(), "ValidateEdit");
    EXPECT_FALSE(g->Editing());

    // Combo cells store the id of the text chosen and show the text.
    refuse = false;
    EXPECT_TRUE(g->UserPickCombo(2, 0, 2));
    EXPECT_EQ(g->TextMatrix(2, 0), "3");
    EXPECT_EQ(g->DisplayText(2, 0), "Private");
    EXPECT_TRUE(g->UserEdit(2, 0, "State"));
    EXPECT_EQ(g->TextMatrix(2, 0), "2");
    g->SetEditable(flex::EDNone);
    EXPECT_FALSE(g->UserEdit(1, 1, "x"));
}

TEST_F(GridTest, SortingKeepsRowDataHiddenStateAndCellSettingsWithTheirRows) {
    auto form = std::make_shared<Form>("frm");
    auto g = Owners(*form);
    g->SetRowHidden(3, true);                                // Baker
    g->SetCell(flex::cpFontBold, 1, 1, 1, 1, Variant(true)); // Smith
    g->SetCol(1);
    g->Let("Sort", Variant(flex::SortStringNoCaseAscending));
    EXPECT_EQ(g->TextMatrix(1, 1), "adams");
    EXPECT_EQ(g->TextMatrix(2, 1), "Baker");
    EXPECT_EQ(g->TextMatrix(3, 1), "Smith");
    EXPECT_TRUE(g->RowHidden(2));
    EXPECT_TRUE(g->CellBold(3, 1));
    EXPECT_FALSE(g->CellBold(1, 1));
    for (long r = 1; r < 4; ++r)
        EXPECT_EQ(CStr(g->RowData(r)), "U" + g->TextMatrix(r, 1));
    // Numbers compare as numbers; the header row stays put.
    g->SetTextMatrix(0, 2, "Order");
    g->SetTextMatrix(1, 2, "10");
    g->SetCol(2);
    g->Sort(flex::SortGenericAscending);
    EXPECT_EQ(g->TextMatrix(3, 2), "10");
    EXPECT_EQ(g->TextMatrix(0, 2), "Order");
    g->UserClickHeader(2);
    EXPECT_EQ(g->TextMatrix(3, 2), "10");
    g->UserClickHeader(2);
    EXPECT_EQ(g->TextMatrix(1, 2), "10") << "a second click sorts descending";

    EXPECT_EQ(g->FindRow(Variant("smith"), -1, 1, false), g->FindRow(Variant("Smith"), -1, 1));
    EXPECT_EQ(g->FindRow(Variant("Nobody"), -1, 1), -1);
    EXPECT_EQ(g->FindRow(Variant("Uadams"), -1, -1), g->FindRow(Variant("adams"), -1, 1));
}

TEST_F(GridTest, MultiSelectFeedsTheRecordProceduresAndColumnsMoveWithTheirCells) {
    auto form = std::make_shared<Form>("frm");
    auto g = Owners(*form);
    g->SetSelectionMode(flex::SelListBox);
    g->UserSelectRows({1, 3});
    ASSERT_EQ(g->SelectedRows(), 2);
    EXPECT_EQ(g->SelectedRow(0), 1);
    EXPECT_EQ(g->SelectedRow(1), 3);
    EXPECT_EQ(CLng(g->Get("SelectedRows")), 2);
    g->SetSelectionMode(flex::SelByRow);
    g->UserSelect(2, 1);
    EXPECT_EQ(g->SelectedRows(), 1);
    EXPECT_EQ(ErrorOf([&] { g->SelectedRow(1); }), err::SubscriptOutOfRange);

    g->SetCell(flex::cpBackColor, 1, 2, 1, 2, Variant(255));
    g->Let("ColPosition", Variant(0), {Variant(2)});
    EXPECT_EQ(g->ColIndex("DisplayOrder"), 0);
    EXPECT_EQ(g->ColIndex("ownername"), 2);
    EXPECT_EQ(g->TextMatrix(1, 0), "3");
    EXPECT_EQ(g->CellBackColor(1, 0), 255);
    EXPECT_EQ(g->ColIndex("Nope"), -1);

    g->RemoveItem(1);
    EXPECT_EQ(g->Rows(), 3);
    EXPECT_EQ(CStr(g->RowData(1)), "Uadams");
    EXPECT_EQ(g->CellBackColor(1, 0), -1) << "the removed row's setting left with it";
    EXPECT_EQ(ErrorOf([&] { g->TextMatrix(9, 0); }), 30009);
    EXPECT_EQ(ErrorOf([&] { g->TextMatrix(1, 9); }), 30010);
}

// Rows given up and taken back, by every path a grid grows or shrinks, come back empty.
TEST_F(GridTest, RowsTakenBackAfterShrinkingAreEmpty) {
    auto form = std::make_shared<Form>("frm");
    auto g = Owners(*form);
    g->SetRows(1);
    g->SetRows(3);
    EXPECT_EQ(g->TextMatrix(1, 1), "");
    EXPECT_EQ(g->TextMatrix(2, 0), "");
    g->SetTextMatrix(1, 1, "Kept");
    g->SetRows(2);
    EXPECT_EQ(g->AddItem("1\tAdded\t9"), 2);
    EXPECT_EQ(g->TextMatrix(2, 1), "Added");
    g->SetRows(1);
    g->AddItem("2\tFirst");
    g->AddItem("3\tSecond", 1); // inserted above, past the spare cells
    ASSERT_EQ(g->Rows(), 3);
    EXPECT_EQ(g->TextMatrix(1, 1), "Second");
    EXPECT_EQ(g->TextMatrix(2, 1), "First");
    EXPECT_EQ(g->TextMatrix(2, 2), "");
    g->RemoveItem(1);
    g->SetRows(4);
    EXPECT_EQ(g->TextMatrix(1, 1), "First");
    EXPECT_EQ(g->TextMatrix(2, 1), "");
    EXPECT_EQ(g->TextMatrix(3, 1), "");
    g->SetCols(4);
    EXPECT_EQ(g->TextMatrix(3, 3), "");

    // Spare cells given back: the rows kept hold their text, rows taken back are empty.
    g->SetTextMatrix(3, 3, "Spare");
    g->SetRowData(1, Variant(7));
    g->SetRows(2);
    g->ReleaseSpareRows();
    EXPECT_EQ(g->TextMatrix(1, 1), "First");
    EXPECT_EQ(CLng(g->RowData(1)), 7);
    g->SetRows(4);
    EXPECT_EQ(g->TextMatrix(3, 3), "");
    EXPECT_TRUE(g->RowData(3).IsEmpty());
}

TEST_F(GridTest, AGridAddedByProgIdIsDrivenLateBoundAndRedrawBatchesNotifications) {
    RegisterControls(ProgIdRegistry::Instance());
    auto form = std::make_shared<Form>("frm");
    ControlPtr grid = form->AddControl("VSFlex7Ctl.VSFlexGrid", "flexResults");
    struct Count : ControlObserver {
        int cells = 0;
        void PropertyChanged(Control&, std::string_view p) override { cells += p == "Cells"; }
    } count;
    form->AddObserver(&count);
    grid->Let("Redraw", Variant(false));
    grid->Let("Rows", Variant(4));
    grid->Let("Cols", Variant(2));
    for (int r = 0; r < 4; ++r)
        grid->Let("TextMatrix", Variant("r" + std::to_string(r)), {Variant(r), Variant(1)});
    EXPECT_EQ(count.cells, 0);
    grid->Let("Redraw", Variant(2));
    EXPECT_EQ(count.cells, 1);
    EXPECT_EQ(CStr(grid->Get("TextMatrix", {Variant(3), Variant(1)})), "r3");
    grid->Let("ColKey", Variant("ID"), {Variant(0)});
    EXPECT_EQ(CLng(grid->Get("ColIndex", {Variant("id")})), 0);
    EXPECT_EQ(CLng(grid->Call("AddItem", {Variant("7\tseven")})), 4);
    EXPECT_EQ(CLng(grid->Call("FindRow", {Variant("seven"), Variant(), Variant(1)})), 4);
    form->RemoveObserver(&count);
}

} // namespace
} // namespace zelk
