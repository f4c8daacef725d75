#include "common/FrameworkClasses.h"

#include "platform/Error.h"

#include <utility>

namespace zelk::common {

namespace {
ObjectFactory& ChangeRecorderFactory() {
    static ObjectFactory factory;
    return factory;
}
} // namespace

void SetChangeRecorderFactory(ObjectFactory factory) {
    ChangeRecorderFactory() = std::move(factory);
}

ObjectPtr NewChangeRecorder() {
    auto& factory = ChangeRecorderFactory();
    if (!factory) Raise(429, "The framework's change recorder class is not available");
    return factory();
}

} // namespace zelk::common
