#include "platform/Conv.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

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

TEST(Variant, TypesAndTypeNames) {
    EXPECT_EQ(Variant().Type(), VarType::Empty);
    EXPECT_EQ(Variant::Null().Type(), VarType::Null);
    EXPECT_EQ(Variant(true).Type(), VarType::Boolean);
    EXPECT_EQ(Variant(std::int16_t{3}).Type(), VarType::Integer);
    EXPECT_EQ(Variant(3).Type(), VarType::Long);
    EXPECT_EQ(Variant(1.5f).Type(), VarType::Single);
    EXPECT_EQ(Variant(1.5).Type(), VarType::Double);
    EXPECT_EQ(Variant(DateValue{1}).Type(), VarType::Date);
    EXPECT_EQ(Variant("x").Type(), VarType::String);
    EXPECT_EQ(Variant::Nothing().Type(), VarType::Object);

    EXPECT_EQ(TypeName(Variant()), "Empty");
    EXPECT_EQ(TypeName(Variant::Null()), "Null");
    EXPECT_EQ(TypeName(Variant(false)), "Boolean");
    EXPECT_EQ(TypeName(Variant(std::int16_t{1})), "Integer");
    EXPECT_EQ(TypeName(Variant(1)), "Long");
    EXPECT_EQ(TypeName(Variant(1.0f)), "Single");
    EXPECT_EQ(TypeName(Variant(1.0)), "Double");
    EXPECT_EQ(TypeName(Variant(DateValue{})), "Date");
    EXPECT_EQ(TypeName(Variant("")), "String");
    EXPECT_EQ(TypeName(Variant::Nothing()), "Nothing");

    EXPECT_TRUE(Variant(true).IsNumber());
    EXPECT_FALSE(Variant("1").IsNumber());
    EXPECT_FALSE(Variant(DateValue{}).IsNumber());
    EXPECT_EQ(Variant(true).NumberValue(), -1);
}

TEST(Conv, IntegerConversionsRoundHalfToEven) {
    EXPECT_EQ(CLng(Variant(2.5)), 2);
    EXPECT_EQ(CLng(Variant(3.5)), 4);
    EXPECT_EQ(CLng(Variant(-2.5)), -2);
    EXPECT_EQ(CLng(Variant(-3.5)), -4);
    EXPECT_EQ(CLng(Variant(2.51)), 3);
    EXPECT_EQ(CInt(Variant(0.5)), 0);
    EXPECT_EQ(CInt(Variant(1.5)), 2);
    EXPECT_EQ(CLng(Variant(true)), -1);
    EXPECT_EQ(CLng(Variant()), 0);
    EXPECT_EQ(CLng(Variant(" 12 ")), 12);
    EXPECT_EQ(CLng(Variant("-3")), -3);
    EXPECT_EQ(CLng(Variant("1,000")), 1000);
    EXPECT_EQ(CLng(Variant("2.5")), 2);
    EXPECT_EQ(CLng(Variant("1E3")), 1000);
    EXPECT_EQ(CLng(Variant("&HFF")), 255);
    EXPECT_EQ(CLng(Variant(DateValue{36526.75})), 36527);
}

