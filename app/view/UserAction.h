#pragma once

#include <functional>

namespace zelk::view {

// Runs what a user's action causes in the model. A run-time error that escapes the model's own
// handlers is shown to the user instead of unwinding through the Qt event loop. Returns whether
// the action ran without an error.
bool RunUserAction(const std::function<void()>& action);

} // namespace zelk::view
