#pragma once

#include <string>

namespace zelk::script {

struct KeyStroke {
    int code = 0; // 0 when the text names no key
    int shift = 0;
};

// A key as the user names it: "Ctrl+S", "F1", "Shift+F3", "Return", "Escape", "Tab", "Del".
KeyStroke ParseKey(const std::string& text);

} // namespace zelk::script
