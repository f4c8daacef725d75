#pragma once

#include "host/data/DataService.h"
#include "platform/ProgIdRegistry.h"

namespace zelk::host {

// Registers "ClientFramework.ComponentCollection", the option clients
// "ZELK_UserOptClient.UserOptClient" and "ZELK_UserOpCatClient.UserOpCatClient" and the
// audit-log item "ZELK_AuditLogClient.cAuditLog", all working on db. Collections make their
// items through registry, which must outlive them. The change recorder is made directly
// (ChangeRecorder.h), not by identifier.
void RegisterFrameworkClasses(ProgIdRegistry& registry, const DataServicePtr& db);

} // namespace zelk::host
