#include "platform/Conv.h"

#include "platform/ConvDetail.h"
#include "platform/Dispatch.h"
#include "platform/Error.h"
#include "platform/Strings.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace zelk {

namespace detail {

void RaiseNull() {
    Raise(err::InvalidUseOfNull, "Invalid use of Null");
}
void RaiseMismatch() {
    Raise(err::TypeMismatch, "");
}
void RaiseOverflow() {
    Raise(err::Overflow, "");
}

std::string_view TrimSpaces(std::string_view s) {
    auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string NumberText(double d, int digits) {
    if (std::isnan(d)) return "NaN";
    if (std::isinf(d)) return d > 0 ? "Inf" : "-Inf";
    if (d == 0) return "0"; // also hides the sign of -0
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::general, digits);
    std::string s(buf, r.ptr);
    // The language writes the exponent in capitals with at least two digits: 1E+20, 1.5E-05.
    auto e = s.find('e');
    if (e != std::string::npos) {
        std::string out(s, 0, e);
        out += 'E';
        out += s[e + 1];
        if (s.size() - (e + 2) < 2) out += '0';
        out.append(s, e + 2, std::string::npos);
        return out;
    }
    return s;
}

} // namespace detail

using namespace detail;

namespace {

// Parses digits with optional thousands separators, a fraction and an exponent into a plain
// "123.45e6" text for from_chars. Returns the number of bytes consumed (0 when no digits).
std::size_t ScanDecimal(std::string_view s, bool allowGrouping, bool skipSpaces, std::string& out) {
    std::size_t i = 0;
    bool digits = false;
    auto skip = [&] {
        while (skipSpaces && i < s.size() &&
               (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r'))
            ++i;
    };
    skip();
    while (i < s.size()) {
        char c = s[i];
        if (c >= '0' && c <= '9') {
            out += c;
            digits = true;
        } else if (c == ',' && allowGrouping && digits) {
            // grouping separator inside the integer part
        } else {
            break;
        }
        ++i;
        skip();
    }
    if (i < s.size() && s[i] == '.') {
        std::size_t save = i;
        std::string frac = ".";
        ++i;
        skip();
        bool fracDigits = false;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            frac += s[i];
            fracDigits = true;
            ++i;
            skip();
        }
        if (fracDigits || digits) {
            out += frac;
            digits = digits || fracDigits;
        } else {
            i = save;
        }
    }
    if (!digits) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::size_t j = i + 1;
        std::string exp = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exp += s[j++];
        bool expDigits = false;
        while (j < s.size() && s[j] >= '0' && s[j] <= '9') {
            exp += s[j++];
            expDigits = true;
        }
        if (expDigits) {
            out += exp;
            i = j;
        }
    }
    return i;
}

double DecimalValue(const std::string& text, bool negative) {
    double d = 0;
    const char* first = text.data();
    if (*first == '.') {
        // from_chars needs a digit before the point
        std::string withZero(1, '0');
        withZero += text;
        auto r = std::from_chars(withZero.data(), withZero.data() + withZero.size(), d);
        if (r.ec == std::errc::result_out_of_range)
            d = withZero.find("e-") != std::string::npos ? 0.0
                                                         : std::numeric_limits<double>::infinity();
    } else {
        auto r = std::from_chars(first, first + text.size(), d);
        if (r.ec == std::errc::result_out_of_range)
            d = text.find("e-") != std::string::npos ? 0.0
                                                     : std::numeric_limits<double>::infinity();
    }
    return negative ? -d : d;
}

// "&H1F" / "&O17": the language's hexadecimal and octal literals. Returns consumed bytes.
std::size_t ScanRadix(std::string_view s, double& value) {
    if (s.size() < 3 || s[0] != '&') return 0;
    int base = (s[1] == 'h' || s[1] == 'H') ? 16 : (s[1] == 'o' || s[1] == 'O') ? 8 : 0;
    if (base == 0) return 0;
    std::uint64_t v = 0;
    std::size_t i = 2;
    for (; i < s.size(); ++i) {
        int digit;
        char c = s[i];
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            break;
        if (digit >= base) break;
        if (v > (std::numeric_limits<std::uint32_t>::max() >> (base == 16 ? 4 : 3))) return 0;
        v = v * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
    }
    if (i == 2) return 0;
    // Up to 16 bits reads as an Integer, up to 32 as a Long: both wrap to negative.
    if (v <= 0xFFFF)
        value = static_cast<std::int16_t>(static_cast<std::uint16_t>(v));
    else
        value = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    return i;
}

double RoundHalfEven(double x) {
    double fl = std::floor(x);
    double diff = x - fl;
    if (diff > 0.5) return fl + 1;
    if (diff < 0.5) return fl;
    return std::fmod(fl, 2.0) == 0 ? fl : fl + 1;
}

double ToDouble(const Variant& v) {
    if (v.IsEmpty()) return 0;
    if (v.IsNull()) RaiseNull();
    if (v.IsNumber() || v.IsDate()) return v.NumberValue();
    if (v.IsString()) {
        auto d = ParseNumber(v.Str());
        if (!d) RaiseMismatch();
        return *d;
    }
    if (!v.Obj()) Raise(err::ObjectNotSet, "");
    RaiseMismatch();
}

double RoundedInRange(const Variant& v, double lo, double hi) {
    double r = RoundHalfEven(ToDouble(v));
    if (!(r >= lo && r <= hi)) RaiseOverflow(); // NaN fails both comparisons
    return r;
}

} // namespace

