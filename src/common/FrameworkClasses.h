#pragma once

#include "platform/Dispatch.h"

#include <functional>

namespace zelk::common {

// Classes of the host framework library that the module creates with New rather than by
// programmatic identifier. The host that links the framework installs their factories.
using ObjectFactory = std::function<ObjectPtr()>;

void SetChangeRecorderFactory(ObjectFactory factory);
// A new change recorder; error 429 when no host installed the class.
ObjectPtr NewChangeRecorder();

} // namespace zelk::common
