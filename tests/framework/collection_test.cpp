#include "FrameworkFixture.h"

namespace zelk::host::test {

using Collections = FrameworkFixture;

namespace {
const char* const kAudit = "ZELK_AuditLogClient.cAuditLog";
const char* const kOpt = "ZELK_UserOptClient.UserOptClient";
} // namespace

class AuditComments : public FrameworkFixture {
protected:
    void SetUp() override {
        FrameworkFixture::SetUp();
        db->SetSessionUser("ann", -1);
        db->ExecScript("INSERT INTO shape (shape_id) VALUES (1);"
                       "INSERT INTO ma (managed_area_id, shape_id, managed_area_name) "
                       "VALUES (10, 1, 'Old');"
                       "UPDATE ma SET managed_area_name = 'New', macode_bcd = 'X1';");
        insertKey = CStr(Scalar("SELECT audit_log_id FROM audit_log WHERE action = 'I' AND "
                                "table_name = 'ma'"));
        nameKey = CStr(Scalar("SELECT audit_log_id FROM audit_log WHERE column_name = "
                              "'managed_area_name'"));
    }
    // The dialog's edit of a comment cell.
    void Comment(const ObjectPtr& comments, const std::string& key, const std::string& text) {
        auto found = comments->Call("Find", {Variant("AuditLogColumnId = " + key)});
        if (found.IsObject() && found.Obj()) {
            RequireObject(comments->Call("Item", {Variant(key)}))->Let("Comments", Variant(text));
            return;
        }
        auto entry = Create(kAudit);
        entry->Call("Connect", {Variant("local"), Variant(1)});
        entry->Call("Load", {Variant(key)});
        entry->Let("Comments", Variant(text));
        comments->Call("Add", {Variant(entry), Variant(key)});
    }
    std::string insertKey, nameKey;
};

TEST_F(AuditComments, CommentsOnColumnEntriesAreSavedVerbatim) {
    auto comments = NewCollection(kAudit);
    EXPECT_TRUE(CBool(comments->Call("Load", {Variant("Empty"), Variant("")})));
    EXPECT_EQ(CLng(comments->Get("Count")), 0);

    Comment(comments, nameKey, "first");
    const std::string text = "Renamed per the deed of \"1952\"; owner's request";
    Comment(comments, nameKey, text);
    EXPECT_EQ(CLng(comments->Get("Count")), 1) << "one object per entry";
    auto entry = RequireObject(comments->Call("Item", {Variant(nameKey)}));
    EXPECT_EQ(CStr(entry->Get("OldValue")), "Old");
    EXPECT_EQ(CStr(entry->Get("UserName")), zelk::testing::ActingUser(*db, "ann"));
    EXPECT_TRUE(CBool(comments->Call("SaveAll")));
    EXPECT_EQ(CStr(Scalar("SELECT comments FROM audit_log WHERE audit_log_id = " + nameKey)), text);
    EXPECT_EQ(CLng(Scalar("SELECT COUNT(*) FROM audit_log WHERE comments IS NOT NULL")), 1);

    // Longest comment that fits; one more character is refused, nothing cut or written.
    entry->Let("Comments", Variant(std::string(4000, 'c')));
    EXPECT_TRUE(CBool(comments->Call("SaveAll")));
    entry->Let("Comments", Variant(std::string(4001, 'c')));
    try {
        comments->Call("SaveAll");
        FAIL();
    } catch (const ComError& e) {
        EXPECT_NE(e.Description().find("Comments is too long: 4001"), std::string::npos);
    }
    EXPECT_EQ(CStr(Scalar("SELECT comments FROM audit_log WHERE audit_log_id = " + nameKey)),
              std::string(4000, 'c'));

    entry->Let("Comments", Variant(std::string(4000, 'c')));
    EXPECT_FALSE(CBool(comments->Get("HasChanges"))) << "back to what is stored";

    // Only column entries take comments, and only the comment can change.
    auto other = Create(kAudit);
    EXPECT_EQ(ErrorOf([&] { other->Call("Load", {Variant(insertKey)}); }), 3021);
    EXPECT_EQ(ErrorOf([&] { entry->Let("OldValue", Variant("forged")); }), 5);
    EXPECT_EQ(ErrorOf([&] {
                  comments->Call("Add", {Variant(other)});
                  comments->Call("SaveAll");
              }),
              5)
        << "an entry never loaded cannot be saved";
}

TEST_F(Collections, KeysCriteriaAndTypesAreChecked) {
    EXPECT_EQ(ErrorOf([&] { NewCollection("No.Such"); }), 429);
    auto bare = Create("ClientFrameWork.ComponentCollection"); // either spelling
    EXPECT_EQ(ErrorOf([&] { bare->Call("Load", {Variant("Empty")}); }), 5) << "not initialised";

    auto opts = NewCollection(kOpt);
    auto a = Create(kOpt);
    a->Let("OptionName", Variant("a"));
    opts->Call("Add", {Variant(a), Variant("k1")});
    EXPECT_EQ(RequireObject(opts->Call("Item", {Variant("K1")})), a);
    EXPECT_EQ(RequireObject(opts->Call("Item", {Variant(1)})), a);
    EXPECT_EQ(ErrorOf([&] { opts->Call("Add", {Variant(Create(kOpt)), Variant("k1")}); }), 457);
    EXPECT_EQ(ErrorOf([&] { opts->Call("Item", {Variant(2)}); }), 9);
    EXPECT_EQ(ErrorOf([&] { opts->Call("Add", {Variant(Create(kAudit))}); }), 13);

    EXPECT_EQ(CLng(opts->Call("FindPosition", {Variant("OptionName = 'a'")})), 1);
    EXPECT_EQ(CLng(opts->Call("FindPosition", {Variant("OptionName = 'b'")})), 0);
    EXPECT_FALSE(RequireObject(opts)->Call("Find", {Variant("OptionName = 'b'")}).Obj());
    EXPECT_EQ(ErrorOf([&] { opts->Call("Find", {Variant("OptionName = ")}); }), 3001);
    EXPECT_EQ(ErrorOf([&] { opts->Call("Find", {Variant("OptionName = 'a' OR 1 = 1")}); }), 3001);
    EXPECT_EQ(ErrorOf([&] { opts->Call("Find", {Variant("Bogus = 1")}); }), 438);
}

TEST_F(Collections, FailureAtAnyStatementOfSaveAllWritesNothing) {
    auto cats = NewCollection("ZELK_UserOpCatClient.UserOpCatClient");
    cats->Call("Load", {Variant("USER_OPTION_CATEGORY_NAME"), Variant("$USER_FIND_MANAGED_AREA")});
    auto options =
        RequireObject(RequireObject(cats->Call("Item", {Variant(1)}))->Get("UserOptions"));
    for (const char* n : {"one", "two", "three"}) {
        auto o = Create(kOpt);
        o->Let("OptionName", Variant(n));
        o->Let("UserId", Variant(5));
        options->Call("Add", {Variant(o)});
    }
    const std::string before = Dump();
    // BEGIN, three inserts, COMMIT.
    for (int n = 1; n <= 5; ++n) {
        FailAt(n);
        EXPECT_EQ(ErrorOf([&] { cats->Call("SaveAll"); }), err::ProviderError) << n;
        NoFailure();
        EXPECT_EQ(Dump(), before) << n;
        EXPECT_TRUE(CBool(cats->Get("HasChanges")));
    }
    EXPECT_TRUE(CBool(cats->Call("SaveAll")));
    EXPECT_FALSE(CBool(cats->Get("HasChanges")));
    EXPECT_EQ(CLng(Scalar("SELECT COUNT(*) FROM user_option WHERE user_id = 5")), 3) << "once";
    EXPECT_GT(CLng(RequireObject(options->Call("Item", {Variant(1)}))->Get("ID")), 0);
}

} // namespace zelk::host::test
