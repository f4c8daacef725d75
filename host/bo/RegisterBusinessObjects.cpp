#include "host/bo/RegisterBusinessObjects.h"

#include "host/bo/DataServiceSqlPort.h"
#include "host/bo/ShapeImpl.h"

namespace zelk::bo {

void RegisterBusinessObjects(ProgIdRegistry& registry, std::shared_ptr<SqlPort> port) {
    auto store = std::make_shared<Store>(std::move(port));
    registry.Register("ZELK_ManagedAreaClient.CShape",
                      [store] { return std::make_shared<ShapeImpl>(store); });
    registry.Register("ZELK_ManagedAreaClient.CManagedArea",
                      [store] { return std::make_shared<ManagedAreaImpl>(store); });
    auto child = [&](const char* progId, const TableDef& def, const SubListDef* sub = nullptr) {
        std::string id(progId);
        registry.Register(id, [store, id, &def, sub] {
            return std::make_shared<ChildItem>(id, def, store, sub);
        });
    };
    child("ZELK_ManagedAreaClient.CElement", ChildTable(static_cast<int>(ChildList::Elements)));
    child("ZELK_ManagedAreaClient.COwner", ChildTable(static_cast<int>(ChildList::Owners)));
    child("ZELK_ManagedAreaClient.CKeyword", ChildTable(static_cast<int>(ChildList::Keywords)));
    child("ZELK_ManagedAreaClient.CDLocalJuris", LocalJurisdictionDomainTable());
    static const SubListDef usedBy{"UsedBy", &KeywordUsedByTable(),
                                   "ZELK_ManagedAreaClient.CMAKwUsedBy"};
    child("ZELK_ManagedAreaClient.CDMAKeyword", KeywordDomainTable(), &usedBy);
    child("ZELK_ManagedAreaClient.CMAKwUsedBy", KeywordUsedByTable());
}

void RegisterBusinessObjects(ProgIdRegistry& registry, host::DataServicePtr db) {
    RegisterBusinessObjects(registry, std::make_shared<DataServiceSqlPort>(std::move(db)));
}

} // namespace zelk::bo
