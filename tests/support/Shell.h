#pragma once

#include <string>

namespace zelk::testing {

// The output (stdout and stderr) of a shell command, and its exit status.
struct ShellRun {
    std::string output;
    int status = -1;
};
ShellRun Shell(const std::string& command);
bool HaveProgram(const std::string& name);

} // namespace zelk::testing
