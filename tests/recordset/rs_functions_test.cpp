#include "AllocationLimit.h"
#include "RecordsetFixtures.h"

#include "common/RS_Functions.h"
#include "platform/Conv.h"

namespace zelk::testing {
namespace {

TEST(RS_Functions, AppendSkipsKnownIdsAndRowsWithoutId) {
    auto source = People({{1, "a"}, {2, "b"}, {3, "c"}, {4, "d"}});
    auto target = People({{2, "kept"}});
    FakeGrid grid = FakeGrid::Selecting({"4", "2", "", "99", "1", "x"});
    AppendSelectedRows(grid, *source, *target);
    EXPECT_EQ(Ids(*target), (std::vector<int>{2, 4, 1}));
    target->MoveFirst();
    EXPECT_EQ(target->Value("Name"), Variant("kept")) << "a listed record is left unchanged";
    EXPECT_EQ(target->EditMode(), ad::EditNone);
    EXPECT_FALSE(target->GetFields()["ID"].Optimize());
    EXPECT_FALSE(source->GetFields()["ID"].Optimize());
    target->SetAbsolutePosition(2);
    EXPECT_EQ(target->Value("Score"), Variant(6.0));

    // Selection order, not grid order, decides; an empty target takes them all.
    auto empty = People({});
    FakeGrid picks = FakeGrid::Selecting({"1", "2", "3"});
    picks.selection = {2, 0};
    AppendSelectedRows(picks, *source, *empty);
    EXPECT_EQ(Ids(*empty), (std::vector<int>{3, 1}));
}

TEST(RS_Functions, EmptyAndReplaceKeepTheFields) {
    auto source = People({{1, "a"}, {2, "b"}, {3, "c"}});
    auto target = People({{7, "x"}, {8, "y"}});
    target->SetSort("ID DESC");
    EmptyRecordset(*target);
    EXPECT_EQ(target->RecordCount(), 0);
    EXPECT_EQ(target->GetFields().Count(), 4);
    EXPECT_EQ(target->Filter(), "");
    target->AddNew(); // appendable at once
    (*target)["ID"] = 9;
    target->Update();
    EXPECT_EQ(Ids(*target), (std::vector<int>{9}));

    FakeGrid none;
    ReplaceWithSelectedRows(none, *source, *target);
    EXPECT_EQ(Ids(*target), (std::vector<int>{9})) << "no selection: not emptied";
    FakeGrid two = FakeGrid::Selecting({"3", "1"});
    ReplaceWithSelectedRows(two, *source, *target);
    EXPECT_EQ(Ids(*target), (std::vector<int>{3, 1}));

    auto noId = NewRecordset();
    noId->GetFields().Append("Name", ad::VarChar);
    noId->Open();
    EXPECT_EQ(ErrorOf([&] { EmptyRecordset(*noId); }), err::InvalidArgument);
}

TEST(RS_Functions, MergeRecordOverwritesOrAddsAndReportsErrors) {
    std::vector<std::string> shown;
    SetMessageBoxHook([&](const std::string& prompt, int flags, const std::string& title) {
        shown.push_back(title + "|" + std::to_string(flags) + "|" + prompt);
        return 1;
    });
    auto source = People({{2, "new b"}, {5, "e"}});
    auto target = People({{1, "a"}, {2, "b"}});
    source->MoveFirst();
    EXPECT_EQ(MergeRecord(*source, *target), 1);
    source->MoveNext();
    EXPECT_EQ(MergeRecord(*source, *target), 1);
    EXPECT_EQ(Ids(*target), (std::vector<int>{1, 2, 5}));
    target->Find("ID = 2", 0, ad::SearchBackward);
    EXPECT_EQ(target->Value("Name"), Variant("new b"));

    auto closed = NewRecordset();
    auto none = People({});
    EXPECT_EQ(MergeRecord(*closed, *target), 0);
    EXPECT_EQ(MergeRecord(*none, *target), 0);
    EXPECT_EQ(target->RecordCount(), 3);
    EXPECT_TRUE(shown.empty());

    // A source field the target lacks: error shown, nothing half-merged left behind.
    auto narrow = NewRecordset();
    narrow->GetFields().Append("ID", ad::Integer);
    narrow->Open();
    narrow->AddNew();
    (*narrow)["ID"] = 6;
    narrow->Update();
    EXPECT_EQ(MergeRecord(*narrow, *target), 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].rfind("Application Error|64|An error occurred while merging "
                             "records.\n\n#3265: ",
                             0),
              0u)
        << shown[0];
    EXPECT_EQ(target->RecordCount(), 3);
    EXPECT_EQ(target->EditMode(), ad::EditNone);

