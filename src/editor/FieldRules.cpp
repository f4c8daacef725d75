#include "editor/FieldRules.h"

#include "platform/Conv.h"
#include "platform/Strings.h"

#include <cmath>

namespace zelk::editor {

double RoundDecimals(double value, int places) {
    if (!std::isfinite(value)) return value;
    double scale = std::pow(10.0, places);
    double scaled = value * scale;
    if (!std::isfinite(scaled)) return value; // too large to carry those decimals anyway
    double r = std::nearbyint(scaled);        // the default rounding mode is half to even
    return r / scale;
}

float AcresToHectares(float acres) {
    return static_cast<float>(RoundDecimals(static_cast<double>(acres) / kAcresPerHectare, 7));
}

float HectaresToAcres(float hectares) {
    return static_cast<float>(RoundDecimals(static_cast<double>(hectares) * kAcresPerHectare, 7));
}

std::string SingleText(float value) {
    return CStr(Variant(value));
}

bool SameArea(double shown, float converted) {
    float a = static_cast<float>(RoundDecimals(shown, 4));
    float b = static_cast<float>(RoundDecimals(static_cast<double>(converted), 4));
    return SingleText(a) == SingleText(b);
}

std::string YearProblem(const std::string& text) {
    if (Trim(text).empty()) return "";
    const double year = Val(Variant(text));
    return year < 1900 || year > 2100 ? "MGA015" : "";
}

std::string BudgetProblem(const std::string& text) {
    if (Trim(text).empty()) return "";
    return text.find_first_of(",$") != std::string::npos || !IsNumeric(Variant(text)) ? "MGA025"
                                                                                      : "";
}

} // namespace zelk::editor
