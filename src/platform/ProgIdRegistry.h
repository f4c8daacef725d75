#pragma once

#include "platform/Dispatch.h"

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zelk {

// Factories for classes named by programmatic identifier. Identifiers compare
// case-insensitively ("ClientFramework.X" and "ClientFrameWork.X" are one class).
class ProgIdRegistry {
public:
    using Factory = std::function<ObjectPtr()>;

    static ProgIdRegistry& Instance();

    void Register(std::string_view progId, Factory f);
    void Unregister(std::string_view progId);
    bool IsRegistered(std::string_view progId) const;
    // Error 429 when the identifier is unknown.
    ObjectPtr Create(std::string_view progId) const;
    std::vector<std::string> ProgIds() const;

private:
    std::unordered_map<std::string, Factory, IHash, IEqual> factories_;
};

ObjectPtr CreateObject(std::string_view progId);

} // namespace zelk
