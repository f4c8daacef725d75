#pragma once

#include "host/bo/SqlPort.h"
#include "platform/ProgIdRegistry.h"

#include <memory>

namespace zelk::bo {

// Registers the business-object classes under their programmatic identifiers; every object
// made by them reads and writes through port.
void RegisterBusinessObjects(ProgIdRegistry& registry, std::shared_ptr<SqlPort> port);

} // namespace zelk::bo
