#include "platform/Error.h"
#include "platform/Strings.h"

#include <gtest/gtest.h>

#include <functional>
#include <unordered_map>

using namespace zelk;

namespace {

int ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const ComError& e) {
        return e.Number();
    }
    return 0;
}

} // namespace

TEST(Strings, TrimAndCase) {
    EXPECT_EQ(Trim("  a b  "), "a b");
    EXPECT_EQ(LTrim("  a "), "a ");
    EXPECT_EQ(RTrim("  a "), "  a");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim("\ta\t"), "\ta\t"); // only spaces are trimmed
    EXPECT_EQ(UCase("abc-Zé"), "ABC-ZÉ");
    EXPECT_EQ(LCase("ABC-Zé"), "abc-zé");
}

TEST(Strings, UpperCaseCoversEveryScriptAndKeepsStrayBytes) {
    EXPECT_EQ(UCase("doña ana"), "DOÑA ANA");
    EXPECT_EQ(UCase("québec"), "QUÉBEC");
    EXPECT_EQ(UCase("straße"), "STRASSE");
    EXPECT_EQ(UCase("λίμνη οδός"), "ΛΊΜΝΗ ΟΔΌΣ");
    EXPECT_EQ(UCase("озеро"), "ОЗЕРО");
    EXPECT_EQ(UCase("ǆ ﬁ"), "Ǆ FI");
    EXPECT_EQ(UCase("ÉTANG 12"), "ÉTANG 12");
    EXPECT_EQ(UCase(std::string("a\0b", 3)), std::string("A\0B", 3));
    // Bytes that are no UTF-8 stay as they were; the text around them is folded.
    EXPECT_EQ(UCase("\xff\xfeé-\xc3"), "\xff\xfeÉ-\xc3");
    EXPECT_EQ(UCase("ñ\x80ñ"), "Ñ\x80Ñ");
}

TEST(Strings, LeftRightMidClampAndReject) {
    EXPECT_EQ(Left("abc", 2), "ab");
    EXPECT_EQ(Left("abc", 10), "abc");
    EXPECT_EQ(Left("abc", 0), "");
    EXPECT_EQ(Right("abc", 2), "bc");
    EXPECT_EQ(Right("abc", 10), "abc");
    EXPECT_EQ(Mid("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Mid("abcdef", 4), "def");
    EXPECT_EQ(Mid("abcdef", 5, 100), "ef");
    EXPECT_EQ(Mid("abc", 10), "");
    EXPECT_EQ(ErrorOf([] { Mid("abc", 0); }), err::InvalidProcedureCall);
    EXPECT_EQ(ErrorOf([] { Mid("abc", 1, -2); }), err::InvalidProcedureCall);
    EXPECT_EQ(ErrorOf([] { Left("abc", -1); }), err::InvalidProcedureCall);
    EXPECT_EQ(ErrorOf([] { Right("abc", -1); }), err::InvalidProcedureCall);
    // Multi-byte characters count once and are never split.
    EXPECT_EQ(Len("Añasco"), 6);
    EXPECT_EQ(Mid("Añasco", 2, 2), "ña");
    EXPECT_EQ(Right("Peñ", 1), "ñ");
}

TEST(Strings, InStrFindsOneBasedPositions) {
    EXPECT_EQ(InStr("abcabc", "c"), 3);
    EXPECT_EQ(InStr("abcabc", "c", 4), 6);
    EXPECT_EQ(InStr("abcabc", "x"), 0);
    EXPECT_EQ(InStr("abc", "c", 10), 0);
    EXPECT_EQ(InStr("abc", ""), 1);
    EXPECT_EQ(InStr("", "a"), 0);
    EXPECT_EQ(InStr("ABC", "b"), 0);
    EXPECT_EQ(InStr("ABC", "b", 1, true), 2);
    EXPECT_EQ(InStr("ñab", "a"), 2);
    EXPECT_EQ(ErrorOf([] { InStr("abc", "a", 0); }), err::InvalidProcedureCall);
    EXPECT_EQ(InStrRev("a.b.c", "."), 4);
    EXPECT_EQ(InStrRev("abc", "x"), 0);
}

TEST(Strings, ReplaceSplitJoinQuote) {
    EXPECT_EQ(Replace("a-b-c", "-", "+"), "a+b+c");
    EXPECT_EQ(Replace("abc", "", "x"), "abc");
    EXPECT_EQ(Replace("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(Replace("Abc abc", "ABC", "x", true), "x x");
    EXPECT_EQ(Replace("Abc", "abc", "x"), "Abc");

    EXPECT_TRUE(Split("", ",").empty());
    EXPECT_EQ(Split("a,,b", ","), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(Split("a,", ","), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(Split("a::b", "::"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Split("abc", ""), (std::vector<std::string>{"abc"}));
    EXPECT_EQ(Join(Split("x|y|z", "|"), ", "), "x, y, z");
    EXPECT_EQ(Join({}, ","), "");

    EXPECT_EQ(QuoteEscape("O'Brien's"), "O''Brien''s");
}

TEST(Strings, CaseInsensitiveKeysHashAlike) {
    EXPECT_TRUE(IEquals("Name", "nAME"));
    EXPECT_FALSE(IEquals("Name", "Names"));
    EXPECT_EQ(IHash{}("Managed_Area_ID"), IHash{}("MANAGED_AREA_id"));
    std::unordered_map<std::string, int, IHash, IEqual> m;
    m["Value"] = 1;
    m["VALUE"] = 2;
    EXPECT_EQ(m.size(), 1u);
    EXPECT_EQ(m.find(std::string_view("value"))->second, 2);
}
