#include "support/ScriptedUi.h"

#include "dialogs/RecordsetGrid.h"
#include "dialogs/frmGotoRecord.h"
#include "platform/Conv.h"

namespace zelk::testing {
namespace {

using dialogs::frmGotoRecord;
using dialogs::ReadableHeader;

RecordsetPtr WorkingList(int rows) {
    auto rs = NewRecordset();
    rs->GetFields().Append("ID", ad::Integer);
    rs->GetFields().Append("managed_area_name", ad::VarChar, 100, ad::FldIsNullable);
    rs->GetFields().Append("Managed Area", ad::VarChar, 100, ad::FldIsNullable);
    rs->Open();
    for (int i = 1; i <= rows; ++i) {
        rs->AddNew();
        (*rs)["ID"] = Variant(100 + i);
        (*rs)["managed_area_name"] =
            i == 2 ? Variant::Null() : Variant("Area " + std::to_string(i));
        rs->Update();
    }
    return rs;
}

using GotoRecordTest = ScriptedUiTest;

TEST_F(GotoRecordTest, HeadersAreReadable) {
    EXPECT_EQ(ReadableHeader("managed_area_id"), "Managed Area ID");
    EXPECT_EQ(ReadableHeader("ID"), "ID");
    EXPECT_EQ(ReadableHeader("macode_bcd"), "Macode Bcd");
    EXPECT_EQ(ReadableHeader("element_global_id"), "Element Global ID");
    EXPECT_EQ(ReadableHeader("MANAGED Area"), "Managed Area");
    EXPECT_EQ(ReadableHeader("_odd__name_"), "Odd  Name");
    EXPECT_EQ(ReadableHeader(""), "");
}

TEST_F(GotoRecordTest, ListsTheWorkingListAndAnswersThePickedPosition) {
    auto rs = WorkingList(3);
    auto frm = std::make_shared<frmGotoRecord>();
    frm->LoadRecordset(rs);
    VSFlexGrid& grid = frm->vsgRecords();
    ASSERT_EQ(grid.Rows(), 4);
    ASSERT_EQ(grid.Cols(), 3);
    EXPECT_EQ(grid.TextMatrix(0, 0), "ID");
    EXPECT_EQ(grid.TextMatrix(0, 1), "Managed Area Name");
    EXPECT_EQ(grid.TextMatrix(0, 2), "Managed Area");
    EXPECT_EQ(grid.TextMatrix(3, 0), "103");
    EXPECT_EQ(grid.TextMatrix(2, 1), "") << "a null shows as an empty cell";
    EXPECT_EQ(frm->Caption(), "Goto Record");

    // Cancel on a fresh dialog answers 0, even with a row selected.
    ui->QueueModal("frmGotoRecord", [](Form& f) {
        f.Get<VSFlexGrid>("vsgRecords").UserSelect(2, 0);
        f.Get<CommandButton>("cmdCancel").UserClick();
    });
    frm->Show(true);
    EXPECT_EQ(frm->GotoRecordPosition(), 0);

    ui->QueueModal("frmGotoRecord", [](Form& f) {
        f.Get<VSFlexGrid>("vsgRecords").UserSelect(3, 1);
        f.Get<CommandButton>("cmdOK").UserClick();
    });
    frm->Show(true);
    EXPECT_EQ(frm->GotoRecordPosition(), 3);

    // A double-click accepts at once; Cancel afterwards keeps the last answer.
    ui->QueueModal("frmGotoRecord", [](Form& f) {
        auto& g = f.Get<VSFlexGrid>("vsgRecords");
        g.UserSelect(1, 0);
        g.UserDblClick();
        EXPECT_FALSE(f.Visible());
    });
    frm->Show(true);
    EXPECT_EQ(frm->GotoRecordPosition(), 1);
    ui->QueueModal("frmGotoRecord", [](Form& f) { f.Get<CommandButton>("cmdCancel").UserClick(); });
    frm->Show(true);
    EXPECT_EQ(frm->GotoRecordPosition(), 1);
    EXPECT_TRUE(frm->Unload());

    // OK with nothing selected answers 0.
    auto empty = std::make_shared<frmGotoRecord>();
    empty->LoadRecordset(WorkingList(0));
    ui->QueueModal("frmGotoRecord", [](Form& f) { f.Get<CommandButton>("cmdOK").UserClick(); });
    empty->Show(true);
    EXPECT_EQ(empty->GotoRecordPosition(), 0);
}

} // namespace
} // namespace zelk::testing
