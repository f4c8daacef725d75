#include "script/Keys.h"

#include "platform/Strings.h"
#include "platform/ui/Control.h"

#include <cstdlib>

namespace zelk::script {

KeyStroke ParseKey(const std::string& text) {
    KeyStroke k;
    std::string rest = Trim(text);
    for (;;) {
        std::size_t plus = rest.find('+');
        if (plus == std::string::npos || plus + 1 >= rest.size()) break;
        std::string mod = LCase(Trim(rest.substr(0, plus)));
        if (mod == "ctrl")
            k.shift |= key::CtrlMask;
        else if (mod == "shift")
            k.shift |= key::ShiftMask;
        else if (mod == "alt")
            k.shift |= key::AltMask;
        else
            return {};
        rest = Trim(rest.substr(plus + 1));
    }
    std::string name = UCase(rest);
    if (name.size() == 1 &&
        ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= '0' && name[0] <= '9')))
        k.code = name[0];
    else if (name.size() >= 2 && name.size() <= 3 && name[0] == 'F' &&
             name.find_first_not_of("0123456789", 1) == std::string::npos) {
        int n = std::atoi(name.c_str() + 1);
        if (n >= 1 && n <= 12) k.code = key::F1 + n - 1;
    } else if (name == "RETURN" || name == "ENTER")
        k.code = key::Return;
    else if (name == "ESCAPE" || name == "ESC")
        k.code = key::Escape;
    else if (name == "TAB")
        k.code = key::Tab;
    else if (name == "DEL" || name == "DELETE")
        k.code = key::Delete;
    else if (name == "BACK" || name == "BACKSPACE")
        k.code = key::Back;
    if (!k.code) return {};
    return k;
}

} // namespace zelk::script
