#pragma once

#include <string>

namespace zelk::admin {

// A password typed on the terminal without echo (asked twice when `confirm`), or, when
// standard input is no terminal, the first line read from it: never from the command line,
// where other processes could read it.
std::string ReadPassword(const std::string& prompt, bool confirm);
// Asks on the terminal (/dev/tty) only; "" when there is none.
std::string AskOnTerminal(const std::string& prompt);

} // namespace zelk::admin
