#include "platform/ProgIdRegistry.h"

#include "platform/Error.h"

namespace zelk {

ProgIdRegistry& ProgIdRegistry::Instance() {
    static ProgIdRegistry registry;
    return registry;
}

void ProgIdRegistry::Register(std::string_view progId, Factory f) {
    factories_[std::string(progId)] = std::move(f);
}

void ProgIdRegistry::Unregister(std::string_view progId) {
    auto it = factories_.find(progId);
    if (it != factories_.end()) factories_.erase(it);
}

bool ProgIdRegistry::IsRegistered(std::string_view progId) const {
    return factories_.find(progId) != factories_.end();
}

ObjectPtr ProgIdRegistry::Create(std::string_view progId) const {
    auto it = factories_.find(progId);
    if (it == factories_.end() || !it->second)
        Raise(err::CannotCreateObject,
              "ActiveX component can't create object: " + std::string(progId));
    ObjectPtr obj = it->second();
    if (!obj)
        Raise(err::CannotCreateObject,
              "ActiveX component can't create object: " + std::string(progId));
    return obj;
}

std::vector<std::string> ProgIdRegistry::ProgIds() const {
    std::vector<std::string> ids;
    ids.reserve(factories_.size());
    for (const auto& [id, f] : factories_)
        ids.push_back(id);
    return ids;
}

ObjectPtr CreateObject(std::string_view progId) {
    return ProgIdRegistry::Instance().Create(progId);
}

} // namespace zelk
