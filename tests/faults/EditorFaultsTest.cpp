#include "FaultsFixture.h"

#include "controls/ctrlBindGrid.h"
#include "elementgrid/MA_ElementGrid.h"

#include <cstdio>

namespace zelk::testing {
namespace {

constexpr long kMaxPoints = 600;

class EditorFaults : public FaultsTest {
protected:
    void Save() { editor->mnuFileSave->UserClick(); }
    // The record's element rows by display order, as stored and as the grid shows them.
    std::string ElementOrderInDb(long id) {
        std::string out;
        auto rs = host->Db()->Query("SELECT element_managed_area_id FROM element_managed_area "
                                    "WHERE managed_area_id = ? ORDER BY display_order, "
                                    "element_managed_area_id",
                                    {Variant(static_cast<int>(id))});
        for (; !rs->EOF(); rs->MoveNext())
            out += CStr(rs->GetFields().Item(std::size_t{0}).Value()) + " ";
        return out;
    }
    static std::string ElementOrderOnScreen(VSFlexGrid& g, long rows) {
        std::string out;
        for (long r = 1; r <= rows; ++r)
            out += g.TextMatrix(r, g.ColIndex("element_managed_area_id")) + " ";
        return out;
    }
    // Opens the record with every page shown once, as a user who looked at them all.
    void OpenWithEveryPage(long id) {
        Init();
        editor->LoadData(id);
        for (int p = 1; p < editor::PageCount; ++p)
            editor->tabManagedAreas->UserSelectTab(p);
        editor->tabManagedAreas->UserSelectTab(editor::PageIdentifiers);
    }
    // A change on three pages and a new alias row.
    void Edit(long n) {
        editor->ctlMAName->UserType("Fault Marsh " + std::to_string(n));
        editor->tabManagedAreas->UserSelectTab(editor::PageDescriptors);
        editor->txtTotalAcres->UserType(std::to_string(100 + n));
        editor->tabManagedAreas->UserSelectTab(editor::PageManager);
        editor->ctlManager->UserType("Keeper " + std::to_string(n));
        editor->tabManagedAreas->UserSelectTab(editor::PageIdentifiers);
        VSFlexGrid& g = editor->flexMAAlias->Grid();
        ASSERT_TRUE(
            g.UserEdit(g.Rows() - 1, g.ColIndex("ManagedAreaAlias"), "Alias " + std::to_string(n)));
    }
    void ExpectSaved(long id, long n) {
        EXPECT_EQ(Of(id, "managed_area_name"), "Fault Marsh " + std::to_string(n)) << n;
        EXPECT_EQ(Of(id, "total_area_acres"), std::to_string(100 + n)) << n;
        EXPECT_EQ(Of(id, "manager"), "Keeper " + std::to_string(n)) << n;
        EXPECT_EQ(FirstId("SELECT COUNT(*) FROM managed_area_alias WHERE managed_area_id = " +
                          std::to_string(id) + " AND managed_area_alias = 'Alias " +
                          std::to_string(n) + "'"),
                  1)
            << n;
    }
    elementgrid::MA_ElementGrid& Elements() {
        return dynamic_cast<elementgrid::MA_ElementGrid&>(*editor->ctlElement);
    }
};

TEST_F(EditorFaults, ASaveFailingAtAnyStatementWritesAllOrNothingTellsTheUserAndSavesOnRetry) {
    const long id = FindRecord("1 = 1");
    OpenWithEveryPage(id);
    long n = 1;
    for (; n < kMaxPoints; ++n) {
        Edit(n);
        const std::string before = Snapshot();
        const Fault kind = KindFor(n);
        ui->ClearLog();
        faults->FailAt(n, kind);
        Save();
        const bool fired = faults->Fired();
        faults->Off();
        if (!fired) break; // the save ran fewer statements: it went through
        ++points;
        ExpectToldWithoutSql(n);
        EXPECT_TRUE(Mentions(Cause(kind)))
            << n << " " << faults->FailedStatement() << ": " << ui->Messages().front();
        EXPECT_FALSE(editor->picActivityWait->Visible()) << n;
        EXPECT_EQ(Screen::Instance().MousePointer(), mouse::Default) << n;
        const bool committed = Of(id, "managed_area_name") == "Fault Marsh " + std::to_string(n);
        if (!committed)
            EXPECT_EQ(Snapshot(), before) << "statement " << n << " (" << faults->FailedStatement()
                                          << "): " << SnapshotDiff(before, Snapshot());
        else
            ExpectSaved(id, n); // the failure came after the commit: all of it is there

        // The user saves again and it goes through.
        ui->ClearLog();
        Save();
        EXPECT_TRUE(ui->Messages().empty()) << n << ": " << ui->Messages().front();
        ExpectSaved(id, n);
        EXPECT_TRUE(editor->CanClose()) << "nothing left unsaved after " << n;
    }
    EXPECT_LT(n, kMaxPoints) << "the save never got through";
    EXPECT_GE(points, 10);
    ExpectSaved(id, n);
    RecordProperty("fault_points", static_cast<int>(points));
    std::printf("[ fault points ] editor save: %ld\n", points);
}

TEST_F(EditorFaults, ANewRecordFailingAtAnyStatementIsNeitherHalfWrittenNorLost) {
    Init();
    OpenPrivateList({1, 2});
    const long areas = FirstId("SELECT COUNT(*) FROM ma");
    long n = 1;
    editor->NewData(0);
    editor->ctlMAName->UserType("Brand New Fen");
    editor->txtMACodeBCD->UserType("NEW-FEN");
    VSFlexGrid& g = editor->flexMAAlias->Grid();
    ASSERT_TRUE(g.UserEdit(g.Rows() - 1, g.ColIndex("ManagedAreaAlias"), "The New Fen"));
    for (; n < kMaxPoints; ++n) {
        const std::string before = Snapshot();
        ui->ClearLog();
        faults->FailAt(n, KindFor(n));
        Save();
        const bool fired = faults->Fired();
        faults->Off();
        if (!fired) break;
        ++points;
        ExpectToldWithoutSql(n);
        if (editor->GetID() > 0) {
            // Committed before the failure: one record, whole, in the list once.
            EXPECT_EQ(FirstId("SELECT COUNT(*) FROM ma"), areas + 1) << n;
            EXPECT_EQ(Rows("managed_area_alias", editor->GetID()), 1) << n;
            break;
        }
        EXPECT_EQ(Snapshot(), before)
            << n << " (" << faults->FailedStatement() << "): " << SnapshotDiff(before, Snapshot());
        EXPECT_EQ(editor->WorkingList()->RecordCount(), 2) << n;
        EXPECT_TRUE(editor->lblNewRecord->Visible()) << n;
    }
    EXPECT_LT(n, kMaxPoints);
    const long id = editor->GetID();
    ASSERT_GT(id, 0);
    ui->ClearLog();
    Save();
    EXPECT_EQ(FirstId("SELECT COUNT(*) FROM ma"), areas + 1);
    EXPECT_EQ(Of(id, "macode_bcd"), "NEW-FEN");
    EXPECT_EQ(Rows("managed_area_alias", id), 1);
    EXPECT_EQ(editor->WorkingList()->RecordCount(), 3);
    std::printf("[ fault points ] new record save: %ld\n", points);
}

TEST_F(EditorFaults, ADeleteFailingAtAnyStatementKeepsTheWholeRecord) {
    Init();
    auto list = host->WorkingList();
    editor->On("RemoveItem", [&](Args& a) {
        list->MoveFirst();
        list->Find("ID=" + CStr(a[0]));
        if (!list->EOF()) list->Delete();
    });
    const long id = FindRecord(Has("managed_area_owner") + " AND " + Has("managed_area_alias"));
    editor->LoadData(id);
    const long count = list->RecordCount();
    long n = 1;
    for (; n < kMaxPoints; ++n) {
        const std::string before = Snapshot();
        ui->ClearLog();
        ui->QueueAnswer(vb::Yes);
        faults->FailAt(n, KindFor(n));
        editor->mnuEditDelete->UserClick();
        const bool fired = faults->Fired();
        faults->Off();
        if (!fired) break;
        ++points;
        ExpectToldWithoutSql(n);
        if (Of(id, "managed_area_id") == "<none>") {
            // Gone before the failure: gone with every row that named it.
            EXPECT_EQ(Rows("managed_area_owner", id), 0);
            EXPECT_EQ(Rows("managed_area_alias", id), 0);
            break;
        }
        EXPECT_EQ(Snapshot(), before)
            << n << " (" << faults->FailedStatement() << "): " << SnapshotDiff(before, Snapshot());
        EXPECT_EQ(editor->GetID(), id) << n;
        EXPECT_EQ(list->RecordCount(), count) << n;
        EXPECT_FALSE(editor->picActivityWait->Visible()) << n;
        if (ui->PendingAnswers()) {
            // The failure came before the question: nothing was asked.
            ui = std::make_shared<ScriptedUiDriver>();
            ui->SetFailureHandler([](const std::string& what) { ADD_FAILURE() << what; });
            SetUiDriver(ui);
        }
    }
    EXPECT_LT(n, kMaxPoints);
    EXPECT_EQ(Of(id, "managed_area_id"), "<none>") << "the retry deleted it";
    EXPECT_EQ(Rows("managed_area_owner", id), 0);
    EXPECT_EQ(list->RecordCount(), count - 1);
    EXPECT_GE(points, 5);
    std::printf("[ fault points ] delete: %ld\n", points);
}

TEST_F(EditorFaults, ACopyFailingAtAnyStatementLeavesTheTargetAsItWas) {
    Init();
    const long id = FirstId("SELECT managed_area_id FROM ma ORDER BY managed_area_id LIMIT 1");
    const long source = FindRecord("m.managed_area_desc IS NOT NULL AND m.managed_area_id <> " +
                                   std::to_string(id) + " AND " + Has("managed_area_alias"));
    editor->LoadData(id);
    const std::string sourceName = Of(source, "managed_area_name");
    const std::string sourceDesc = Of(source, "managed_area_desc");
    ASSERT_NE(Of(id, "managed_area_desc"), sourceDesc);
    long n = 1;
    for (; n < kMaxPoints; ++n) {
        const std::string before = Snapshot();
        ui->ClearLog();
        const Fault kind = KindFor(n);
        // Counting starts once the source is picked.
        ui->QueueModal("frmModalSearch", [&](Form& f) {
            PickInSearch(f, sourceName, std::to_string(source));
            faults->FailAt(n, kind);
        });
        ui->QueueAnswer(vb::Yes);
        editor->mnuToolsCopy->UserClick();
        const bool fired = faults->Fired();
        faults->Off();
        if (!fired) break;
        ++points;
        ExpectToldWithoutSql(n);
        if (Of(id, "managed_area_desc") == sourceDesc) break; // copied before the failure
        EXPECT_EQ(Snapshot(), before)
            << n << " (" << faults->FailedStatement() << "): " << SnapshotDiff(before, Snapshot());
        EXPECT_EQ(editor->GetID(), id);
        EXPECT_FALSE(editor->picActivityWait->Visible());
        if (ui->PendingAnswers()) {
            ui = std::make_shared<ScriptedUiDriver>();
            ui->SetFailureHandler([](const std::string& what) { ADD_FAILURE() << what; });
            SetUiDriver(ui);
        }
    }
    EXPECT_LT(n, kMaxPoints);
    EXPECT_GE(points, 3);
    EXPECT_EQ(Of(id, "managed_area_desc"), sourceDesc) << "the retry copied";
    EXPECT_GE(Rows("managed_area_alias", id), Rows("managed_area_alias", source));
    std::printf("[ fault points ] copy: %ld\n", points);
}

TEST_F(EditorFaults, AFailedDisplayOrderWriteIsReportedAndWrittenWholeOnTheRetry) {
    const long id = FindRecord(Has("element_managed_area", 3));
    OpenWithEveryPage(id);
    editor->tabManagedAreas->UserSelectTab(editor::PageElements);
    VSFlexGrid& g = Elements().Grid();
    const long rows = g.Rows() - 2; // header and the blank row
    ASSERT_GE(rows, 3);
    auto orderInDb = [&] { return ElementOrderInDb(id); };
    auto orderOnScreen = [&] { return ElementOrderOnScreen(g, rows); };
    // Each pass moves the first row to the end, and the save then fails at one of the order
    // statements; the retry writes the order shown.
    long n = 1;
    for (; n < kMaxPoints; ++n) {
        ASSERT_TRUE(g.UserMoveRow(1, rows));
        const std::string shown = orderOnScreen();
        ui->ClearLog();
        faults->FailAt(n, KindFor(n));
        Save();
        const bool fired = faults->Fired();
        faults->Off();
        if (!fired) break;
        ++points;
        ExpectToldWithoutSql(n);
        EXPECT_EQ(orderOnScreen(), shown) << "the order on screen is kept";
        ui->ClearLog();
        Save();
        EXPECT_TRUE(ui->Messages().empty()) << n << ": " << ui->Messages().front();
        EXPECT_EQ(orderInDb(), shown) << n;
        EXPECT_TRUE(editor->CanClose()) << "nothing left unsaved after " << n;
    }
    EXPECT_LT(n, kMaxPoints);
    EXPECT_EQ(orderInDb(), orderOnScreen());
    std::printf("[ fault points ] element order: %ld\n", points);
}

TEST_F(EditorFaults, AnOrderThatCannotBeWrittenFailsTheSaveSoTheWindowStaysOpen) {
    const long id = FindRecord(Has("element_managed_area", 3));
    OpenWithEveryPage(id);
    editor->tabManagedAreas->UserSelectTab(editor::PageElements);
    VSFlexGrid& g = Elements().Grid();
    const long rows = g.Rows() - 2; // header and the blank row
    ASSERT_GE(rows, 3);
    auto toldOfTheOrder = [&] {
        long n = 0;
        for (const auto& m : ui->Messages())
            if (m.rfind("The managed area was saved, but the display order of its elements could "
                        "not be written.\n\n",
                        0) == 0)
                ++n;
        return n;
    };
    // Each pass reorders and closes, answering Yes to saving the changes, with one statement
    // failing a step further on, until the failure hits the first display-order statement.
    bool hit = false;
    for (long n = 1; n < kMaxPoints && !hit; ++n) {
        ASSERT_TRUE(g.UserMoveRow(1, rows));
        ui->ClearLog();
        ui->QueueAnswer(vb::Yes);
        faults->FailAt(n, Fault::Locked);
        const bool closed = editor->CanClose();
        const bool fired = faults->Fired();
        const std::string failed = faults->FailedStatement();
        faults->Off();
        ASSERT_TRUE(fired) << "the save wrote no order after " << n << " statements";
        if (failed.find("display_order") == std::string::npos) continue;
        hit = true;
        EXPECT_FALSE(closed) << "the window stays open while the order is not written";
        EXPECT_EQ(toldOfTheOrder(), 1);
        EXPECT_TRUE(Mentions(Cause(Fault::Locked)));
        EXPECT_TRUE(Elements().IsModified()) << "the order waits for the next save";
    }
    ASSERT_TRUE(hit);
    // The next close saves again and writes the order shown.
    const std::string shown = ElementOrderOnScreen(g, rows);
    ui->ClearLog();
    ui->QueueAnswer(vb::Yes);
    EXPECT_TRUE(editor->CanClose());
    EXPECT_EQ(toldOfTheOrder(), 0);
    EXPECT_EQ(ElementOrderInDb(id), shown);
}

} // namespace
} // namespace zelk::testing
