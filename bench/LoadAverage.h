#pragma once

#include <fstream>
#include <string>

// The machine's load average over 1, 5 and 15 minutes, printed with every figure: the machine
// is shared, and a time means little without the load it was taken under.
inline std::string LoadAverage() {
    std::ifstream f("/proc/loadavg");
    std::string a, b, c;
    f >> a >> b >> c;
    return a + " " + b + " " + c;
}
