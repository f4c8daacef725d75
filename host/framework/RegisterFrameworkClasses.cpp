#include "host/framework/RegisterFrameworkClasses.h"

#include "host/bo/DataServiceSqlPort.h"
#include "host/framework/AuditLogItem.h"
#include "host/framework/UserOptions.h"

namespace zelk::host {

void RegisterFrameworkClasses(ProgIdRegistry& registry, const DataServicePtr& db) {
    auto store = std::make_shared<bo::Store>(std::make_shared<bo::DataServiceSqlPort>(db));
    ComponentCollection::Factory create = [&registry](std::string_view progId) {
        return registry.Create(progId);
    };
    registry.Register("ClientFramework.ComponentCollection", [store, create] {
        return std::make_shared<ComponentCollection>(create, store);
    });
    registry.Register("ZELK_UserOptClient.UserOptClient",
                      [store] { return std::make_shared<UserOption>(store); });
    registry.Register("ZELK_UserOpCatClient.UserOpCatClient", [store, create] {
        return std::make_shared<UserOptionCategory>(store, create);
    });
    registry.Register("ZELK_AuditLogClient.cAuditLog",
                      [store] { return std::make_shared<AuditLogItem>(store); });
}

} // namespace zelk::host
