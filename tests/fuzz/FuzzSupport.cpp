#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>

namespace zelk::fuzz {

void Broken(const char* what, const std::string& detail) {
    std::fprintf(stderr, "broken promise: %s\n%s\n", what, detail.c_str());
    std::abort();
}

} // namespace zelk::fuzz
