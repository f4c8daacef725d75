#pragma once

#include "platform/Error.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace zelk::fuzz {

inline std::string Text(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// Refusing input with the platform's own error is the expected answer to bad text; anything
// else escaping (another exception type, a crash, a sanitizer report) is a finding.
template <class F> void Refusable(F&& f) {
    try {
        f();
    } catch (const ComError&) {
    }
}

// A finding that is no crash: a broken promise of the code under test.
[[noreturn]] void Broken(const char* what, const std::string& detail);

} // namespace zelk::fuzz
