#include "host/bo/DataServiceSqlPort.h"

#include "platform/Error.h"

namespace zelk::bo {

DataServiceSqlPort::DataServiceSqlPort(host::DataServicePtr db) : db_(std::move(db)) {
    if (!db_) Raise(err::ObjectRequired, "Object required: the data service", "DataService");
}

void DataServiceSqlPort::CountAndMaybeFail(const std::string& sql) {
    ++statements_;
    if (failAt_ > 0 && --failAt_ == 0)
        Raise(err::ProviderError, "Injected failure at: " + sql, "DataService");
}

SqlResult ReadAll(Recordset& rs) {
    SqlResult r;
    Fields fields = rs.GetFields();
    const auto n = static_cast<std::size_t>(fields.Count());
    r.columns.reserve(n);
    for (std::size_t c = 0; c < n; ++c)
        r.columns.push_back(fields.Item(c).Name());
    for (; !rs.EOF(); rs.MoveNext()) {
        auto& row = r.rows.emplace_back();
        row.reserve(n);
        for (std::size_t c = 0; c < n; ++c)
            row.push_back(fields.Item(c).Value());
    }
    return r;
}

SqlResult DataServiceSqlPort::Query(const std::string& sql, const std::vector<Variant>& params) {
    ++statements_;
    return ReadAll(*db_->Query(sql, params));
}

ExecResult DataServiceSqlPort::Execute(const std::string& sql, const std::vector<Variant>& params) {
    CountAndMaybeFail(sql);
    ExecResult r;
    r.rowsChanged = db_->Execute(sql, params);
    r.lastInsertId = db_->LastInsertId();
    return r;
}

void DataServiceSqlPort::Begin() {
    db_->Begin();
}

void DataServiceSqlPort::Commit() {
    CountAndMaybeFail("COMMIT");
    db_->Commit();
}

void DataServiceSqlPort::Rollback() {
    db_->Rollback();
}

} // namespace zelk::bo
