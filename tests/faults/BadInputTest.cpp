#include "FaultsFixture.h"

#include "common/RS_Functions.h"
#include "controls/ctrlDateSelect.h"
#include "platform/Recordset.h"

namespace zelk::testing {
namespace {

class BadInput : public FaultsTest {
protected:
    // A list of the host's kind, with the given IDs (Null where the variant says so).
    RecordsetPtr ListOf(const std::vector<Variant>& ids, bool withId = true) {
        auto rs = NewRecordset();
        if (withId) rs->GetFields().Append("ID", ad::Double);
        rs->GetFields().Append("managed_area_name", ad::VarChar, 255);
        rs->Open();
        for (const Variant& id : ids) {
            rs->AddNew();
            if (withId) rs->GetFields().Item("ID").SetValue(id);
            rs->GetFields().Item("managed_area_name").SetValue(Variant("row"));
            rs->Update();
        }
        rs->MoveFirst();
        return rs;
    }
    void InitOn(const RecordsetPtr& list) {
        editor->InitDetails(list, host->App(), host->ManagedAreaViewId(), host->WinMan(),
                            host->Views(), "");
    }
    long AnyId(int offset = 0) {
        return FirstId("SELECT managed_area_id FROM ma ORDER BY managed_area_id LIMIT 1 OFFSET " +
                       std::to_string(offset));
    }
    void ExpectUsable() {
        EXPECT_FALSE(editor->picActivityWait->Visible());
        EXPECT_EQ(Screen::Instance().MousePointer(), mouse::Default);
        for (const auto& m : ui->Messages())
            EXPECT_FALSE(LooksLikeSql(m)) << m;
    }
};

TEST_F(BadInput, WorkingListsWithNullBigOrMissingIdsNeverLoadAWrongRecord) {
    const long a = AnyId(0), b = AnyId(1);
    // Null and out-of-range IDs between good ones: the walk refuses them and stays put.
    auto list = ListOf({Variant(static_cast<int>(a)), Variant::Null(), Variant(5000000000.0),
                        Variant(-1.0), Variant(static_cast<int>(b))});
    InitOn(list);
    editor->LoadData(a);
    EXPECT_EQ(editor->GetID(), a);
    for (int step = 0; step < 4; ++step) {
        ui->ClearLog();
        editor->cmdNavNext->UserClick();
        ExpectUsable();
        const long id = editor->GetID();
        EXPECT_TRUE(id == a || id == b) << "step " << step << " shows " << id;
        if (id == a) {
            EXPECT_FALSE(ui->Messages().empty()) << "a refused row is reported";
        }
    }
    ui->ClearLog();
    editor->cmdNavLast->UserClick();
    EXPECT_EQ(editor->GetID(), b);
    // Typed positions on the bad rows.
    for (const char* pos : {"2", "3", "4"}) {
        ui->ClearLog();
        editor->txtCurrentRecord->UserType(pos);
        editor->txtCurrentRecord->UserKeyDown(key::Return);
        ExpectUsable();
        EXPECT_EQ(editor->GetID(), b) << pos;
    }
    // The record shown is still the one saved.
    editor->ctlMAName->UserType("Still B");
    ui->ClearLog();
    editor->mnuFileSave->UserClick();
    EXPECT_TRUE(ui->Messages().empty()) << ui->Messages().front();
    EXPECT_EQ(Of(b, "managed_area_name"), "Still B");
    EXPECT_NE(Of(a, "managed_area_name"), "Still B");

    // A list without an ID column at all: the editor says so and walks nowhere.
    editor->Deactivate();
    editor = std::dynamic_pointer_cast<editor::ManagedAreaDetails>(
        window->AddControl("ZELK_ManagedArea.ManagedAreaDetails", "ctlDetails2"));
    ui->ClearLog();
    InitOn(ListOf({Variant("x"), Variant("y")}, false));
    editor->LoadData(a);
    editor->cmdNavNext->UserClick();
    ExpectUsable();
    EXPECT_EQ(editor->GetID(), a);
}

TEST_F(BadInput, AListEmptiedByAnotherWindowWhileTheEditorWalksIt) {
    auto list = host->WorkingList();
    ASSERT_GT(list->RecordCount(), 3);
    Init();
    list->MoveFirst();
    const long first = CLng(list->Value("ID"));
    editor->LoadData(first);
    editor->cmdNavNext->UserClick();
    const long second = editor->GetID();
    EXPECT_NE(second, first);
    // Another window empties the list.
    EmptyRecordset(*list);
    ASSERT_EQ(list->RecordCount(), 0);
    for (auto* b :
         {editor->cmdNavNext, editor->cmdNavPrev, editor->cmdNavFirst, editor->cmdNavLast}) {
        ui->ClearLog();
        b->UserClick();
        ExpectUsable();
        EXPECT_EQ(editor->GetID(), second) << b->Name();
    }
    ui->ClearLog();
    editor->txtCurrentRecord->UserType("1");
    editor->txtCurrentRecord->UserKeyDown(key::Return);
    ExpectUsable();
    EXPECT_EQ(editor->GetID(), second);
    // The record on screen still saves as itself.
    editor->ctlMAName->UserType("After The List Went");
    ui->ClearLog();
    editor->mnuFileSave->UserClick();
    EXPECT_TRUE(ui->Messages().empty()) << ui->Messages().front();
    EXPECT_EQ(Of(second, "managed_area_name"), "After The List Went");
    EXPECT_NE(Of(first, "managed_area_name"), "After The List Went");
}

TEST_F(BadInput, DatesOutsideTheCalendarAreRefusedOrStoredAsRealDates) {
    Init();
    const long id = AnyId(2);
    editor->LoadData(id);
    editor->tabManagedAreas->UserSelectTab(editor::PageVersionQC);
    const std::string stored = Of(id, "version_date");
    for (const char* text : {"12/31/1899", "1/1/0001", "1/1/10000", "12/31/99999", "2/30/2001",
                             "13/1/2001", "0/0/0"}) {
        ui->ClearLog();
        editor->ctlVersionDate->UserType(text);
        editor->ctlManualFileNote->UserType(std::string("date ") + text);
        editor->mnuFileSave->UserClick();
        ExpectUsable();
        const std::string now = Of(id, "version_date");
        // Either refused (told, nothing stored) or stored as a real date of the calendar.
        if (!ui->Messages().empty()) {
            EXPECT_EQ(now, stored) << text;
        } else if (!now.empty()) {
            auto d = ParseDate(now);
            ASSERT_TRUE(d) << text << " stored as " << now;
            const int year = SplitDate(*d).year;
            EXPECT_TRUE(year >= 100 && year <= 9999) << text << " stored as " << now;
        }
        editor->LoadData(id);
    }
}

} // namespace
} // namespace zelk::testing
