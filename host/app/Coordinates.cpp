#include "host/app/Coordinates.h"

#include "platform/Strings.h"

#include <cctype>

namespace zelk::host {

std::string CoordinateProblem(const std::string& text, const std::string& label, int width,
                              const std::string& hemispheres) {
    std::string t = Trim(text);
    if (t.empty()) return "";
    if (width != 7 && width != 8)
        return label + ": the width must be 7 (latitude) or 8 (longitude).";
    const int degreeDigits = width - 5;
    const int maxDegrees = width == 7 ? 90 : 180;
    const std::string either = hemispheres.size() == 2
                                   ? std::string(1, hemispheres[0]) + " or " + hemispheres[1]
                                   : hemispheres;
    std::string expected = label + " must be written as " +
                           std::string(static_cast<std::size_t>(degreeDigits), 'D') +
                           "MMSS followed by " + either + ", for example " +
                           (width == 7 ? "443015N" : "0933045W") + ".";
    if (static_cast<int>(t.size()) != width) return expected;
    for (int i = 0; i < width - 1; ++i)
        if (!std::isdigit(static_cast<unsigned char>(t[static_cast<std::size_t>(i)])))
            return expected;
    const char h = static_cast<char>(std::toupper(static_cast<unsigned char>(t.back())));
    if (h == 0 || hemispheres.find(h) == std::string::npos)
        return label + " must end with " + either + ".";
    auto num = [&](int from, int len) {
        return std::stoi(t.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(len)));
    };
    int deg = num(0, degreeDigits), min = num(degreeDigits, 2), sec = num(degreeDigits + 2, 2);
    if (min >= 60) return label + ": the minutes must be below 60.";
    if (sec >= 60) return label + ": the seconds must be below 60.";
    if (deg > maxDegrees || (deg == maxDegrees && (min > 0 || sec > 0)))
        return label + ": the degrees must not exceed " + std::to_string(maxDegrees) + ".";
    return "";
}

} // namespace zelk::host
