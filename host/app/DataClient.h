#pragma once

#include "host/data/DataService.h"
#include "platform/Dispatch.h"
#include "platform/ProgIdRegistry.h"

#include <string>

namespace zelk::host {

// "ZELK_DataClient.Query": the lookup reader of the maker's controls. It reads whole lookup
// tables only: table and column names must be plain identifiers, so no caller text ever
// becomes SQL.
//
//   Connect(serverName, serverType)
//   Query(table, columns, orderBy) -> Recordset   columns comma-separated; orderBy may be ""
class DataClient : public Dispatch {
public:
    explicit DataClient(DataServicePtr db);
    void Connect(const std::string& serverName, int serverType);
    RecordsetPtr Query(const std::string& table, const std::string& columns,
                       const std::string& orderBy);

private:
    DataServicePtr db_;
    bool connected_ = false;
};

// Letters, digits and underscores, not starting with a digit.
bool IsPlainIdentifier(const std::string& name);

void RegisterDataClient(ProgIdRegistry& registry, const DataServicePtr& db);

} // namespace zelk::host
