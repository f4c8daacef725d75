#include "FrameworkFixture.h"

#include "host/framework/ChangeRecorder.h"

namespace zelk::host::test {

using Recorder = FrameworkFixture;

TEST_F(Recorder, KeepsNetEditsOfTheOpenRecordAndJournalsThemOnSave) {
    auto rec = std::make_shared<ChangeRecorder>(db);
    auto controls = std::make_shared<Collection>();
    auto editor = std::make_shared<Collection>(); // stands in for the editing control
    ObjectPtr late = rec;
    late->Call("Init", {Variant("12"), Variant::Nothing()});
    late->Call("Register", {Variant(controls), Variant("ManagedAreaDetails"), Variant(editor)});
    EXPECT_EQ(ErrorOf([&] { rec->RecordChange("txtName", Variant("a"), Variant("b")); }), 5)
        << "no record open";
    EXPECT_EQ(ErrorOf([&] { rec->RecordOpened(controls, "Other", editor, 10); }), 5);
    late->Call("RecordOpened",
               {Variant(controls), Variant("ManagedAreaDetails"), Variant(editor), Variant(-3)});
    EXPECT_FALSE(CBool(late->Call("HasChanges")));

    rec->RecordChange("txtName", Variant("Old"), Variant("Ne"));
    rec->RecordChange("txtName", Variant("Ne"), Variant("New 'name'"));
    rec->RecordChange("txtAcres", Variant(5), Variant(5)); // no change
    rec->RecordChange("chkMultiJuris", Variant(0), Variant(1));
    rec->RecordChange("chkMultiJuris", Variant(1), Variant(0)); // changed back
    EXPECT_TRUE(rec->HasChanges());
    EXPECT_EQ(rec->PendingCount(), 1);

    // A failed journal write keeps the edits for the next try.
    FailAt(2);
    EXPECT_FALSE(rec->ChangesSaved(controls, "ManagedAreaDetails", editor, 42));
    NoFailure();
    EXPECT_NE(rec->LastError().find("Injected"), std::string::npos);
    EXPECT_TRUE(rec->HasChanges());
    EXPECT_EQ(CLng(Scalar("SELECT COUNT(*) FROM change_journal")), 0);

    // Saved under the record's real ID.
    EXPECT_TRUE(CBool(late->Call("ChangesSaved", {Variant(controls), Variant("ManagedAreaDetails"),
                                                  Variant(editor), Variant(42)})));
    late->Call("Reset");
    EXPECT_FALSE(rec->HasChanges());
    auto row = db->Query("SELECT user_id, component_name, record_id, control_name, old_value, "
                         "new_value FROM change_journal");
    ASSERT_EQ(row->RecordCount(), 1);
    EXPECT_EQ(CLng(row->Value("user_id")), 12);
    EXPECT_EQ(CStr(row->Value("component_name")), "ManagedAreaDetails");
    EXPECT_EQ(CLng(row->Value("record_id")), 42);
    EXPECT_EQ(CStr(row->Value("old_value")), "Old");
    EXPECT_EQ(CStr(row->Value("new_value")), "New 'name'");

    // Opening another record forgets what was not saved.
    rec->RecordChange("txtName", Variant("x"), Variant("y"));
    rec->RecordOpened(controls, "ManagedAreaDetails", editor, 43);
    EXPECT_FALSE(rec->HasChanges());
    EXPECT_EQ(ErrorOf([&] { rec->Init(Variant("ann"), nullptr); }), 13);
}

} // namespace zelk::host::test
