#include "platform/Strings.h"

#include "platform/Error.h"
#include "platform/UnicodeCase.h"

namespace zelk {

// Text is UTF-8; positions and lengths count characters, so a multi-byte character is never
// cut in half.
namespace {

bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Byte offset of the character with 0-based index n, or s.size() when past the end.
std::size_t ByteOffset(std::string_view s, long n) {
    std::size_t i = 0;
    for (long k = 0; k < n && i < s.size(); ++k) {
        ++i;
        while (i < s.size() && IsContinuation(s[i]))
            ++i;
    }
    return i;
}

long CharIndex(std::string_view s, std::size_t byteOffset) {
    long n = 0;
    for (std::size_t i = 0; i < byteOffset && i < s.size(); ++i)
        if (!IsContinuation(s[i])) ++n;
    return n;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::size_t Find(std::string_view s, std::string_view find, std::size_t from, bool ignoreCase) {
    if (!ignoreCase) return s.find(find, from);
    if (find.size() > s.size()) return std::string_view::npos;
    for (std::size_t i = from; i + find.size() <= s.size(); ++i)
        if (IEquals(s.substr(i, find.size()), find)) return i;
    return std::string_view::npos;
}

void RequireNonNegative(long n) {
    if (n < 0) Raise(err::InvalidProcedureCall, "");
}

} // namespace

std::string LTrim(std::string_view s) {
    auto i = s.find_first_not_of(' ');
    return i == std::string_view::npos ? std::string() : std::string(s.substr(i));
}

std::string RTrim(std::string_view s) {
    auto i = s.find_last_not_of(' ');
    return i == std::string_view::npos ? std::string() : std::string(s.substr(0, i + 1));
}

std::string Trim(std::string_view s) {
    return LTrim(RTrim(s));
}

std::string UCase(std::string_view s) {
    return UpperUtf8(s);
}

std::string LCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = Lower(c);
    return out;
}

long Len(std::string_view s) {
    return CharIndex(s, s.size());
}

std::string Left(std::string_view s, long n) {
    RequireNonNegative(n);
    return std::string(s.substr(0, ByteOffset(s, n)));
}

std::string Right(std::string_view s, long n) {
    RequireNonNegative(n);
    long len = Len(s);
    if (n >= len) return std::string(s);
    return std::string(s.substr(ByteOffset(s, len - n)));
}

std::string Mid(std::string_view s, long start, long length) {
    if (start < 1 || length < -1) Raise(err::InvalidProcedureCall, "");
    std::size_t from = ByteOffset(s, start - 1);
    if (length == -1) return std::string(s.substr(from));
    std::string_view rest = s.substr(from);
    return std::string(rest.substr(0, ByteOffset(rest, length)));
}

long InStr(std::string_view s, std::string_view find, long start, bool ignoreCase) {
    if (start < 1) Raise(err::InvalidProcedureCall, "");
    long len = Len(s);
    if (start > len + 1 || (start > len && !find.empty())) return 0;
    if (find.empty()) return start;
    std::size_t pos = Find(s, find, ByteOffset(s, start - 1), ignoreCase);
    return pos == std::string_view::npos ? 0 : CharIndex(s, pos) + 1;
}

long InStrRev(std::string_view s, std::string_view find) {
    if (find.empty()) return Len(s);
    std::size_t pos = s.rfind(find);
    return pos == std::string_view::npos ? 0 : CharIndex(s, pos) + 1;
}

std::string Replace(std::string_view s, std::string_view find, std::string_view with,
                    bool ignoreCase) {
    if (find.empty()) return std::string(s);
    std::string out;
    std::size_t from = 0;
    for (;;) {
        std::size_t pos = Find(s, find, from, ignoreCase);
        if (pos == std::string_view::npos) break;
        out.append(s.substr(from, pos - from));
        out.append(with);
        from = pos + find.size();
    }
    out.append(s.substr(from));
    return out;
}

std::vector<std::string> Split(std::string_view s, std::string_view delimiter) {
    std::vector<std::string> parts;
    if (s.empty()) return parts;
    if (delimiter.empty()) {
        parts.emplace_back(s);
        return parts;
    }
    std::size_t from = 0;
    for (;;) {
        std::size_t pos = s.find(delimiter, from);
        if (pos == std::string_view::npos) break;
        parts.emplace_back(s.substr(from, pos - from));
        from = pos + delimiter.size();
    }
    parts.emplace_back(s.substr(from));
    return parts;
}

std::string Join(const std::vector<std::string>& parts, std::string_view delimiter) {
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i) out.append(delimiter);
        out.append(parts[i]);
    }
    return out;
}

bool IEquals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

std::size_t IHash::operator()(std::string_view s) const noexcept {
    // FNV-1a over the case-folded bytes, so names equal under IEquals hash alike.
    std::uint64_t h = 14695981039346656037ull;
    for (char c : s) {
        h ^= static_cast<unsigned char>(Lower(c));
        h *= 1099511628211ull;
    }
    return static_cast<std::size_t>(h);
}

std::string QuoteEscape(std::string_view s) {
    return Replace(s, "'", "''");
}

} // namespace zelk
