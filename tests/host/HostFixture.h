#pragma once

#include "host/data/DataService.h"
#include "host/sample/SampleData.h"
#include "host/sql/OracleQuery.h"
#include "platform/Conv.h"
#include "support/TestBackend.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace zelk::host::test {

// A database of its own with the schema and 500 generated managed areas.
class SampleDbTest : public ::testing::Test {
protected:
    void SetUp() override { db = zelk::testing::NewTestDataService(500, 7); }

    RecordsetPtr Oracle(const std::string& sql) {
        return QueryOracle(*db, translator, sql, db->Dialect());
    }
    long Scalar(const std::string& sql) {
        auto rs = db->Query(sql);
        return CLng(rs->GetFields().Item(std::size_t{0}).Value());
    }

    // Every row of every table as text; equal dumps mean an unchanged database.
    std::string Dump() {
        std::string out;
        auto tables =
            db->Query("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name");
        for (; !tables->EOF(); tables->MoveNext()) {
            std::string t = CStr(tables->Value("name"));
            auto rows = db->Query("SELECT * FROM " + t + " ORDER BY 1");
            out += t + ":\n";
            Fields f = rows->GetFields();
            for (; !rows->EOF(); rows->MoveNext()) {
                for (long c = 0; c < f.Count(); ++c) {
                    Variant v = f.Item(static_cast<std::size_t>(c)).Value();
                    out += (v.IsNull() ? "<null>" : CStr(v)) + "|";
                }
                out += "\n";
            }
        }
        return out;
    }

    // The values of one column, in the recordset's order.
    static std::vector<std::string> Column(const RecordsetPtr& rs, const std::string& name) {
        std::vector<std::string> out;
        if (rs->RecordCount() == 0) return out;
        for (rs->MoveFirst(); !rs->EOF(); rs->MoveNext())
            out.push_back(CStr(rs->Value(name)));
        return out;
    }

    std::shared_ptr<DataService> db;
    sql::OracleTranslator translator;
};

} // namespace zelk::host::test
