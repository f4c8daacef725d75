#include "host/app/DataClient.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ProgIdRegistry.h"

namespace zelk::host {

bool IsPlainIdentifier(const std::string& name) {
    if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
    for (char ch : name)
        if (!((ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') ||
              ch == '_'))
            return false;
    return true;
}

DataClient::DataClient(DataServicePtr db) : Dispatch("Query"), db_(std::move(db)) {
    DefineMethod("Connect", [this](Args& a) {
        Connect(CStr(Arg(a, 0)), Arg(a, 1).IsEmpty() ? 1 : CLng(Arg(a, 1)));
        return Variant();
    });
    DefineMethod("Query", [this](Args& a) {
        return Variant(ObjectPtr(Query(CStr(Arg(a, 0)), CStr(Arg(a, 1)), CStr(Arg(a, 2)))));
    });
}

void DataClient::Connect(const std::string& /*serverName*/, int /*serverType*/) {
    // The reference host has one database; the name and type only say which one is meant.
    connected_ = true;
}

RecordsetPtr DataClient::Query(const std::string& table, const std::string& columns,
                               const std::string& orderBy) {
    if (!connected_) Raise(err::InvalidProcedureCall, "The data client is not connected");
    auto check = [](const std::string& name) {
        if (!IsPlainIdentifier(name)) Raise(err::InvalidArgument, "Not a table or column name");
        return name;
    };
    std::string sql = "SELECT ";
    bool first = true;
    for (const auto& c : Split(columns, ",")) {
        sql += (first ? "" : ", ") + check(Trim(c));
        first = false;
    }
    sql += " FROM " + check(table);
    if (!orderBy.empty()) sql += " ORDER BY " + check(orderBy);
    return db_->Query(sql);
}

void RegisterDataClient(ProgIdRegistry& registry, const DataServicePtr& db) {
    registry.Register("ZELK_DataClient.Query", [db] { return std::make_shared<DataClient>(db); });
}

} // namespace zelk::host
