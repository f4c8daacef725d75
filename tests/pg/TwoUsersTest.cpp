// Two people on one database, each with a workbench of their own.
#include "pg/TwoDesks.h"

#include "common/bo/Shape.h"
#include "platform/ProgIdRegistry.h"

namespace zelk::testing {
namespace {

class TwoUsers : public TwoDesks {};

TEST_P(TwoUsers, TheSecondSaveOfOneVersionIsRefusedAndKeepsItsEdits) {
    // Bob's host opens the same database second: it finds the schema and data in place, and
    // Bob may change records.
    OpenDesks();
    EXPECT_FALSE(bob->host->WasCreated());
    ann->host->Db()->Execute("UPDATE shape SET has_shape_ind = 'N'");
    const long id = FirstId();
    ann->Load(id);
    bob->Load(id);

    ann->editor->ctlMAName->UserType("Alder Marsh");
    ann->Save();
    ASSERT_TRUE(ui->Messages().empty()) << ui->Messages().front();
    EXPECT_EQ(Stored(id, "managed_area_name"), "Alder Marsh");

    bob->editor->ctlMAName->UserType("Birch Marsh");
    // Bob does not merge: his edits stay as they are.
    ui->QueueAnswer(vb::No);
    bob->Save();
    EXPECT_TRUE(Shown("MGA900"));
    EXPECT_EQ(Stored(id, "managed_area_name"), "Alder Marsh") << "Ann's change is kept";
    EXPECT_EQ(bob->Name(), "Birch Marsh") << "Bob's edit stays in his editor";
    EXPECT_TRUE(bob->editor->ManagedAreaObject()->HasChanges());

    // Bob reads the record again and makes his change on top of Ann's.
    bob->Load(id);
    EXPECT_EQ(bob->Name(), "Alder Marsh");
    bob->editor->ctlMAName->UserType("Birch Marsh");
    std::size_t before = ui->Messages().size();
    bob->Save();
    EXPECT_EQ(ui->Messages().size(), before);
    EXPECT_EQ(Stored(id, "managed_area_name"), "Birch Marsh");

    // Ann still holds the version before Bob's save: her delete is refused, nothing goes.
    ui->QueueAnswer(vb::Yes);
    ann->Delete();
    EXPECT_TRUE(Shown("MGA901"));
    EXPECT_EQ(Stored(id, "managed_area_name"), "Birch Marsh");
    // Read again, it can go; Bob's editor now holds a record that is gone, and his save says so.
    ann->Load(id);
    ui->QueueAnswer(vb::Yes);
    ann->Delete();
    EXPECT_EQ(Stored(id, "managed_area_name"), "<gone>");
    bob->editor->ctlMAName->UserType("Cedar Marsh");
    before = ui->Messages().size();
    ui->QueueAnswer(vb::No);
    bob->Save();
    EXPECT_EQ(ui->Messages().size(), before + 1);
    EXPECT_TRUE(Shown("MGA900"));
    EXPECT_EQ(Stored(id, "managed_area_name"), "<gone>") << "no row written back";
}

TEST_P(TwoUsers, ChildRowsAreCoveredByTheirManagedAreasVersion) {
    OpenDesks(false);
    auto& adb = *ann->host->Db();
    const long id =
        CLng(adb.Query("SELECT MIN(managed_area_id) AS id FROM managed_area_owner")->Value("id"));
    const long shapeId = CLng(adb.Query("SELECT shape_id FROM ma WHERE managed_area_id = ?",
                                        {Variant(static_cast<int>(id))})
                                  ->Value("shape_id"));
    auto load = [&] {
        auto s =
            std::dynamic_pointer_cast<bo::IShape>(CreateObject("ZELK_ManagedAreaClient.CShape"));
        s->Load(std::to_string(shapeId));
        return s;
    };
    auto first = load(), second = load();
    auto& owners1 = first->ManagedArea(1)->Children(bo::ChildList::Owners);
    owners1.Item(1)->SetProperty("OwnerNote", "first");
    ASSERT_TRUE(first->Save()) << first->LastError();

    // Only a child row changed on either side; the second save is still refused.
    auto alias = second->ManagedArea(1)->Children(bo::ChildList::Aliases).AddNew();
    alias->SetProperty("ManagedAreaAlias", "Second Name");
    EXPECT_FALSE(second->Save());
    EXPECT_EQ(second->LastErrorCode(), "MGA900");
    EXPECT_EQ(CLng(adb.Query("SELECT COUNT(*) AS n FROM managed_area_alias WHERE "
                             "managed_area_alias = 'Second Name'")
                       ->Value("n")),
              0);
    EXPECT_TRUE(second->HasChildChanges());

    // The first holder goes on saving: its version moved with its own save.
    owners1.Item(1)->SetProperty("OwnerNote", "first again");
    EXPECT_TRUE(first->Save()) << first->LastError();
    EXPECT_EQ(CStr(adb.Query("SELECT owner_note FROM managed_area_owner WHERE managed_area_id = ? "
                             "ORDER BY display_order, managed_area_owner_id",
                             {Variant(static_cast<int>(id))})
                       ->Value("owner_note")),
              "first again");
    // Nothing changed: nothing to write, so no version is claimed.
    auto third = load();
    const std::string version = CStr(adb.Query("SELECT row_version AS v FROM ma WHERE "
                                               "managed_area_id = ?",
                                               {Variant(static_cast<int>(id))})
                                         ->Value("v"));
    EXPECT_TRUE(third->Save());
    EXPECT_EQ(CStr(adb.Query("SELECT row_version AS v FROM ma WHERE managed_area_id = ?",
                             {Variant(static_cast<int>(id))})
                       ->Value("v")),
              version);
}

INSTANTIATE_TEST_SUITE_P(Backends, TwoUsers, ::testing::Values(false, true), BackendName);

} // namespace
} // namespace zelk::testing
