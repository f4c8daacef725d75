#include "platform/Conv.h"
#include "platform/ConvDetail.h"
#include "platform/Strings.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace zelk {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

// Days between 1 Mar 0000 based civil dates and the serial epoch, using the proleptic
// Gregorian calendar throughout.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2);
}

const std::int64_t kEpoch = DaysFromCivil(1899, 12, 30);

int DaysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : days[m - 1];
}

// Small cursor over date text.
struct Scanner {
    std::string_view s;
    std::size_t i = 0;

    void SkipSpaces() {
        while (i < s.size() && s[i] == ' ')
            ++i;
    }
    bool AtEnd() const { return i >= s.size(); }
    bool Eat(char c) {
        if (i < s.size() && s[i] == c) {
            ++i;
            return true;
        }
        return false;
    }
    // Up to maxDigits digits; digits is set to how many were read.
    bool Number(int& value, int& digits, int maxDigits = 4) {
        value = 0;
        digits = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9' && digits < maxDigits) {
            value = value * 10 + (s[i] - '0');
            ++i;
            ++digits;
        }
        return digits > 0 && !(i < s.size() && s[i] >= '0' && s[i] <= '9');
    }
};

// "h:mm[:ss] [AM|PM]" from the cursor to the end.
bool ParseTime(Scanner& sc, int& h, int& n, int& sec) {
    int digits;
    sec = 0;
    if (!sc.Number(h, digits, 2) || !sc.Eat(':') || !sc.Number(n, digits, 2) || digits != 2)
        return false;
    if (sc.Eat(':') && (!sc.Number(sec, digits, 2) || digits != 2)) return false;
    sc.SkipSpaces();
    std::string_view rest = sc.s.substr(sc.i);
    if (!rest.empty()) {
        bool pm;
        if (IEquals(rest, "AM") || IEquals(rest, "A"))
            pm = false;
        else if (IEquals(rest, "PM") || IEquals(rest, "P"))
            pm = true;
        else
            return false;
        if (h > 12) return false;
        if (h == 12) h = 0;
        if (pm) h += 12;
        sc.i = sc.s.size();
    }
    return h <= 23 && n <= 59 && sec <= 59;
}

} // namespace

namespace detail {

bool DateInRange(double serial) {
    // 1 Jan 100 .. 31 Dec 9999 23:59:59
    return serial >= -657434.0 && serial < 2958466.0;
}

std::optional<DateValue> ParseDateText(std::string_view text) {
    Scanner sc{TrimSpaces(text)};
    if (sc.s.empty()) return std::nullopt;
    int a, b, c, da, db, dc;
    int y = 1899, m = 12, d = 30, h = 0, n = 0, sec = 0;
    std::size_t start = sc.i;
    bool haveDate = false;
    if (sc.Number(a, da) && (sc.Eat('-') || sc.Eat('/'))) {
        char sep = sc.s[sc.i - 1];
        if (!sc.Number(b, db, 2) || !sc.Eat(sep) || !sc.Number(c, dc)) return std::nullopt;
        if (da == 4) { // yyyy-mm-dd or yyyy/mm/dd
            y = a;
            m = b;
            d = c;
        } else if (sep == '/' && da <= 2 && (dc == 4 || dc == 2)) { // m/d/yyyy, m/d/yy
            m = a;
            d = b;
            y = dc == 4 ? c : (c < 30 ? 2000 + c : 1900 + c);
        } else {
            return std::nullopt;
        }
        haveDate = true;
        if (!sc.AtEnd()) {
            if (!sc.Eat(' ') && !sc.Eat('T')) return std::nullopt;
            sc.SkipSpaces();
        }
    } else {
        sc.i = start;
    }
    if (!sc.AtEnd() && !ParseTime(sc, h, n, sec)) return std::nullopt;
    if (!sc.AtEnd()) return std::nullopt;
    if (haveDate && (y < 100 || y > 9999 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)))
        return std::nullopt;
    return MakeDate(y, m, d, h, n, sec);
}

std::string DateText(DateValue v) {
    DateParts p = SplitDate(v);
    std::string out;
    bool hasDay = !(p.year == 1899 && p.month == 12 && p.day == 30);
    bool hasTime = p.hour != 0 || p.minute != 0 || p.second != 0;
    if (hasDay) {
        out = std::to_string(p.month) + "/" + std::to_string(p.day) + "/" + std::to_string(p.year);
    }
    if (hasTime || !hasDay) {
        int h12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
        char buf[32];
        std::snprintf(buf, sizeof buf, "%d:%02d:%02d %s", h12, p.minute, p.second,
                      p.hour < 12 ? "AM" : "PM");
        if (!out.empty()) out += ' ';
        out += buf;
    }
    return out;
}

} // namespace detail

using namespace detail;

std::optional<DateValue> ParseDate(std::string_view s) {
    if (auto d = ParseDateText(s)) return d;
    if (auto n = ParseNumber(s); n && DateInRange(*n)) return DateValue{*n};
    return std::nullopt;
}

DateValue MakeDate(int year, int month, int day, int hour, int minute, int second) {
    // Months outside 1..12 carry into the year, days and times carry forward, as DateSerial does.
    std::int64_t mz = static_cast<std::int64_t>(month) - 1;
    std::int64_t y = static_cast<std::int64_t>(year) + (mz >= 0 ? mz / 12 : -((11 - mz) / 12));
    std::int64_t m0 = (mz % 12 + 12) % 12;
    std::int64_t days = DaysFromCivil(y, static_cast<unsigned>(m0 + 1), 1) - kEpoch +
                        static_cast<std::int64_t>(day) - 1;
    std::int64_t secs =
        static_cast<std::int64_t>(hour) * 3600 + static_cast<std::int64_t>(minute) * 60 + second;
    std::int64_t total = days * kSecondsPerDay + secs;
    std::int64_t wholeDays =
        total >= 0 ? total / kSecondsPerDay : -((-total + kSecondsPerDay - 1) / kSecondsPerDay);
    double frac = static_cast<double>(total - wholeDays * kSecondsPerDay) / kSecondsPerDay;
    // Before the epoch the time still counts away from zero: 29 Dec 1899 06:00 is -1.25.
    double serial = wholeDays >= 0 ? static_cast<double>(wholeDays) + frac
                                   : static_cast<double>(wholeDays) - frac;
    return DateValue{serial};
}

DateParts SplitDate(DateValue v) {
    double s = v.serial;
    if (!std::isfinite(s) || !DateInRange(s)) detail::RaiseOverflow();
    double whole = std::trunc(s);
    auto days = static_cast<std::int64_t>(whole);
    auto secs = static_cast<std::int64_t>(std::llround(std::fabs(s - whole) * kSecondsPerDay));
    if (secs >= kSecondsPerDay) {
        secs -= kSecondsPerDay;
        ++days;
    }
    std::int64_t y;
    unsigned m, d;
    CivilFromDays(days + kEpoch, y, m, d);
    return DateParts{static_cast<int>(y),
                     static_cast<int>(m),
                     static_cast<int>(d),
                     static_cast<int>(secs / 3600),
                     static_cast<int>(secs / 60 % 60),
                     static_cast<int>(secs % 60)};
}

DateValue Now() {
    std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return MakeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                    local.tm_min, local.tm_sec);
}

} // namespace zelk
