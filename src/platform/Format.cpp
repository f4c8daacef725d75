#include "platform/Conv.h"
#include "platform/ConvDetail.h"
#include "platform/Strings.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace zelk {

namespace {

const char* const kMonths[] = {"January",   "February", "March",    "April",
                               "May",       "June",     "July",     "August",
                               "September", "October",  "November", "December"};
const char* const kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                             "Thursday", "Friday", "Saturday"};

// Splits a format at unquoted ';' into its sections.
std::vector<std::string> Sections(std::string_view fmt) {
    std::vector<std::string> out(1);
    bool quoted = false;
    for (std::size_t i = 0; i < fmt.size(); ++i) {
        char c = fmt[i];
        if (c == '"') quoted = !quoted;
        if (c == '\\' && i + 1 < fmt.size()) {
            out.back() += c;
            out.back() += fmt[++i];
            continue;
        }
        if (c == ';' && !quoted)
            out.emplace_back();
        else
            out.back() += c;
    }
    return out;
}

// Decimal digits of |x| rounded half away from zero at `decimals` places, computed on the
// 15-digit decimal form so 2.675 rounds as the user sees it, not as binary stores it.
void DecimalDigits(double x, int decimals, std::string& intPart, std::string& fracPart) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific, 14);
    std::string_view sci(buf, static_cast<std::size_t>(r.ptr - buf));
    auto e = sci.find('e');
    std::string digits;
    for (char c : sci.substr(0, e))
        if (c != '.') digits += c;
    int exp = 0;
    std::from_chars(sci.data() + e + 1 + (sci[e + 1] == '+'), sci.data() + sci.size(), exp);
    // value = 0.digits * 10^(exp + 1)
    int pointPos = exp + 1;
    std::string all;
    if (pointPos <= 0) {
        all = std::string(static_cast<std::size_t>(-pointPos) + 1, '0') + digits;
        pointPos = 1;
    } else {
        all = digits;
        if (static_cast<int>(all.size()) < pointPos)
            all.append(static_cast<std::size_t>(pointPos) - all.size(), '0');
    }
    std::size_t keep = static_cast<std::size_t>(static_cast<long>(pointPos) + decimals);
    if (all.size() < keep) all.append(keep - all.size(), '0');
    bool roundUp = all.size() > keep && all[keep] >= '5';
    all.resize(keep);
    if (roundUp) {
        std::size_t i = keep;
        while (i > 0) {
            --i;
            if (all[i] == '9') {
                all[i] = '0';
            } else {
                ++all[i];
                break;
            }
            if (i == 0) {
                all.insert(all.begin(), '1');
                ++pointPos;
            }
        }
    }
    intPart = all.substr(0, static_cast<std::size_t>(pointPos));
    fracPart = all.substr(static_cast<std::size_t>(pointPos));
    auto nz = intPart.find_first_not_of('0');
    intPart = nz == std::string::npos ? "" : intPart.substr(nz);
}

std::string Group(const std::string& digits) {
    std::string out;
    int n = static_cast<int>(digits.size());
    for (int i = 0; i < n; ++i) {
        out += digits[static_cast<std::size_t>(i)];
        int left = n - i - 1;
        if (left > 0 && left % 3 == 0) out += ',';
    }
    return out;
}

struct Token {
    enum Kind { Digit, Point, Comma, Percent, Literal } kind;
    char ch = 0;
    std::string text;
};

std::vector<Token> Tokenize(std::string_view f) {
    std::vector<Token> t;
    for (std::size_t i = 0; i < f.size(); ++i) {
        char c = f[i];
        if (c == '0' || c == '#')
            t.push_back({Token::Digit, c, {}});
        else if (c == '.')
            t.push_back({Token::Point, c, {}});
        else if (c == ',')
            t.push_back({Token::Comma, c, {}});
        else if (c == '%')
            t.push_back({Token::Percent, c, {}});
        else if (c == '\\' && i + 1 < f.size())
            t.push_back({Token::Literal, 0, {f[++i]}});
        else if (c == '"') {
            auto end = f.find('"', i + 1);
            if (end == std::string_view::npos) end = f.size();
            t.push_back({Token::Literal, 0, std::string(f.substr(i + 1, end - i - 1))});
            i = end;
        } else
            t.push_back({Token::Literal, 0, {c}});
    }
    return t;
}