std::optional<double> ParseNumber(std::string_view s) {
    s = TrimSpaces(s);
    if (s.empty()) return std::nullopt;
    double radix = 0;
    if (std::size_t n = ScanRadix(s, radix)) {
        if (n == s.size()) return radix;
        return std::nullopt;
    }
    bool negative = false;
    if (s.front() == '+' || s.front() == '-') {
        negative = s.front() == '-';
        s = TrimSpaces(s.substr(1));
    }
    std::string text;
    std::size_t used = ScanDecimal(s, true, false, text);
    if (used == 0 || used != s.size()) return std::nullopt;
    return DecimalValue(text, negative);
}

std::int32_t CLng(const Variant& v) {
    return static_cast<std::int32_t>(RoundedInRange(v, -2147483648.0, 2147483647.0));
}

std::int16_t CInt(const Variant& v) {
    return static_cast<std::int16_t>(RoundedInRange(v, -32768.0, 32767.0));
}

float CSng(const Variant& v) {
    double d = ToDouble(v);
    if (!std::isfinite(d) || std::fabs(d) > std::numeric_limits<float>::max()) RaiseOverflow();
    return static_cast<float>(d);
}

double CDbl(const Variant& v) {
    double d = ToDouble(v);
    if (!std::isfinite(d)) RaiseOverflow();
    return d;
}

bool CBool(const Variant& v) {
    if (v.IsString()) {
        auto t = TrimSpaces(v.Str());
        if (IEquals(t, "True")) return true;
        if (IEquals(t, "False")) return false;
    }
    double d = ToDouble(v);
    if (std::isnan(d)) RaiseOverflow();
    return d != 0;
}

std::string CStr(const Variant& v) {
    switch (v.Type()) {
    case VarType::Empty:
        return "";
    case VarType::Null:
        RaiseNull();
    case VarType::Boolean:
        return v.Bool() ? "True" : "False";
    case VarType::Integer:
    case VarType::Long:
        return std::to_string(static_cast<long>(v.NumberValue()));
    case VarType::Single:
        return NumberText(v.NumberValue(), 7);
    case VarType::Double:
        return NumberText(v.NumberValue(), 15);
    case VarType::Date:
        return DateText(v.Date());
    case VarType::String:
        return v.Str();
    case VarType::Object:
        if (!v.Obj()) Raise(err::ObjectNotSet, "");
        break;
    }
    RaiseMismatch();
}

