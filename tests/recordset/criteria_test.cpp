#include "RecordsetFixtures.h"

#include "platform/Conv.h"
#include "platform/Criteria.h"

namespace zelk::testing {
namespace {

std::string DescriptionOf(Recordset& rs, const std::string& filter) {
    try {
        rs.SetFilter(filter);
    } catch (const ComError& e) {
        EXPECT_EQ(e.Number(), err::InvalidArgument) << filter;
        return e.Description();
    }
    ADD_FAILURE() << "no error for " << filter;
    return "";
}

TEST(Criteria, FiltersWithComparisonsWildcardsAndLogic) {
    auto rs = People({{1, "Ann"}, {2, "bob"}, {3, "O'Brien"}, {4, "Anna"}, {5, "Carl"}});
    auto filtered = [&](const std::string& f) {
        rs->SetFilter(f);
        return Ids(*rs);
    };
    EXPECT_EQ(filtered("ID = 3"), (std::vector<int>{3}));
    EXPECT_EQ(filtered("ID=3"), (std::vector<int>{3}));
    EXPECT_EQ(filtered("ID <> 3"), (std::vector<int>{1, 2, 4, 5}));
    EXPECT_EQ(filtered("ID >= 4"), (std::vector<int>{4, 5}));
    EXPECT_EQ(filtered("ID < 2.5"), (std::vector<int>{1, 2}));
    EXPECT_EQ(filtered("Name = 'O''Brien'"), (std::vector<int>{3}));
    EXPECT_EQ(filtered("name = 'BOB'"), (std::vector<int>{2})) << "text compares ignore case";
    EXPECT_EQ(filtered("Name > 'b'"), (std::vector<int>{2, 3, 5}));
    EXPECT_EQ(filtered("Name LIKE 'an*'"), (std::vector<int>{1, 4}));
    EXPECT_EQ(filtered("Name LIKE '%a%'"), (std::vector<int>{1, 4, 5}));
    EXPECT_EQ(filtered("Name LIKE 'An_'"), (std::vector<int>{1}));
    EXPECT_EQ(filtered("Name LIKE 'b?b'"), (std::vector<int>{2}));
    EXPECT_EQ(filtered("ID = 1 OR ID = 5 AND Name = 'Carl'"), (std::vector<int>{1, 5}));
    EXPECT_EQ(filtered("(ID = 1 OR ID = 5) AND Name LIKE 'c*'"), (std::vector<int>{5}));
    EXPECT_EQ(filtered("[Name] = 'Ann' or [ID] = '2'"), (std::vector<int>{1, 2}));
    EXPECT_EQ(filtered("Born = NULL"), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(filtered("Born IS NOT NULL"), (std::vector<int>{}));
    EXPECT_EQ(filtered("  "), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(rs->Filter(), "");
}

TEST(Criteria, DatesCompareAsDates) {
    auto rs = People({{1, "a"}, {2, "b"}, {3, "c"}});
    rs->MoveFirst();
    (*rs)["Born"] = MakeDate(1990, 5, 1);
    rs->MoveNext();
    (*rs)["Born"] = "2001-12-24";
    rs->MoveNext();
    (*rs)["Born"] = MakeDate(2010, 1, 1);
    rs->Update();
    rs->SetFilter("Born >= #2000-01-01# AND Born < #1/1/2010#");
    EXPECT_EQ(Ids(*rs), (std::vector<int>{2}));
    rs->SetFilter("Born = '1990-05-01'");
    EXPECT_EQ(Ids(*rs), (std::vector<int>{1}));
}

TEST(Criteria, MalformedCriteriaNameTheProblem) {
    auto rs = People({{1, "Ann"}});
    EXPECT_NE(DescriptionOf(*rs, "ID =").find("expected a value"), std::string::npos);
    EXPECT_NE(DescriptionOf(*rs, "Nope = 1").find("unknown field 'Nope'"), std::string::npos);
    EXPECT_NE(DescriptionOf(*rs, "ID = 'abc'").find("type mismatch"), std::string::npos);
    EXPECT_NE(DescriptionOf(*rs, "Name = 'open").find("closing quote"), std::string::npos);
    EXPECT_NE(DescriptionOf(*rs, "(ID = 1").find("missing ')'"), std::string::npos);
    EXPECT_NE(DescriptionOf(*rs, "Name = Ann").find("single quotes"), std::string::npos);
    EXPECT_NE(DescriptionOf(*rs, "ID 1").find("operator"), std::string::npos);
    EXPECT_NE(DescriptionOf(*rs, "ID = 1 ID = 2").find("unexpected"), std::string::npos);
    EXPECT_NE(DescriptionOf(*rs, "Born = #not a date#").find("not a date"), std::string::npos);
    EXPECT_NE(DescriptionOf(*rs, "ID LIKE 1").find("LIKE"), std::string::npos);
    EXPECT_NE(DescriptionOf(*rs, "ID > NULL").find("NULL"), std::string::npos);
    EXPECT_NE(DescriptionOf(*rs, "ID = 1; DROP TABLE x").find("unexpected character"),
              std::string::npos);
    // A rejected filter leaves the previous one in force.
    rs->SetFilter("ID = 1");
    DescriptionOf(*rs, "ID = ");
    EXPECT_EQ(rs->Filter(), "ID = 1");
    EXPECT_EQ(rs->RecordCount(), 1);

    // Find takes exactly one comparison.
    EXPECT_EQ(ErrorOf([&] { rs->Find("ID = 1 AND Name = 'Ann'"); }), err::InvalidArgument);
    EXPECT_EQ(ErrorOf([&] { rs->Find(""); }), err::InvalidArgument);
}

TEST(Criteria, ParsesWithoutAFieldListAndMatchesRows) {
    Criteria c = Criteria::Parse("a = 1 or (b like 'x*' and b <> 'xy')");
    c.Bind([](std::string_view name) -> std::optional<Criteria::FieldInfo> {
        if (name == "a") return Criteria::FieldInfo{0, ad::Integer};
        if (name == "b") return Criteria::FieldInfo{1, ad::VarChar};
        return std::nullopt;
    });
    EXPECT_TRUE(c.Matches({Variant(1), Variant("q")}));
    EXPECT_TRUE(c.Matches({Variant(2), Variant("XZ")}));
    EXPECT_FALSE(c.Matches({Variant(2), Variant("xy")}));
    EXPECT_FALSE(c.Matches({Variant::Null(), Variant::Null()}));
    EXPECT_EQ(c.SingleEquality(), nullptr);

    EXPECT_TRUE(LikeMatch("ABCABD", "*AB?"));
    EXPECT_TRUE(LikeMatch("", "%"));
    EXPECT_FALSE(LikeMatch("ABC", "A*D"));

    EXPECT_EQ(ParseSort(" Name DESC, [ID] asc ").size(), 2u);
    EXPECT_EQ(ErrorOf([] { ParseSort("Name UP"); }), err::InvalidArgument);
    EXPECT_EQ(ErrorOf([] { ParseSort("Name,,ID"); }), err::InvalidArgument);
}

} // namespace
} // namespace zelk::testing
