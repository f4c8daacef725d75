#pragma once

// Helpers shared by the conversion, date and format sources; not part of the public surface.

#include "platform/Variant.h"

#include <optional>
#include <string>
#include <string_view>

namespace zelk::detail {

[[noreturn]] void RaiseNull();
[[noreturn]] void RaiseMismatch();
[[noreturn]] void RaiseOverflow();

// Shortest text for a number with the given significant digits, as the language prints it.
std::string NumberText(double d, int digits);
// "m/d/yyyy", " h:mm:ss AM" when there is a time part; a time alone when the day is zero.
std::string DateText(DateValue d);
// Date syntax only (no numeric serial).
std::optional<DateValue> ParseDateText(std::string_view s);
// Serial range of the language's dates: 1 Jan 100 to 31 Dec 9999.
bool DateInRange(double serial);
std::string_view TrimSpaces(std::string_view s);

} // namespace zelk::detail
