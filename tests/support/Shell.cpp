#include "support/Shell.h"

#include <array>
#include <cstdio>
#include <sys/wait.h>

namespace zelk::testing {

ShellRun Shell(const std::string& command) {
    ShellRun r;
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p) return r;
    std::array<char, 4096> buf{};
    std::size_t n = 0;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0)
        r.output.append(buf.data(), n);
    const int status = pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

bool HaveProgram(const std::string& name) {
    return Shell("command -v " + name).status == 0;
}

} // namespace zelk::testing
