#pragma once

#include <string>

namespace zelk::host {

// Checks a coordinate typed as degrees, minutes and seconds followed by a hemisphere letter:
// width 7 is a latitude (DDMMSS + N/S), width 8 a longitude (DDDMMSS + E/W). An empty text is
// allowed. Answers "" when the text is valid, otherwise why it is not, for the user.
std::string CoordinateProblem(const std::string& text, const std::string& label, int width,
                              const std::string& hemispheres);

} // namespace zelk::host