TEST(Conv, IntegerLimitsOverflow) {
    EXPECT_EQ(CLng(Variant(2147483647.0)), 2147483647);
    EXPECT_EQ(CLng(Variant(-2147483648.0)), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(CLng(Variant(2147483647.4)), 2147483647);
    EXPECT_EQ(ErrorOf([] { CLng(Variant(2147483647.5)); }), err::Overflow);
    EXPECT_EQ(ErrorOf([] { CLng(Variant(2147483648.0)); }), err::Overflow);
    EXPECT_EQ(ErrorOf([] { CLng(Variant(-2147483649.0)); }), err::Overflow);
    EXPECT_EQ(ErrorOf([] { CLng(Variant("9999999999")); }), err::Overflow);
    EXPECT_EQ(CInt(Variant(32767)), 32767);
    EXPECT_EQ(CInt(Variant(-32768)), -32768);
    EXPECT_EQ(ErrorOf([] { CInt(Variant(32768)); }), err::Overflow);
    EXPECT_EQ(ErrorOf([] { CInt(Variant(-32769)); }), err::Overflow);
    EXPECT_EQ(ErrorOf([] { CInt(Variant(32767.5)); }), err::Overflow);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(ErrorOf([&] { CLng(Variant(nan)); }), err::Overflow);
    EXPECT_EQ(ErrorOf([&] { CInt(Variant(-inf)); }), err::Overflow);
    EXPECT_EQ(ErrorOf([&] { CDbl(Variant(inf)); }), err::Overflow);
    EXPECT_EQ(ErrorOf([] { CDbl(Variant("1E400")); }), err::Overflow);
    EXPECT_EQ(ErrorOf([] { CSng(Variant(1e39)); }), err::Overflow);
}

TEST(Conv, BadInputRaisesMismatchOrNull) {
    EXPECT_EQ(ErrorOf([] { CLng(Variant("abc")); }), err::TypeMismatch);
    EXPECT_EQ(ErrorOf([] { CLng(Variant("")); }), err::TypeMismatch);
    EXPECT_EQ(ErrorOf([] { CLng(Variant("1a")); }), err::TypeMismatch);
    EXPECT_EQ(ErrorOf([] { CDbl(Variant("1.2.3")); }), err::TypeMismatch);
    EXPECT_EQ(ErrorOf([] { CBool(Variant("maybe")); }), err::TypeMismatch);
    for (auto f : {+[] { CLng(Variant::Null()); }, +[] { CStr(Variant::Null()); },
                   +[] { CDbl(Variant::Null()); }, +[] { CBool(Variant::Null()); },
                   +[] { CDate(Variant::Null()); }}) {
        try {
            f();
            ADD_FAILURE() << "no error for Null";
        } catch (const ComError& e) {
            EXPECT_EQ(e.Number(), err::InvalidUseOfNull);
            EXPECT_EQ(e.Description(), "Invalid use of Null");
        }
    }
    EXPECT_EQ(CStr(Variant()), "");
    EXPECT_FALSE(CBool(Variant()));
    EXPECT_TRUE(CBool(Variant("true")));
    EXPECT_TRUE(CBool(Variant("-1")));
    EXPECT_FALSE(CBool(Variant(" 0 ")));
    EXPECT_EQ(CDbl(Variant("1,000.5")), 1000.5);
    EXPECT_EQ(CDbl(Variant(" -.5 ")), -0.5);
}

TEST(Conv, CStrOfNumbersAndBooleans) {
    EXPECT_EQ(CStr(Variant(true)), "True");
    EXPECT_EQ(CStr(Variant(false)), "False");
    EXPECT_EQ(CStr(Variant(-42)), "-42");
    EXPECT_EQ(CStr(Variant(1.5)), "1.5");
    EXPECT_EQ(CStr(Variant(0.1)), "0.1");
    EXPECT_EQ(CStr(Variant(0.1 + 0.2)), "0.3");
    EXPECT_EQ(CStr(Variant(1e20)), "1E+20");
    EXPECT_EQ(CStr(Variant(1.5e-5)), "1.5E-05");
    EXPECT_EQ(CStr(Variant(123456789012345.0)), "123456789012345");
    EXPECT_EQ(CStr(Variant(-0.0)), "0");
    EXPECT_EQ(CStr(Variant(0.1f)), "0.1");
    EXPECT_EQ(CStr(Variant(1.0f / 3)), "0.3333333");
}

TEST(Conv, ValAndIsNumeric) {
    EXPECT_EQ(Val(Variant("12abc")), 12);
    EXPECT_EQ(Val(Variant(" 1 2")), 12);
    EXPECT_EQ(Val(Variant("abc")), 0);
    EXPECT_EQ(Val(Variant("")), 0);
    EXPECT_EQ(Val(Variant("-3.5e2x")), -350);
    EXPECT_EQ(Val(Variant("1,000")), 1);
    EXPECT_EQ(Val(Variant("&H10")), 16);
    EXPECT_EQ(Val(Variant(7)), 7);

    EXPECT_TRUE(IsNumeric(Variant()));
    EXPECT_FALSE(IsNumeric(Variant::Null()));
    EXPECT_FALSE(IsNumeric(Variant("")));
    EXPECT_FALSE(IsNumeric(Variant("  ")));
    EXPECT_TRUE(IsNumeric(Variant(" 1,000.5 ")));
    EXPECT_TRUE(IsNumeric(Variant("-1e3")));
    EXPECT_FALSE(IsNumeric(Variant("1e")));
    EXPECT_FALSE(IsNumeric(Variant("12abc")));
    EXPECT_FALSE(IsNumeric(Variant(",5")));
    EXPECT_TRUE(IsNumeric(Variant(true)));
    EXPECT_FALSE(IsNumeric(Variant(DateValue{1})));
    EXPECT_FALSE(ParseNumber("1 2").has_value());
}

TEST(Conv, DatesParseSplitAndPrint) {
    DateValue d = MakeDate(2001, 2, 3);
    EXPECT_EQ(d.serial, 36925);
    EXPECT_EQ(MakeDate(1899, 12, 30).serial, 0);
    EXPECT_EQ(MakeDate(1899, 12, 29, 6).serial, -1.25);
    EXPECT_EQ(MakeDate(2000, 13, 1).serial, MakeDate(2001, 1, 1).serial);
    EXPECT_EQ(MakeDate(2000, 3, 0).serial, MakeDate(2000, 2, 29).serial);

    EXPECT_EQ(CDate(Variant("2001-02-03")), d);
    EXPECT_EQ(CDate(Variant("2/3/2001")), d);
    EXPECT_EQ(CDate(Variant("36925")), d);
    EXPECT_EQ(CDate(Variant(36925)), d);
    EXPECT_EQ(CDate(Variant("2001-02-03 14:05")), MakeDate(2001, 2, 3, 14, 5));
    EXPECT_EQ(CDate(Variant("2/3/2001 2:05:09 PM")), MakeDate(2001, 2, 3, 14, 5, 9));
    EXPECT_EQ(CDate(Variant("2/3/2001 12:00 AM")), d);
    EXPECT_EQ(ErrorOf([] { CDate(Variant("2/30/2001")); }), err::TypeMismatch);
    EXPECT_EQ(ErrorOf([] { CDate(Variant("2001-13-01")); }), err::TypeMismatch);
    EXPECT_EQ(ErrorOf([] { CDate(Variant("2/3/2001 25:00")); }), err::TypeMismatch);
    EXPECT_EQ(ErrorOf([] { CDate(Variant("tomorrow")); }), err::TypeMismatch);
    EXPECT_EQ(ErrorOf([] { CDate(Variant(1e10)); }), err::Overflow);
    EXPECT_TRUE(ParseDate("2/29/2000").has_value());
    EXPECT_FALSE(ParseDate("2/29/1900").has_value());
    EXPECT_TRUE(IsDate(Variant("1/1/2000")));
    EXPECT_FALSE(IsDate(Variant("36925")));

    DateParts p = SplitDate(MakeDate(1999, 12, 31, 23, 59, 59));
    EXPECT_EQ(p.year, 1999);
    EXPECT_EQ(p.month, 12);
    EXPECT_EQ(p.day, 31);
    EXPECT_EQ(p.hour, 23);
    EXPECT_EQ(p.minute, 59);
    EXPECT_EQ(p.second, 59);

    EXPECT_EQ(CStr(Variant(d)), "2/3/2001");
    EXPECT_EQ(CStr(Variant(MakeDate(2001, 2, 3, 14, 5, 9))), "2/3/2001 2:05:09 PM");
    EXPECT_EQ(CStr(Variant(MakeDate(2001, 2, 3, 0, 0, 1))), "2/3/2001 12:00:01 AM");
    EXPECT_EQ(CStr(Variant(DateValue{0.5})), "12:00:00 PM");
    EXPECT_EQ(CDate(Variant(CStr(Variant(MakeDate(2024, 7, 4, 9, 8, 7))))),
              MakeDate(2024, 7, 4, 9, 8, 7));
    DateParts now = SplitDate(Now());
    EXPECT_GE(now.year, 2024);
}

TEST(Conv, VarCompareLooseRules) {
    EXPECT_LT(VarCompare(Variant::Null(), Variant(-100)), 0);
    EXPECT_GT(VarCompare(Variant(""), Variant::Null()), 0);
    EXPECT_EQ(VarCompare(Variant::Null(), Variant::Null()), 0);
    EXPECT_EQ(VarCompare(Variant(2), Variant(2.0)), 0);
    EXPECT_LT(VarCompare(Variant(9), Variant("10")), 0);   // numeric text by value
    EXPECT_GT(VarCompare(Variant("9"), Variant("10")), 0); // text with text
    EXPECT_LT(VarCompare(Variant(1000), Variant("abc")), 0);
    EXPECT_LT(VarCompare(Variant("B"), Variant("a")), 0);
    EXPECT_GT(VarCompare(Variant("B"), Variant("a"), true), 0);
    EXPECT_EQ(VarCompare(Variant("abc"), Variant("ABC"), true), 0);
    EXPECT_EQ(VarCompare(Variant(), Variant(0)), 0);
    EXPECT_EQ(VarCompare(Variant(), Variant("")), 0);
    EXPECT_EQ(VarCompare(Variant(true), Variant(-1)), 0);
    EXPECT_LT(VarCompare(Variant(MakeDate(2000, 1, 1)), Variant("1/2/2000")), 0);
}

TEST(Conv, FormatNumbers) {
    EXPECT_EQ(Format(Variant(1234.5)), "1234.5");
    EXPECT_EQ(Format(Variant(2.5), "0"), "3"); // Format rounds half away from zero
    EXPECT_EQ(Format(Variant(-2.5), "0"), "-3");
    EXPECT_EQ(Format(Variant(2.675), "0.00"), "2.68");
    EXPECT_EQ(Format(Variant(1.5), "0.0#"), "1.5");
    EXPECT_EQ(Format(Variant(1.456), "0.0#"), "1.46");
    EXPECT_EQ(Format(Variant(1234567.891), "#,##0.00"), "1,234,567.89");
    EXPECT_EQ(Format(Variant(0.5), "#,##0.00"), "0.50");
    EXPECT_EQ(Format(Variant(-1234), "#,##0"), "-1,234");
    EXPECT_EQ(Format(Variant(999.996), "#,##0.00"), "1,000.00");
    EXPECT_EQ(Format(Variant(-0.001), "0.00"), "0.00");
    EXPECT_EQ(Format(Variant(7), "000"), "007");
    EXPECT_EQ(Format(Variant(0.25), "0%"), "25%");
    EXPECT_EQ(Format(Variant(-5), "0;(0)"), "(5)");
    EXPECT_EQ(Format(Variant(0), "0;(0);\"zero\""), "zero");
    EXPECT_EQ(Format(Variant(1234.5), "Fixed"), "1234.50");
    EXPECT_EQ(Format(Variant(1234.5), "Standard"), "1,234.50");
    EXPECT_EQ(Format(Variant(1234.5), "General Number"), "1234.5");
    EXPECT_EQ(Format(Variant("12.345"), "0.0"), "12.3");
    EXPECT_EQ(Format(Variant("n/a"), "0.0"), "n/a");
    EXPECT_EQ(Format(Variant::Null(), "0.0"), "");
    EXPECT_EQ(Format(Variant(1e300), "0"), "1" + std::string(300, '0'));
}

TEST(Conv, FormatDates) {
    Variant d(MakeDate(2001, 2, 3, 14, 5, 9));
    EXPECT_EQ(Format(d, "Short Date"), "2/3/2001");
    EXPECT_EQ(Format(d, "Long Date"), "Saturday, February 3, 2001");
    EXPECT_EQ(Format(d, "mm/dd/yyyy"), "02/03/2001");
    EXPECT_EQ(Format(d, "yyyy-mm-dd"), "2001-02-03");
    EXPECT_EQ(Format(d, "hh:nn:ss"), "14:05:09");
    EXPECT_EQ(Format(d, "hh:mm"), "14:05");
    EXPECT_EQ(Format(d, "h:mm AM/PM"), "2:05 PM");
    EXPECT_EQ(Format(d, "d-mmm-yy"), "3-Feb-01");
    EXPECT_EQ(Format(d, "dddd d mmmm"), "Saturday 3 February");
    EXPECT_EQ(Format(Variant("2001-02-03"), "mm/dd/yyyy"), "02/03/2001");
    EXPECT_EQ(Format(d), "2/3/2001 2:05:09 PM");
}
