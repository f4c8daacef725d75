#include "FrameworkFixture.h"

namespace zelk::host::test {

using Options = FrameworkFixture;

namespace {
const char* const kOpt = "ZELK_UserOptClient.UserOptClient";
const char* const kCat = "ZELK_UserOpCatClient.UserOpCatClient";
} // namespace

// How the search stores an option it does not have yet: a new record added to its category.
void StoreNew(Options& t, const char* category, const std::string& name, const std::string& value,
              int userId) {
    auto opt = t.Create(kOpt);
    opt->Call("Init", {Variant("local"), Variant(1), Variant(-1)});
    opt->Let("OptionName", Variant(name));
    opt->Let("OptionValue", Variant(value));
    opt->Let("UserId", Variant(userId));
    auto cats = t.NewCollection(kCat);
    ASSERT_TRUE(CBool(cats->Call("Load", {Variant("USER_OPTION_CATEGORY_NAME"), Variant(category),
                                          Variant(-1), Variant(-1), Variant(-1)})));
    ASSERT_EQ(CLng(cats->Get("Count")), 1) << category;
    auto cat = RequireObject(cats->Call("Item", {Variant(1)}));
    RequireObject(cat->Get("UserOptions"))->Call("Add", {Variant(opt)});
    EXPECT_TRUE(CBool(cats->Call("SaveAll")));
    cats->Call("Release");
}

ObjectPtr Find(Options& t, const char* category, const std::string& quotedName, int userId) {
    auto opts = t.NewCollection(kOpt);
    EXPECT_TRUE(CBool(opts->Call(
        "Load", {Variant("CATEGORY_OPTION_NAME"),
                 Options::Texts({category, quotedName.c_str(), std::to_string(userId).c_str()}),
                 Variant(-1), Variant(-1), Variant(-1)})));
    return opts;
}

TEST_F(Options, StoredPerUserAndCategoryAndReadBackVerbatim) {
    const std::string xml = "<ZELK><SEARCH_STATE control=\"ZELK_MANAGEDAREA.SEARCH\">"
                            "<MANAGED_AREA_NAME comparison=\"0\" name_or_alias=\"0\">O'Brien "
                            "&amp; Sons</MANAGED_AREA_NAME></SEARCH_STATE></ZELK>";
    StoreNew(*this, "$DEFAULT_FIND_CRITERIA", "ZELK_MANAGEDAREA.SEARCH", xml, 1);
    StoreNew(*this, "$USER_FIND_MANAGED_AREA", "Bob's ponds", "<a/>", 1);
    StoreNew(*this, "$USER_FIND_MANAGED_AREA", "Alpha", std::string(100000, 'x'), 1);
    StoreNew(*this, "$USER_FIND_MANAGED_AREA", "Alpha", "<other user/>", 2);

    auto mine = Find(*this, "$DEFAULT_FIND_CRITERIA", "ZELK_MANAGEDAREA.SEARCH", 1);
    ASSERT_EQ(CLng(mine->Get("Count")), 1);
    auto rec = RequireObject(mine->Call("Item", {Variant(1)}));
    EXPECT_EQ(CStr(rec->Get("OptionValue")), xml);
    EXPECT_EQ(CStr(rec->Get("CategoryName")), "$DEFAULT_FIND_CRITERIA");
    EXPECT_EQ(
        CLng(Find(*this, "$DEFAULT_FIND_CRITERIA", "ZELK_MANAGEDAREA.SEARCH", 2)->Get("Count")), 0)
        << "another user's defaults";

    // Named searches are looked up with their quotes doubled, stored as typed.
    EXPECT_EQ(CLng(Find(*this, "$USER_FIND_MANAGED_AREA", "Bob''s ponds", 1)->Get("Count")), 1);
    EXPECT_EQ(CStr(Scalar("SELECT option_name FROM user_option WHERE option_value = '<a/>'")),
              "Bob's ponds");
    auto alpha = Find(*this, "$USER_FIND_MANAGED_AREA", "Alpha", 1);
    EXPECT_EQ(CStr(RequireObject(alpha->Call("Item", {Variant(1)}))->Get("OptionValue")).size(),
              100000u);

    // The dialog's list: the user's searches of the category, by name.
    auto list = NewCollection(kOpt);
    list->Call("Load", {Variant("CATEGORY_OPTIONS"), Texts({"$USER_FIND_MANAGED_AREA", "1"})});
    ASSERT_EQ(CLng(list->Get("Count")), 2);
    EXPECT_EQ(CStr(RequireObject(list->Call("Item", {Variant(1)}))->Get("OptionName")), "Alpha");

    // Overwrite, then delete, through the collection.
    rec->Let("OptionValue", Variant("<ZELK/>"));
    EXPECT_TRUE(CBool(mine->Call("SaveAll")));
    EXPECT_EQ(CStr(RequireObject(Find(*this, "$DEFAULT_FIND_CRITERIA", "ZELK_MANAGEDAREA.SEARCH", 1)
                                     ->Call("Item", {Variant(1)}))
                       ->Get("OptionValue")),
              "<ZELK/>");
    alpha->Call("Remove", {Variant(1)});
    EXPECT_TRUE(CBool(alpha->Get("HasChanges")));
    alpha->Call("SaveAll");
    EXPECT_EQ(CLng(Scalar("SELECT COUNT(*) FROM user_option WHERE option_name = 'Alpha'")), 1);
}

TEST_F(Options, BadInputIsRefusedClearlyAndNothingIsCut) {
    // A name longer than its column: the save fails with the reason and writes nothing.
    std::string before = Dump();
    auto opt = Create(kOpt);
    opt->Let("OptionName", Variant(std::string(256, 'n')));
    opt->Let("UserId", Variant(1));
    auto cats = NewCollection(kCat);
    cats->Call("Load", {Variant("USER_OPTION_CATEGORY_NAME"), Variant("$USER_FIND_MANAGED_AREA")});
    auto cat = RequireObject(cats->Call("Item", {Variant(1)}));
    RequireObject(cat->Get("UserOptions"))->Call("Add", {Variant(opt)});
    try {
        cats->Call("SaveAll");
        FAIL() << "saved a name that does not fit";
    } catch (const ComError& e) {
        EXPECT_NE(e.Description().find("OptionName is too long: 256"), std::string::npos)
            << e.Description();
    }
    EXPECT_EQ(Dump(), before);
    EXPECT_EQ(CStr(opt->Get("OptionName")).size(), 256u);

    // No category of that name: nothing to add the option to.
    auto none = NewCollection(kCat);
    none->Call("Load", {Variant("USER_OPTION_CATEGORY_NAME"), Variant("$NO_SUCH")});
    EXPECT_EQ(CLng(none->Get("Count")), 0);

    auto opts = NewCollection(kOpt);
    EXPECT_EQ(ErrorOf([&] { opt->Let("UserId", Variant("bob")); }), 13);
    EXPECT_EQ(ErrorOf([&] {
                  opts->Call("Load", {Variant("CATEGORY_OPTIONS"), Texts({"$X", "bob"})});
              }),
              13);
    EXPECT_EQ(ErrorOf([&] {
                  opts->Call("Load", {Variant("CATEGORY_OPTION_NAME"), Texts({"$X", "a"})});
              }),
              5);
    EXPECT_EQ(ErrorOf([&] { opts->Call("Load", {Variant("ALL_OPTIONS; DROP"), Variant()}); }), 5);
    EXPECT_EQ(ErrorOf([&] { opt->Let("NoSuchField", Variant(1)); }), 438);
    EXPECT_EQ(ErrorOf([&] { opt->Let("CategoryName", Variant("$X")); }), 5) << "joined, read only";
}

} // namespace zelk::host::test