DateValue CDate(const Variant& v) {
    if (v.IsDate()) return v.Date();
    if (v.IsString()) {
        auto d = ParseDate(v.Str());
        if (!d) RaiseMismatch();
        return *d;
    }
    double d = ToDouble(v);
    if (!DateInRange(d)) RaiseOverflow();
    return DateValue{d};
}

double Val(const Variant& v) {
    if (v.IsEmpty()) return 0;
    if (v.IsNull()) RaiseNull();
    if (v.IsNumber() && !v.IsBool()) return v.NumberValue();
    std::string s = CStr(v);
    std::string_view sv = s;
    while (!sv.empty() &&
           (sv.front() == ' ' || sv.front() == '\t' || sv.front() == '\n' || sv.front() == '\r'))
        sv.remove_prefix(1);
    double radix = 0;
    if (ScanRadix(sv, radix)) return radix;
    bool negative = false;
    if (!sv.empty() && (sv.front() == '+' || sv.front() == '-')) {
        negative = sv.front() == '-';
        sv.remove_prefix(1);
    }
    std::string text;
    if (ScanDecimal(sv, false, true, text) == 0) return 0;
    double d = DecimalValue(text, negative);
    if (!std::isfinite(d)) RaiseOverflow();
    return d;
}

bool IsNumeric(const Variant& v) {
    if (v.IsEmpty() || v.IsNumber()) return true;
    if (v.IsString()) {
        auto d = ParseNumber(v.Str());
        return d && std::isfinite(*d);
    }
    return false;
}

bool IsDate(const Variant& v) {
    if (v.IsDate()) return true;
    return v.IsString() && ParseDateText(v.Str()).has_value();
}

std::string TypeName(const Variant& v) {
    switch (v.Type()) {
    case VarType::Empty:
        return "Empty";
    case VarType::Null:
        return "Null";
    case VarType::Integer:
        return "Integer";
    case VarType::Long:
        return "Long";
    case VarType::Single:
        return "Single";
    case VarType::Double:
        return "Double";
    case VarType::Date:
        return "Date";
    case VarType::String:
        return "String";
    case VarType::Boolean:
        return "Boolean";
    case VarType::Object:
        break;
    }
    return v.Obj() ? v.Obj()->TypeName() : "Nothing";
}

namespace {

int Sign(double a, double b) {
    return a < b ? -1 : a > b ? 1 : 0;
}

int CompareText(std::string_view a, std::string_view b, bool ignoreCase) {
    if (!ignoreCase) return a < b ? -1 : a > b ? 1 : 0;
    std::string ua = UCase(a), ub = UCase(b);
    return ua < ub ? -1 : ua > ub ? 1 : 0;
}

} // namespace

int VarCompare(const Variant& a, const Variant& b, bool ignoreCase) {
    if (a.IsNull() || b.IsNull()) return a.IsNull() ? (b.IsNull() ? 0 : -1) : 1;
    if (a.IsObject() || b.IsObject()) RaiseMismatch();
    bool aNum = !a.IsString(); // Empty, number, Boolean or date
    bool bNum = !b.IsString();
    if (aNum && bNum) return Sign(a.NumberValue(), b.NumberValue());
    if (!aNum && !bNum) return CompareText(a.Str(), b.Str(), ignoreCase);
    // One number, one text: Empty reads as "" against text; numeric text compares by value,
    // other text sorts after every number.
    const Variant& num = aNum ? a : b;
    const std::string& text = aNum ? b.Str() : a.Str();
    int flip = aNum ? 1 : -1;
    if (num.IsEmpty()) return flip * CompareText("", text, ignoreCase);
    std::optional<double> t;
    if (num.IsDate()) {
        if (auto d = ParseDate(text)) t = d->serial;
    } else {
        t = ParseNumber(text);
    }
    if (!t) return -flip;
    return flip * Sign(num.NumberValue(), *t);
}

} // namespace zelk

namespace zelk {
std::string TextOf(const Variant& v) {
    return v.IsNull() || v.IsEmpty() ? std::string() : CStr(v);
}
} // namespace zelk
