#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zelk {

// Text functions with 1-based positions (out-of-range positions clamp, a start below 1 is
// error 5). UCase folds every letter by the Unicode rules: "straße" -> "STRASSE".
std::string Trim(std::string_view s);
std::string LTrim(std::string_view s);
std::string RTrim(std::string_view s);
std::string UCase(std::string_view s);
std::string LCase(std::string_view s);
long Len(std::string_view s);
std::string Left(std::string_view s, long n);
std::string Right(std::string_view s, long n);
std::string Mid(std::string_view s, long start, long length = -1);
// 0 when not found; start is 1-based.
long InStr(std::string_view s, std::string_view find, long start = 1, bool ignoreCase = false);
long InStrRev(std::string_view s, std::string_view find);
std::string Replace(std::string_view s, std::string_view find, std::string_view with,
                    bool ignoreCase = false);
std::vector<std::string> Split(std::string_view s, std::string_view delimiter);
std::string Join(const std::vector<std::string>& parts, std::string_view delimiter);

bool IEquals(std::string_view a, std::string_view b);
// Case-insensitive hashing and ordering for maps keyed by member or field name.
struct IHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept;
};
struct IEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept { return IEquals(a, b); }
};

// Doubles every single quote, so text can sit between quotes in SQL or a criterion.
std::string QuoteEscape(std::string_view s);

} // namespace zelk
