#pragma once

#include "injection/HostileStrings.h"
#include "support/FaultInjector.h"
#include "support/ScriptedUi.h"

#include "host/ReferenceHost.h"

#include <string>

namespace zelk::testing {

// A message may quote what the user typed; only the rest of it must not be SQL.
inline bool ShowsSql(std::string message, const std::string& typed) {
    if (!typed.empty())
        for (auto p = message.find(typed); p != std::string::npos; p = message.find(typed, p))
            message.replace(p, typed.size(), "<typed>");
    return LooksLikeSql(message);
}

// A short printable form of a hostile string for failure messages.
inline std::string Shown(const std::string& s) {
    std::string out;
    for (char c : s.substr(0, 40))
        out += (c >= 32 && c < 127) ? std::string(1, c) : "\\x" + std::to_string(int(c) & 0xff);
    if (s.size() > 40) out += "...(" + std::to_string(s.size()) + " bytes)";
    return out;
}

} // namespace zelk::testing