    // Any other failure too (here the memory for a long name runs out), over a listed record
    // and as a new one: shown, 0, the target as it was.
#if defined(__SANITIZE_ADDRESS__)
    // Under the sanitizers the standard library's variant copy that runs out of memory halfway
    // trips the undefined-behaviour check inside the library itself; the case runs elsewhere.
    SetMessageBoxHook(nullptr);
    return;
#endif
    auto huge = People({{2, std::string(4 << 20, 'x')}, {7, std::string(4 << 20, 'y')}});
    for (huge->MoveFirst(); !huge->EOF(); huge->MoveNext()) {
        int merged = -1;
        {
            AllocationLimit limit(1 << 20);
            EXPECT_NO_THROW(merged = MergeRecord(*huge, *target));
        }
        EXPECT_EQ(merged, 0);
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_EQ(shown[1], "Application Error|64|An error occurred while merging "
                            "records.\n\n#7: Out of memory");
        shown.pop_back();
        EXPECT_EQ(Ids(*target), (std::vector<int>{1, 2, 5}));
        EXPECT_EQ(target->EditMode(), ad::EditNone);
        target->MoveFirst();
        target->Find("ID = 2");
        EXPECT_EQ(target->Value("Name"), Variant("new b"));
    }
    SetMessageBoxHook(nullptr);
}

TEST(RS_Functions, DetachedCopiesTurnNonKeyFieldsIntoText) {
    auto source = NewRecordset();
    Fields f = source->GetFields();
    f.Append("id", ad::Integer, 4, ad::FldIsNullable);
    f.Append("EO_Number", ad::Integer, 4);
    f.Append("uncertainty_distance", ad::Double, 8);
    f.Append("ELEMENT_SUBNATIONAL_ID", ad::Integer, 4);
    f.Append("last_update", ad::Date, 8);
    f.Append("acres", ad::Double, 8);
    source->Open();
    source->AddNew();
    (*source)["id"] = 3;
    (*source)["last_update"] = MakeDate(2021, 6, 30);
    (*source)["acres"] = 12.5;
    source->AddNew();
    (*source)["id"] = 4;
    source->Update();

    RecordsetPtr copy;
    CopyToDetachedRecordset(*source, copy);
    Fields c = copy->GetFields();
    ASSERT_EQ(c.Count(), 6);
    EXPECT_EQ(c[0].Type(), ad::Integer);
    EXPECT_EQ(c[0].Attributes(), ad::FldIsNullable);
    EXPECT_EQ(c[1].Type(), ad::Integer);
    EXPECT_EQ(c[2].Type(), ad::Double);
    EXPECT_EQ(c[3].Type(), ad::Integer);
    EXPECT_EQ(c[4].Type(), ad::VarChar);
    EXPECT_EQ(c[4].DefinedSize(), 8);
    EXPECT_EQ(c[5].Type(), ad::VarChar);
    EXPECT_EQ(Ids(*copy), (std::vector<int>{3, 4}));
    copy->MoveFirst();
    EXPECT_EQ(copy->Value("last_update"), Variant(CStr(MakeDate(2021, 6, 30))));
    EXPECT_EQ(copy->Value("acres"), Variant("12.5"));
    EXPECT_TRUE(copy->Value("EO_NUMBER").IsNull());
    copy->MoveFirst();
    copy->Find("ID = 4");
    EXPECT_FALSE(copy->EOF());

    RecordsetPtr shell;
    CreateDetachedRecordset(*source, shell);
    EXPECT_EQ(shell->State(), ad::StateOpen);
    EXPECT_EQ(shell->RecordCount(), 0);
}

// Moving gives what copying gives, leaves the source open and empty, and copies instead where
// a clone still shares the source's records.
TEST(RS_Functions, MovingToADetachedRecordsetMatchesTheCopy) {
    auto expectLikeCopy = [](Recordset& moved, Recordset& copied) {
        ASSERT_EQ(moved.GetFields().Count(), copied.GetFields().Count());
        for (long i = 0; i < moved.GetFields().Count(); ++i)
            EXPECT_EQ(moved.GetFields()[std::size_t(i)].Type(),
                      copied.GetFields()[std::size_t(i)].Type());
        EXPECT_EQ(Ids(moved), Ids(copied));
        moved.MoveFirst();
        copied.MoveFirst();
        for (; !moved.EOF(); moved.MoveNext(), copied.MoveNext())
            for (const char* f : {"Name", "Born", "Score"})
                EXPECT_EQ(moved.Value(f), copied.Value(f)) << f;
        EXPECT_EQ(moved.AbsolutePosition(), copied.AbsolutePosition());
    };
    auto source = People({{1, "Ann"}, {2, "Bob"}, {3, "Cy"}});
    RecordsetPtr copied, moved;
    CopyToDetachedRecordset(*source, copied);
    MoveToDetachedRecordset(*source, moved);
    EXPECT_EQ(moved->GetFields()["Score"].Type(), ad::VarChar);
    expectLikeCopy(*moved, *copied);
    EXPECT_EQ(source->State(), ad::StateOpen);
    EXPECT_EQ(source->RecordCount(), 0);
    moved->MoveFirst();
    moved->Find("ID = 2");
    ASSERT_FALSE(moved->EOF());
    EXPECT_EQ(moved->Value("Name"), Variant("Bob"));
    moved->AddNew();
    (*moved)["ID"] = 4;
    moved->Update();
    EXPECT_EQ(Ids(*moved), (std::vector<int>{1, 2, 3, 4}));

    auto shared = People({{5, "Di"}, {6, "Ed"}});
    auto clone = shared->Clone();
    shared->SetFilter("ID = 6");
    RecordsetPtr some;
    MoveToDetachedRecordset(*shared, some);
    EXPECT_EQ(Ids(*some), (std::vector<int>{6}));
    EXPECT_EQ(Ids(*clone), (std::vector<int>{5, 6})) << "the clone keeps the records";
    EXPECT_EQ(shared->RecordCount(), 0);

    auto twoFields = NewRecordset();
    twoFields->GetFields().Append("ID", ad::Integer);
    twoFields->Open();
    EXPECT_EQ(ErrorOf([&] { twoFields->TakeRecords(*clone); }), err::InvalidArgument);
    EXPECT_EQ(Ids(*clone), (std::vector<int>{5, 6}));
}

} // namespace
} // namespace zelk::testing
