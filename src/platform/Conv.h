#pragma once

#include "platform/Variant.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zelk {

namespace err {
constexpr int InvalidUseOfNull = 94;
}

// Conversions with the desktop-basic rules: numbers round half to even, text that is not a
// number is a type mismatch (13), a value outside the target range is an overflow (6) and
// Null is error 94.
std::int32_t CLng(const Variant& v);
std::int16_t CInt(const Variant& v);
float CSng(const Variant& v);
double CDbl(const Variant& v);
bool CBool(const Variant& v);
std::string CStr(const Variant& v);
// The text of a field value as a text box shows it: Null and Empty read as "".
std::string TextOf(const Variant& v);
DateValue CDate(const Variant& v);

// Leading number of a text ("12abc" -> 12, "abc" -> 0); Null is error 94, a number beyond
// the Double range error 6.
double Val(const Variant& v);
bool IsNumeric(const Variant& v);
inline bool IsNull(const Variant& v) {
    return v.IsNull();
}
inline bool IsEmpty(const Variant& v) {
    return v.IsEmpty();
}
bool IsDate(const Variant& v);
std::string TypeName(const Variant& v);

// Text that names a number, or nullopt ("1,000.5", " -3 ", "1E3"; not "", not "1a").
std::optional<double> ParseNumber(std::string_view s);
// Text that names a date: "yyyy-mm-dd", "m/d/yyyy", either with an optional time.
std::optional<DateValue> ParseDate(std::string_view s);

DateValue MakeDate(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
struct DateParts {
    int year, month, day, hour, minute, second;
};
DateParts SplitDate(DateValue d);
DateValue Now();

// Loose comparison: numbers numerically, text with text (binary or case-insensitive),
// number against numeric text numerically. Null sorts before everything. Returns <0, 0, >0.
int VarCompare(const Variant& a, const Variant& b, bool ignoreCase = false);

// Format for the formats the module uses: "" (as CStr), "0", "0.0#", "#,##0.00" and other
// digit patterns, "General Number", "Fixed", "Standard", "Short Date", "Long Date",
// "mm/dd/yyyy", "yyyy-mm-dd", "hh:nn:ss" and other date patterns.
std::string Format(const Variant& v, std::string_view fmt = "");

} // namespace zelk