std::string FormatDigits(double x, std::string_view section, bool withSign) {
    std::vector<Token> toks = Tokenize(section);
    bool percent = false, grouping = false, seenPoint = false, forced = false;
    int intSlots = 0, minInt = 0, minDec = 0, maxDec = 0;
    for (const Token& t : toks) {
        if (t.kind == Token::Percent)
            percent = true;
        else if (t.kind == Token::Point)
            seenPoint = true;
        else if (t.kind == Token::Comma && !seenPoint && intSlots > 0)
            grouping = true;
        else if (t.kind == Token::Digit && !seenPoint) {
            ++intSlots;
            forced = forced || t.ch == '0';
            if (forced) ++minInt;
        } else if (t.kind == Token::Digit) {
            ++maxDec;
            if (t.ch == '0') minDec = maxDec;
        }
    }
    if (percent) x *= 100;
    std::string ip, fp;
    DecimalDigits(x, maxDec, ip, fp);
    bool zero = ip.empty() && fp.find_first_not_of('0') == std::string::npos;
    if (static_cast<int>(ip.size()) < minInt)
        ip.insert(0, static_cast<std::size_t>(minInt) - ip.size(), '0');
    while (static_cast<int>(fp.size()) > minDec && fp.back() == '0')
        fp.pop_back();
    std::string out;
    if (withSign && x < 0 && !zero) out += '-';
    // Integer digits fill the slots from the right; the first slot takes any surplus. With
    // grouping the whole grouped text goes at the first slot.
    int surplus = static_cast<int>(ip.size()) - intSlots;
    int slot = 0;
    std::size_t fracIndex = 0;
    seenPoint = false;
    for (const Token& t : toks) {
        switch (t.kind) {
        case Token::Digit:
            if (seenPoint) {
                if (fracIndex < fp.size()) out += fp[fracIndex];
                ++fracIndex;
            } else if (grouping) {
                if (slot++ == 0) out += Group(ip);
            } else {
                int from = slot == 0 ? 0 : slot + surplus;
                int to = slot + surplus + 1;
                for (int i = std::max(from, 0); i < to; ++i)
                    out += ip[static_cast<std::size_t>(i)];
                ++slot;
            }
            break;
        case Token::Point:
            if (intSlots == 0 && !ip.empty()) out += ip;
            seenPoint = true;
            out += '.';
            break;
        case Token::Percent:
            out += '%';
            break;
        case Token::Comma:
            break;
        case Token::Literal:
            out += t.text;
            break;
        }
    }
    return out;
}

bool IsDatePattern(std::string_view f) {
    bool date = false;
    bool quoted = false;
    for (std::size_t i = 0; i < f.size(); ++i) {
        char c = f[i];
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\\') {
            ++i;
            continue;
        }
        if (c == '0' || c == '#') return false;
        char l = static_cast<char>(c | 0x20);
        if (l == 'd' || l == 'm' || l == 'y' || l == 'h' || l == 'n' || l == 's') date = true;
    }
    return date;
}

std::string Pad2(int v) {
    return v < 10 ? "0" + std::to_string(v) : std::to_string(v);
}

