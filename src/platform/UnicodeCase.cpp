#include "platform/UnicodeCase.h"

#include <unicode/locid.h>
#include <unicode/stringpiece.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <cstdint>

namespace zelk {

namespace {

bool IsAscii(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

void AppendAsciiUpper(std::string_view s, std::string& out) {
    for (char c : s)
        out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// `s` is valid UTF-8.
void AppendUpper(std::string_view s, std::string& out) {
    if (s.empty()) return;
    if (IsAscii(s)) {
        AppendAsciiUpper(s, out);
        return;
    }
    icu::UnicodeString u = icu::UnicodeString::fromUTF8(
        icu::StringPiece(s.data(), static_cast<std::int32_t>(s.size())));
    u.toUpper(icu::Locale::getRoot());
    u.toUTF8String(out);
}

} // namespace

std::string UpperUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    if (IsAscii(s)) {
        AppendAsciiUpper(s, out);
        return out;
    }
    // Folds each run of valid UTF-8 and keeps any malformed bytes between runs as they are.
    const auto* p = reinterpret_cast<const std::uint8_t*>(s.data());
    const auto n = static_cast<std::int32_t>(s.size());
    std::int32_t i = 0, run = 0;
    while (i < n) {
        const std::int32_t at = i;
        UChar32 c = 0;
        U8_NEXT(p, i, n, c);
        if (c < 0) {
            AppendUpper(s.substr(static_cast<std::size_t>(run), static_cast<std::size_t>(at - run)),
                        out);
            out.append(s.substr(static_cast<std::size_t>(at), static_cast<std::size_t>(i - at)));
            run = i;
        }
    }
    AppendUpper(s.substr(static_cast<std::size_t>(run)), out);
    return out;
}

} // namespace zelk
