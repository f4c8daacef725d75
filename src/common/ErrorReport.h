#pragma once

#include "platform/Error.h"

#include <string>

namespace zelk::common {

// Title of the module's own message boxes.
inline constexpr const char* kModuleTitle = "Managed Area";

// Shows a trapped run-time error as the module does at its public surface: the context
// message, a separator (two line breaks unless given) and the error's description, with the
// exclamation icon; restores the default mouse pointer.
void ReportError(const std::string& context, const ComError& e,
                 const std::string& separator = "\n\n");
// The same for failures that are not ComErrors (out of memory, a library's exception).
void ReportError(const std::string& context, const std::exception& e,
                 const std::string& separator = "\n\n");

} // namespace zelk::common
