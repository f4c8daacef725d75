#pragma once

#include "host/bo/SqlPort.h"
#include "host/data/DataService.h"
#include "platform/ProgIdRegistry.h"

#include <memory>

namespace zelk::bo {

// Registers the business-object classes under their programmatic identifiers; every object
// made by them reads and writes through port.
void RegisterBusinessObjects(ProgIdRegistry& registry, std::shared_ptr<SqlPort> port);
// The same on the host's data service.
void RegisterBusinessObjects(ProgIdRegistry& registry, host::DataServicePtr db);

} // namespace zelk::bo
