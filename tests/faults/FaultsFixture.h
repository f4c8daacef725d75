#pragma once

#include "editor/SearchPicks.h"
#include "editor/WorkingListSupport.h"
#include "support/FaultInjector.h"

#include <memory>
#include <string>
#include <vector>

namespace zelk::testing {

// The editor on a sample host whose database can be made to fail at any statement.
class FaultsTest : public WorkingListTest {
protected:
    void SetUp() override {
        WorkingListTest::SetUp();
        // Records with a shape drawn in the GIS cannot be deleted.
        host->Db()->Execute("UPDATE shape SET has_shape_ind = 'N'");
        faults = std::make_unique<FaultInjector>(host->Db());
    }
    void TearDown() override {
        faults.reset();
        WorkingListTest::TearDown();
    }
    static Fault KindFor(long n) { return static_cast<Fault>(n % 3); }
    std::string Snapshot() {
        faults->Off();
        return DatabaseSnapshot(*host->Db());
    }
    // Every message shown since the log was cleared; none may show SQL.
    void ExpectToldWithoutSql(long n) {
        const auto shown = ui->Messages();
        EXPECT_FALSE(shown.empty())
            << "statement " << n << " (" << faults->FailedStatement() << ") failed silently";
        for (const auto& m : shown)
            EXPECT_FALSE(LooksLikeSql(m)) << "statement " << n << ": " << m;
    }
    // The text the data service gives the fault, which the user must see.
    static std::string Cause(Fault kind) { return FaultCause(kind); }
    bool Mentions(const std::string& what) {
        for (const auto& m : ui->Messages())
            if (m.find(what) != std::string::npos) return true;
        return false;
    }
    std::string Of(long id, const std::string& column) {
        return Db1("SELECT " + column + " FROM ma WHERE managed_area_id = " + std::to_string(id));
    }
    long Rows(const std::string& table, long id) {
        return FirstId("SELECT COUNT(*) FROM " + table +
                       " WHERE managed_area_id = " + std::to_string(id));
    }

    // The first managed area (by ID) that the condition on "ma m" selects; fails when none.
    long FindRecord(const std::string& condition) {
        long id = FirstId("SELECT m.managed_area_id FROM ma m WHERE " + condition +
                          " ORDER BY m.managed_area_id LIMIT 1");
        if (id < 0) ADD_FAILURE() << "no sample record where " << condition;
        return id;
    }
    static std::string Has(const std::string& table, int atLeast = 1) {
        return "(SELECT COUNT(*) FROM " + table +
               " c WHERE c.managed_area_id = m.managed_area_id) >= " + std::to_string(atLeast);
    }

    std::unique_ptr<FaultInjector> faults;
    long points = 0; // fault points exercised by the test
};

} // namespace zelk::testing
