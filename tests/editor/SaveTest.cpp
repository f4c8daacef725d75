#include "editor/WorkingListSupport.h"
#include "support/TestBackend.h"

#include "host/app/Coordinates.h"
#include "host/app/MessageCatalog.h"
#include "host/bo/DataServiceSqlPort.h"
#include "host/bo/RegisterBusinessObjects.h"
#include "platform/ui/UiDriver.h"

#include <algorithm>

namespace zelk::testing {
namespace {

std::string Text(const std::string& code, const std::vector<std::string>& args = {}) {
    return host::MessageCatalog::Default().Format(code, args);
}

class SaveTest : public WorkingListTest {
protected:
    void SetUp() override {
        WorkingListTest::SetUp();
        // Records with a shape drawn in the GIS cannot be deleted; these tests start without.
        host->Db()->Execute("UPDATE shape SET has_shape_ind = 'N'");
    }
    long Id(int offset) {
        return FirstId("SELECT managed_area_id FROM ma ORDER BY managed_area_id LIMIT 1 OFFSET " +
                       std::to_string(offset));
    }
    std::string Of(long id, const std::string& column) {
        return Db1("SELECT " + column + " FROM ma WHERE managed_area_id = " + std::to_string(id));
    }
    void Save() { editor->mnuFileSave->UserClick(); }
    std::vector<long> updates, removals;
    int quits = 0;
    void Listen() {
        editor->On("UpdateList", [this](Args& a) { updates.push_back(CLng(a[0])); });
        editor->On("RemoveItem", [this](Args& a) { removals.push_back(CLng(a[0])); });
        editor->On("Quit", [this](Args&) { ++quits; });
    }
};

TEST_F(SaveTest, EditsOnSeveralPagesAreSavedAndTheHostHearsOfIt) {
    Init();
    Listen();
    long id = Id(3);
    editor->LoadData(id);
    editor->ctlMAName->UserType("Heron Marsh");
    editor->tabManagedAreas->UserSelectTab(editor::PageLocators);
    editor->txtLatitude->UserType("443000N");
    editor->tabManagedAreas->UserSelectTab(editor::PageDescriptors);
    editor->txtTotalAcres->UserType("250");
    editor->chkMultiJuris->SetValue(1);
    sent.clear();
    Save();
    EXPECT_TRUE(ui->Messages().empty()) << ui->Messages().front();
    EXPECT_EQ(Of(id, "managed_area_name"), "Heron Marsh");
    EXPECT_EQ(Of(id, "latitude"), "443000N");
    EXPECT_EQ(Of(id, "total_area_acres"), "250");
    EXPECT_EQ(Of(id, "multi_juris_ind"), "Y");
    EXPECT_EQ(Of(id, "rec_last_mod_user"), "ann");
    EXPECT_EQ(updates, std::vector<long>{id});
    std::string code = Of(id, "macode_bcd"), site = Of(id, "equi_site_id");
    EXPECT_TRUE(Sent("Select ma.managed_area_id as ID from MA where ma.equi_site_id = '" + site +
                     "' and ma.managed_area_id <> " + std::to_string(id)));
    EXPECT_TRUE(Sent("Select ma.managed_area_id as ID from MA where ma.macode_bcd = '" + code +
                     "' and ma.managed_area_id <> " + std::to_string(id)));
    EXPECT_FALSE(editor->picActivityWait->Visible());
    EXPECT_EQ(Screen::Instance().MousePointer(), mouse::Default);
    EXPECT_EQ(window->Caption(), "MA - Heron Marsh (Managed Area)");

    // Nothing changed since: no statement, no event.
    sent.clear();
    Save();
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(updates.size(), 1u);
    EXPECT_TRUE(editor->CanClose());
}

TEST_F(SaveTest, WithEveryPageFilledEachControlIsAskedAndTheRecordSaves) {
    Init();
    long id = Id(6);
    editor->LoadData(id);
    for (int p = 1; p < editor::PageCount; ++p)
        editor->tabManagedAreas->UserSelectTab(p);
    editor->tabManagedAreas->UserSelectTab(editor::PageManager);
    editor->ctlManager->UserType("Every Page");
    Save();
    EXPECT_TRUE(ui->Messages().empty()) << ui->Messages().front();
    EXPECT_EQ(Of(id, "manager"), "Every Page");
    EXPECT_TRUE(editor->CanClose()) << "nothing left unsaved";
}

TEST_F(SaveTest, ANewRecordGetsItsRealIdAndJoinsAPrivateList) {
    Init();
    Listen();
    OpenPrivateList({1, 2});
    ASSERT_EQ(editor->WorkingList()->RecordCount(), 2);
    long temp = editor->NewData(0);
    EXPECT_EQ(editor->txtCurrentRecord->Text(), "3");
    editor->ctlMAName->UserType("Otter Creek");
    editor->txtMACodeBCD->UserType("OTTER'S-1");
    sent.clear();
    Save();
    EXPECT_TRUE(ui->Messages().empty()) << ui->Messages().front();
    long id = editor->GetID();
    EXPECT_GT(id, 0);
    EXPECT_NE(id, temp);
    EXPECT_TRUE(Sent("Select ma.managed_area_id as ID from MA where ma.macode_bcd = 'OTTER''S-1' "
                     "and ma.managed_area_id <> " +
                     std::to_string(temp)));
    EXPECT_EQ(Of(id, "managed_area_name"), "Otter Creek");
    EXPECT_EQ(std::to_string(editor->ShapeID()),
              Db1("SELECT shape_id FROM ma WHERE managed_area_id = " + std::to_string(id)));
    EXPECT_FALSE(editor->lblNewRecord->Visible());
    auto list = editor->WorkingList();
    ASSERT_EQ(list->RecordCount(), 3);
    EXPECT_EQ(IdAt(3), id);
    EXPECT_EQ(CStr(list->Value("managed_area_name")), "Otter Creek");
    EXPECT_EQ(editor->txtCurrentRecord->Text(), "3");
    EXPECT_EQ(editor->lblTotalRecords->Caption(), "3");
    EXPECT_NE(editor->lblUniversalKey->Caption().find("-" + std::to_string(id)), std::string::npos);
    EXPECT_TRUE(updates.empty()) << "the host's list does not hold the new record";
    EXPECT_TRUE(editor->CanClose());
}

TEST_F(SaveTest, UniquenessIsCheckedAndEmptyValuesAreNoDuplicates) {
    Init();
    long a = Id(1), b = Id(2);
    // Neither record has a code or an equivalent site: empty is no duplicate.
    host->Db()->Execute("UPDATE ma SET macode_bcd = NULL, equi_site_id = NULL WHERE "
                        "managed_area_id IN (" +
                        std::to_string(a) + ", " + std::to_string(b) + ")");
    editor->LoadData(b);
    editor->ctlMAName->UserType("Renamed Once");
    Save();
    EXPECT_TRUE(ui->Messages().empty()) << ui->Messages().front();
    EXPECT_EQ(Of(b, "managed_area_name"), "Renamed Once");

    host->Db()->Execute("UPDATE ma SET macode_bcd = 'DUP-7', equi_site_id = 'ES-9' WHERE "
                        "managed_area_id = " +
                        std::to_string(a));
    editor->txtMACodeBCD->UserType("DUP-7");
    editor->ctlMAName->UserType("Renamed Twice");
    Save();
    ASSERT_EQ(ui->Messages().size(), 1u);
    EXPECT_EQ(ui->Messages()[0], Text("MGA012", {std::to_string(a)}));
    EXPECT_EQ(Of(b, "managed_area_name"), "Renamed Once") << "nothing saved";
    ui->ClearLog();

    editor->txtMACodeBCD->UserType("OWN-7");
    editor->txtEquiSiteID->SetText("ES-9");
    Save();
    ASSERT_EQ(ui->Messages().size(), 1u);
    EXPECT_EQ(ui->Messages()[0], Text("MGA011", {std::to_string(a)}));
    EXPECT_EQ(Of(b, "macode_bcd"), "");
    ui->ClearLog();

    editor->txtEquiSiteID->SetText("");
    Save();
    EXPECT_TRUE(ui->Messages().empty());
    EXPECT_EQ(Of(b, "macode_bcd"), "OWN-7");
    EXPECT_EQ(Of(b, "managed_area_name"), "Renamed Twice");
}

TEST_F(SaveTest, TheFirstBadCoordinateInOrderIsShownOnTheLocatorsPage) {
    Init();
    long id = Id(4);
    editor->LoadData(id);
    editor->tabManagedAreas->UserSelectTab(editor::PageLocators);
    editor->txtSouth->SetText("95N");
    editor->txtNorth->SetText("bad");
    editor->tabManagedAreas->UserSelectTab(editor::PageManager);
    editor->ctlManager->UserType("Someone New");
    Save();
    ASSERT_EQ(ui->Messages().size(), 1u) << "only North is reported";
    EXPECT_EQ(ui->Messages()[0], host::CoordinateProblem("bad", "Latitude North", 7, "NS"));
    EXPECT_EQ(editor->tabManagedAreas->ActiveTab(), editor::PageLocators);
    EXPECT_TRUE(editor->txtNorth->HasFocus());
    EXPECT_NE(Of(id, "manager"), "Someone New");
    EXPECT_FALSE(editor->picActivityWait->Visible());
}

TEST_F(SaveTest, AFailureAtAnyWriteLeavesRecordListAndDatabaseAsTheyWere) {
    // The record's objects write through a port that can be told to fail.
    auto port = std::make_shared<bo::DataServiceSqlPort>(host->Db());
    bo::RegisterBusinessObjects(ProgIdRegistry::Instance(), port);
    Init();
    Listen();
    OpenPrivateList({1, 2, 3});
    editor->NewData(0);
    editor->ctlMAName->UserType("Willow Fen");
    editor->tabManagedAreas->UserSelectTab(editor::PageDescriptors);
    editor->txtTotalAcres->UserType("12");
    editor->ManagedAreaObject()
        ->Children(bo::ChildList::Owners)
        .AddNew()
        ->SetProperty("OwnerName", Variant("Fen Trust"));
    editor->ManagedAreaObject()
        ->Children(bo::ChildList::Aliases)
        .AddNew()
        ->SetProperty("ManagedAreaAlias", Variant("The Fen"));
    auto dump = [&] {
        return Db1("SELECT COUNT(*) FROM ma") + "/" + Db1("SELECT COUNT(*) FROM shape") + "/" +
               Db1("SELECT COUNT(*) FROM managed_area_owner") + "/" +
               Db1("SELECT COUNT(*) FROM managed_area_alias");
    };
    std::string before = dump();
    long n = 1;
    for (; n < 40; ++n) {
        port->FailAt(n);
        ui->ClearLog();
        Save();
        if (ui->Messages().empty()) break; // fewer writes than n: saved
        ASSERT_EQ(ui->Messages().size(), 1u) << n;
        EXPECT_EQ(ui->Messages()[0].rfind(Text("MGA008", {""}), 0), 0u) << ui->Messages()[0];
        EXPECT_EQ(dump(), before) << "write " << n;
        EXPECT_EQ(editor->WorkingList()->RecordCount(), 3) << n;
        EXPECT_LT(editor->GetID(), 0) << n;
        EXPECT_TRUE(editor->lblNewRecord->Visible());
        EXPECT_TRUE(updates.empty());
    }
    port->FailAt(0);
    EXPECT_GE(n, 5) << "shape, area, owner, alias and the commit each failed once";
    EXPECT_GT(editor->GetID(), 0);
    EXPECT_EQ(editor->WorkingList()->RecordCount(), 4);
    EXPECT_EQ(Db1("SELECT COUNT(*) FROM managed_area_owner WHERE managed_area_id = " +
                  std::to_string(editor->GetID())),
              "1");
    EXPECT_EQ(Of(editor->GetID(), "total_area_acres"), "12");
}

TEST_F(SaveTest, DeleteMovesToTheNeighbourAndRefusesWhatItMust) {
    Init();
    Listen();
    auto list = host->WorkingList();
    // The host takes a removed record out of its list, as its views do.
    editor->On("RemoveItem", [&](Args& a) {
        list->MoveFirst();
        list->Find("ID=" + CStr(a[0]));
        if (!list->EOF()) list->Delete();
    });
    long count = list->RecordCount();
    list->MoveFirst();
    list->Move(4);
    long id = CLng(list->Value("ID"));
    list->MoveNext();
    long next = CLng(list->Value("ID"));
    editor->LoadData(id);
    ASSERT_EQ(editor->txtCurrentRecord->Text(), "5");

    // A shape drawn in the GIS keeps the record.
    std::string shape = std::to_string(editor->ShapeID());
    host->Db()->Execute("UPDATE shape SET has_shape_ind = 'Y' WHERE shape_id = " + shape);
    editor->mnuEditDelete->UserClick();
    ASSERT_EQ(ui->Messages().size(), 1u);
    EXPECT_EQ(ui->Messages()[0], Text("APP039", {"Managed Area"}));
    host->Db()->Execute("UPDATE shape SET has_shape_ind = 'N' WHERE shape_id = " + shape);

    // No keeps it too.
    ui->ClearLog();
    ui->QueueAnswer(vb::No);
    editor->mnuEditDelete->UserClick();
    EXPECT_EQ(ui->LastMessage()->text, Text("MGA004"));
    EXPECT_EQ(Of(id, "managed_area_id"), std::to_string(id));

    // A delete the database refuses keeps the record in the list and on screen.
    if (zelk::testing::OnPostgres())
        host->Db()->ExecScript(
            "CREATE FUNCTION keep_ma() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN RAISE "
            "EXCEPTION 'the area is locked'; END $$; CREATE TRIGGER keep_ma BEFORE DELETE ON ma "
            "FOR EACH ROW EXECUTE FUNCTION keep_ma();");
    else
        host->Db()->ExecScript("CREATE TRIGGER keep_ma BEFORE DELETE ON ma BEGIN SELECT "
                               "RAISE(ABORT, 'the area is locked'); END;");
    ui->ClearLog();
    ui->QueueAnswer(vb::Yes);
    editor->mnuEditDelete->UserClick();
    ASSERT_EQ(ui->Messages().size(), 2u);
    EXPECT_EQ(ui->Messages()[1].rfind(Text("MGA005", {""}), 0), 0u) << ui->Messages()[1];
    EXPECT_TRUE(removals.empty());
    EXPECT_EQ(editor->GetID(), id);
    EXPECT_EQ(list->RecordCount(), count);
    EXPECT_FALSE(editor->picActivityWait->Visible());
    editor->ctlMAName->UserType("Changed After A Failed Delete");
    ui->QueueAnswer(vb::Cancel);
    EXPECT_FALSE(editor->CanClose()) << "the close still asks";
    host->Db()->ExecScript(zelk::testing::OnPostgres() ? "DROP TRIGGER keep_ma ON ma;"
                                                       : "DROP TRIGGER keep_ma;");

    // Yes deletes and shows the record that took its place.
    ui->ClearLog();
    ui->QueueAnswer(vb::Yes);
    editor->mnuEditDelete->UserClick();
    EXPECT_EQ(removals, std::vector<long>{id});
    EXPECT_EQ(Of(id, "managed_area_id"), "<none>");
    EXPECT_EQ(editor->GetID(), next);
    EXPECT_EQ(editor->txtCurrentRecord->Text(), "5");
    EXPECT_EQ(editor->lblTotalRecords->Caption(), std::to_string(count - 1));
    EXPECT_EQ(quits, 0);
    EXPECT_TRUE(editor->CanClose()) << "the neighbour is unchanged";
}

TEST_F(SaveTest, DeletingTheLastRecordOfAPrivateListQuitsAndANewOneIsNotDeleted) {
    Init();
    Listen();
    OpenPrivateList({2});
    long id = editor->GetID();
    ASSERT_EQ(IdAt(1), id);
    ui->QueueAnswer(vb::Yes);
    editor->mnuEditDelete->UserClick();
    EXPECT_EQ(removals, std::vector<long>{id});
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(editor->WorkingList()->RecordCount(), 0);
    EXPECT_EQ(Of(id, "managed_area_id"), "<none>");
    ui->ClearLog();
    EXPECT_TRUE(editor->CanClose());
    EXPECT_TRUE(ui->Messages().empty()) << "no question after the delete";

    editor->NewData(0);
    sent.clear();
    ui->QueueAnswer(vb::Yes);
    editor->mnuEditDelete->UserClick();
    EXPECT_EQ(removals.size(), 1u);
    EXPECT_EQ(ui->LastMessage()->text, Text("MGA004"));
    EXPECT_EQ(sent.size(), 1u) << "only the shape check";
}

} // namespace
} // namespace zelk::testing
