#pragma once

#include <string>

namespace zelk::editor {

// Acres per hectare.
inline constexpr double kAcresPerHectare = 2.4710437;

// Rounds half to even at the given number of decimal places, as the desktop basic does.
double RoundDecimals(double value, int places);
// Areas are held in single precision; the result is rounded to 7 decimal places first.
float AcresToHectares(float acres);
float HectaresToAcres(float hectares);
// The text a single-precision value shows (7 significant digits).
std::string SingleText(float value);
// Whether two areas show the same to 4 decimal places at single precision.
bool SameArea(double shown, float converted);

// The Year/Plan/Budget grid's rules for a year (1900 to 2100: "MGA015") and a budget (a plain
// number without "," or "$": "MGA025"); "" when the text passes or is empty.
std::string YearProblem(const std::string& text);
std::string BudgetProblem(const std::string& text);

} // namespace zelk::editor
