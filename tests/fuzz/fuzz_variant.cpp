// Conversions from text, as typed into a field: every conversion either gives a value or
// raises a run-time error, and the number tests agree with the conversions.
#include "FuzzSupport.h"

#include "platform/Conv.h"

#include <cmath>

using namespace zelk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text = fuzz::Text(data, size);
    // The first line, if any, is a format for Format.
    std::string fmt;
    if (auto nl = text.find('\n'); nl != std::string::npos && nl < 64) {
        fmt = text.substr(0, nl);
        text.erase(0, nl + 1);
    }
    const Variant v(text);
    fuzz::Refusable([&] { (void)CLng(v); });
    fuzz::Refusable([&] { (void)CInt(v); });
    fuzz::Refusable([&] { (void)CSng(v); });
    fuzz::Refusable([&] { (void)CBool(v); });
    fuzz::Refusable([&] { (void)CDate(v); });
    fuzz::Refusable([&] { (void)Val(v); });
    fuzz::Refusable([&] { (void)TextOf(v); });
    fuzz::Refusable([&] { (void)IsDate(v); });
    fuzz::Refusable([&] { (void)ParseDate(text); });
    fuzz::Refusable([&] { (void)Format(v, fmt); });
    fuzz::Refusable([&] {
        const bool numeric = IsNumeric(v);
        auto n = ParseNumber(text);
        if (numeric) {
            double d = 0;
            try {
                d = CDbl(v);
            } catch (const ComError&) {
                fuzz::Broken("IsNumeric text that CDbl refuses", text);
            }
            (void)d;
        }
        if (n && std::isfinite(*n)) {
            const Variant num(*n);
            (void)CStr(num);
            fuzz::Refusable([&] { (void)Format(num, fmt); });
        }
    });
    fuzz::Refusable([&] { (void)VarCompare(v, Variant(std::string("443015N")), true); });
    return 0;
}