std::string FormatDate(DateValue v, std::string_view f) {
    DateParts p = SplitDate(v);
    std::string out;
    auto run = [&](std::size_t i, char c) {
        std::size_t j = i;
        while (j < f.size() && (f[j] | 0x20) == c)
            ++j;
        return j - i;
    };
    bool afterHour = false;
    for (std::size_t i = 0; i < f.size();) {
        char c = f[i];
        char l = static_cast<char>(c | 0x20);
        if (c == '"') {
            auto end = f.find('"', i + 1);
            if (end == std::string_view::npos) end = f.size();
            out += f.substr(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        if (c == '\\' && i + 1 < f.size()) {
            out += f[i + 1];
            i += 2;
            continue;
        }
        std::string_view rest = f.substr(i);
        if (rest.size() >= 5 && IEquals(rest.substr(0, 5), "AM/PM")) {
            bool upper = rest[0] == 'A';
            out += p.hour < 12 ? (upper ? "AM" : "am") : (upper ? "PM" : "pm");
            i += 5;
            continue;
        }
        if (rest.size() >= 3 && IEquals(rest.substr(0, 3), "A/P")) {
            bool upper = rest[0] == 'A';
            out += p.hour < 12 ? (upper ? "A" : "a") : (upper ? "P" : "p");
            i += 3;
            continue;
        }
        std::size_t n =
            (l == 'd' || l == 'm' || l == 'y' || l == 'h' || l == 'n' || l == 's') ? run(i, l) : 1;
        if (l == 'm' && n <= 2) {
            // m right after an hour or right before seconds means minutes
            std::size_t j = i + n;
            while (j < f.size() && (f[j] == ':' || f[j] == ' '))
                ++j;
            if (afterHour || (j < f.size() && (f[j] | 0x20) == 's')) l = 'n';
        }
        bool has12 = f.find("AM/PM") != std::string_view::npos ||
                     f.find("am/pm") != std::string_view::npos ||
                     f.find("A/P") != std::string_view::npos ||
                     f.find("a/p") != std::string_view::npos;
        int hour = has12 ? (p.hour % 12 == 0 ? 12 : p.hour % 12) : p.hour;
        switch (l) {
        case 'd':
            if (n == 1)
                out += std::to_string(p.day);
            else if (n == 2)
                out += Pad2(p.day);
            else {
                std::int64_t days = static_cast<std::int64_t>(std::trunc(v.serial));
                int wd = static_cast<int>(((days % 7) + 7 + 6) % 7); // serial 0 was a Saturday
                std::string name = kDays[wd];
                out += n == 3 ? name.substr(0, 3) : name;
            }
            break;
        case 'm':
            if (n == 1)
                out += std::to_string(p.month);
            else if (n == 2)
                out += Pad2(p.month);
            else if (n == 3)
                out += std::string(kMonths[p.month - 1]).substr(0, 3);
            else
                out += kMonths[p.month - 1];
            break;
        case 'y':
            if (n >= 3)
                out += std::to_string(p.year);
            else
                out += Pad2(p.year % 100);
            break;
        case 'h':
            out += n == 1 ? std::to_string(hour) : Pad2(hour);
            break;
        case 'n':
            out += n == 1 ? std::to_string(p.minute) : Pad2(p.minute);
            break;
        case 's':
            out += n == 1 ? std::to_string(p.second) : Pad2(p.second);
            break;
        default:
            out += c;
            break;
        }
        if (l == 'h')
            afterHour = true;
        else if (l == 'd' || l == 'y' || l == 'n' || l == 's' || l == 'm')
            afterHour = false;
        i += n;
    }
    return out;
}

std::string FormatNumber(double x, std::string_view fmt) {
    std::vector<std::string> sec = Sections(fmt);
    if (x < 0 && sec.size() >= 2 && !sec[1].empty()) return FormatDigits(-x, sec[1], false);
    if (x == 0 && sec.size() >= 3 && !sec[2].empty()) return FormatDigits(0, sec[2], false);
    return FormatDigits(x, sec[0], true);
}

// The named formats in terms of patterns.
std::string_view NamedPattern(std::string_view fmt) {
    struct Named {
        const char* name;
        const char* pattern;
    };
    static const Named names[] = {
        {"Fixed", "0.00"},
        {"Standard", "#,##0.00"},
        {"Percent", "0.00%"},
        {"Currency", "$#,##0.00;($#,##0.00)"},
        {"Short Date", "m/d/yyyy"},
        {"Medium Date", "dd-mmm-yy"},
        {"Long Date", "dddd, mmmm d, yyyy"},
        {"Long Time", "h:mm:ss AM/PM"},
        {"Medium Time", "hh:mm AM/PM"},
        {"Short Time", "hh:mm"},
    };
    for (const Named& n : names)
        if (IEquals(fmt, n.name)) return n.pattern;
    return fmt;
}

} // namespace

std::string Format(const Variant& v, std::string_view fmt) {
    if (v.IsNull()) return "";
    if (fmt.empty() || IEquals(fmt, "General Date")) return CStr(v);
    if (IEquals(fmt, "General Number")) {
        if (v.IsNumber() || v.IsDate() || (v.IsString() && IsNumeric(v)))
            return detail::NumberText(CDbl(v), 15);
        return CStr(v);
    }
    if (IEquals(fmt, "Yes/No") || IEquals(fmt, "True/False") || IEquals(fmt, "On/Off")) {
        if (!IsNumeric(v) && !v.IsBool()) return CStr(v);
        bool b = CBool(v);
        if (fmt[0] == 'Y' || fmt[0] == 'y') return b ? "Yes" : "No";
        if (fmt[0] == 'T' || fmt[0] == 't') return b ? "True" : "False";
        return b ? "On" : "Off";
    }
    if (fmt == ">") return UCase(CStr(v));
    if (fmt == "<") return LCase(CStr(v));
    std::string_view pattern = NamedPattern(fmt);
    if (IsDatePattern(pattern)) {
        if (v.IsString()) {
            auto d = ParseDate(v.Str());
            return d ? FormatDate(*d, pattern) : v.Str();
        }
        if (v.IsEmpty()) return FormatDate(DateValue{0}, pattern);
        return FormatDate(CDate(v), pattern);
    }
    if (v.IsString()) {
        auto d = ParseNumber(v.Str());
        if (!d || !std::isfinite(*d)) return v.Str();
        return FormatNumber(*d, pattern);
    }
    double x = v.IsEmpty() ? 0.0 : CDbl(v);
    return FormatNumber(x, pattern);
}

} // namespace zelk
