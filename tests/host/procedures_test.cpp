#include "HostFixture.h"

#include "host/procs/ServerProcedures.h"
#include "platform/Error.h"

#include <map>

namespace zelk::host::test {
namespace {

class ProceduresTest : public SampleDbTest {
protected:
    // Every table with a column that points at a managed area, and that column.
    std::map<std::string, std::string> ChildTables() {
        auto rs = db->Query("SELECT m.name AS t, f.\"from\" AS c FROM sqlite_master m, "
                            "pragma_foreign_key_list(m.name) f WHERE m.type = 'table' AND "
                            "f.\"table\" = 'ma' AND m.name <> 'ma'");
        std::map<std::string, std::string> out;
        for (; !rs->EOF(); rs->MoveNext())
            out[CStr(rs->Value("t"))] = CStr(rs->Value("c"));
        return out;
    }
    // The server checks every foreign key as each statement runs; SQLite is asked.
    void ExpectForeignKeysHold() {
        if (!zelk::testing::OnPostgres()) {
            EXPECT_EQ(db->Query("PRAGMA foreign_key_check")->RecordCount(), 0);
        }
    }
    long Rows(const std::string& table, const std::string& column, long id) {
        return Scalar("SELECT count(*) FROM " + table + " WHERE " + column + " = " +
                      std::to_string(id));
    }
    // An area with rows in every child table: the generated ones plus the kinds the sample
    // leaves out.
    long FullArea() {
        long id = Scalar("SELECT managed_area_id FROM element_managed_area e WHERE EXISTS "
                         "(SELECT 1 FROM managed_area_reference r WHERE r.managed_area_id = "
                         "e.managed_area_id) AND EXISTS (SELECT 1 FROM managed_area_alias a WHERE "
                         "a.managed_area_id = e.managed_area_id) ORDER BY 1 LIMIT 1");
        const std::string s = std::to_string(id);
        db->ExecScript(
            "INSERT INTO managed_area_trs (managed_area_id, town_range, section) VALUES (" + s +
            ", 'T12N R3W', '14');"
            "INSERT INTO managed_area_legal (managed_area_id, legal_act) VALUES (" +
            s +
            ", 'Act 12');"
            "INSERT INTO managed_area_mgmt_year (managed_area_id, managed_area_mgmt_year) VALUES "
            "(" +
            s +
            ", 2004);"
            "INSERT INTO managed_area_site (managed_area_id, conservation_site_id) VALUES (" +
            s +
            ", 3);"
            "INSERT INTO managed_area_local_juris (managed_area_id, d_local_jurisdiction_id) "
            "VALUES (" +
            s +
            ", 1);"
            "INSERT INTO managed_area_mapsheet (managed_area_id, d_mapsheet_id) VALUES (" +
            s +
            ", 5);"
            "INSERT INTO managed_area_keyword (managed_area_id, d_managed_area_keyword_id) VALUES "
            "(" +
            s +
            ", 2);"
            "INSERT INTO shape_attribute (shape_id, attribute_name, attribute_value) SELECT "
            "shape_id, "
            "'Perimeter', '12.5' FROM ma WHERE managed_area_id = " +
            s + ";");
        return id;
    }
};

TEST_F(ProceduresTest, DeleteLeavesNothingBehind) {
    const long id = FullArea();
    const long shape =
        Scalar("SELECT shape_id FROM ma WHERE managed_area_id = " + std::to_string(id));
    db->Execute("UPDATE ma SET major_ma_id = ? WHERE managed_area_id IN (1, 2)",
                {static_cast<int>(id)});
    std::map<std::string, long> others;
    for (const auto& [t, c] : ChildTables()) {
        EXPECT_GT(Rows(t, c, id), 0) << t;
        others[t] = Scalar("SELECT count(*) FROM " + t) - Rows(t, c, id);
    }
    const long audits = Scalar("SELECT count(*) FROM audit_log");
    const std::string mine = " AND audit_log_id > " + std::to_string(audits);

    EXPECT_TRUE(RunDeleteProcedure(*db, "delete_ma_data", id, "tester"));
    const std::string who = zelk::testing::ActingUser(*db, "tester");
    for (const auto& [t, c] : ChildTables()) {
        EXPECT_EQ(Rows(t, c, id), 0) << t;
        EXPECT_EQ(Scalar("SELECT count(*) FROM " + t), others[t]) << t;
    }
    EXPECT_EQ(Rows("ma", "managed_area_id", id), 0);
    EXPECT_EQ(Rows("shape", "shape_id", shape), 0);
    EXPECT_EQ(Rows("shape_attribute", "shape_id", shape), 0);
    EXPECT_EQ(
        Scalar("SELECT count(*) FROM ma WHERE managed_area_id IN (1, 2) AND major_ma_id IS NULL"),
        2);
    ExpectForeignKeysHold();
    EXPECT_EQ(Scalar("SELECT count(*) FROM ma"), 499);
    // Each removed row is in the audit trail, in the name of the user who deleted it.
    EXPECT_GT(Scalar("SELECT count(*) FROM audit_log"), audits);
    EXPECT_EQ(Scalar("SELECT count(*) FROM audit_log WHERE (user_name IS NULL OR user_name <> '" +
                     who + "')" + mine),
              0);
    EXPECT_EQ(Scalar("SELECT count(*) FROM audit_log WHERE action = 'D' AND table_name = 'ma' "
                     "AND record_id = " +
                     std::to_string(id)),
              1);

    const std::string before = Dump();
    EXPECT_FALSE(DeleteManagedAreaData(*db, id, "tester"));
    EXPECT_FALSE(DeleteManagedAreaData(*db, 999999, "tester"));
    EXPECT_THROW(RunDeleteProcedure(*db, "drop_everything", 3, "tester"), ComError);
    EXPECT_EQ(Dump(), before);
}

TEST_F(ProceduresTest, CopyAddsTheSourceDataToTheTarget) {
    const long source = FullArea();
    const std::string src = std::to_string(source);
    db->ExecScript("INSERT INTO shape (shape_id) VALUES (9001);"
                   "INSERT INTO ma (managed_area_id, shape_id, managed_area_name, macode_bcd, "
                   "manager) VALUES (9001, 9001, 'New Tract', 'XX9001', 'Own Manager');"
                   "INSERT INTO managed_area_county (managed_area_id, d_county_id, display_order) "
                   "SELECT 9001, d_county_id, 1 FROM managed_area_county WHERE managed_area_id = " +
                   src +
                   " LIMIT 1;"
                   "UPDATE ma SET major_ma_id = 9001, manager = NULL WHERE managed_area_id = " +
                   src);
    const std::string sourceRows = Dump();

    EXPECT_TRUE(RunCopyProcedure(*db, "COPY_MA", source, 9001, "tester"));
    const std::string who = zelk::testing::ActingUser(*db, "tester");
    auto t = db->Query("SELECT * FROM ma WHERE managed_area_id = 9001");
    auto s = db->Query("SELECT * FROM ma WHERE managed_area_id = " + src);
    EXPECT_EQ(CStr(t->Value("managed_area_name")), "New Tract");
    EXPECT_EQ(CStr(t->Value("macode_bcd")), "XX9001");
    EXPECT_EQ(CLng(t->Value("shape_id")), 9001);
    EXPECT_EQ(CStr(t->Value("manager")), "Own Manager"); // the source has none
    EXPECT_TRUE(t->Value("major_ma_id").IsNull());       // not the target itself
    EXPECT_EQ(CStr(t->Value("managed_area_desc")), CStr(s->Value("managed_area_desc")));
    EXPECT_EQ(CDbl(t->Value("total_area_acres")), CDbl(s->Value("total_area_acres")));
    EXPECT_EQ(CStr(t->Value("rec_last_mod_user")), who);

    // Every child row of the source has its copy; the county both had is there once, and the
    // copies follow the target's own rows.
    for (const auto& [table, col] : ChildTables())
        EXPECT_EQ(Rows(table, col, 9001), Rows(table, col, source)) << table;
    EXPECT_EQ(Scalar("SELECT count(*) FROM (SELECT d_county_id FROM managed_area_county WHERE "
                     "managed_area_id = 9001 GROUP BY d_county_id HAVING count(*) > 1) twice"),
              0);
    EXPECT_EQ(Scalar("SELECT count(*) FROM managed_area_county WHERE managed_area_id = 9001 AND "
                     "display_order = 1"),
              1);
    EXPECT_EQ(Scalar("SELECT count(*) FROM element_managed_area WHERE managed_area_id = 9001 AND "
                     "(rec_create_user IS NULL OR rec_create_user <> '" +
                     who + "')"),
              0);
    ExpectForeignKeysHold();

    // A second copy finds nothing new; the source itself never changes.
    const std::string once = Dump();
    EXPECT_TRUE(CopyManagedAreaData(*db, source, 9001, "tester"));
    for (const auto& [table, col] : ChildTables())
        EXPECT_EQ(Rows(table, col, 9001), Rows(table, col, source)) << table;
    EXPECT_EQ(Scalar("SELECT count(*) FROM ma WHERE managed_area_id = " + src +
                     " AND rec_last_mod_user = '" + who + "'"),
              0);

    EXPECT_FALSE(CopyManagedAreaData(*db, 999999, 9001, "tester"));
    EXPECT_FALSE(CopyManagedAreaData(*db, source, 999999, "tester"));
    EXPECT_THROW(CopyManagedAreaData(*db, 9001, 9001, "tester"), ComError);
    EXPECT_THROW(RunCopyProcedure(*db, "COPY_ALL", source, 9001, "tester"), ComError);
}

TEST_F(ProceduresTest, AFailureHalfwayChangesNothing) {
    const long id = FullArea();
    db->ExecScript("INSERT INTO shape (shape_id) VALUES (9001); INSERT INTO ma (managed_area_id, "
                   "shape_id, managed_area_name) VALUES (9001, 9001, 'Target');");
    const std::string before = Dump();
    // On a file the procedures' own statements fail; on a server, the rows they write.
    std::string failOn;
    const bool server = zelk::testing::OnPostgres();
    zelk::testing::SetStatementHook(*db, [&](const std::string& sql) {
        if (!failOn.empty() && sql.find(failOn) != std::string::npos)
            throw ComError(err::ProviderError, "The disk is full; the change was not saved.");
    });
    auto fail = [&](const std::string& statement, const std::string& table, const std::string& op) {
        if (!server) {
            failOn = statement;
            return;
        }
        zelk::testing::FailOnServer(*db, table, op);
    };
    auto stop = [&](const std::string& table) {
        if (server) zelk::testing::StopFailingOnServer(*db, table);
    };

    fail("DELETE FROM managed_area_owner", "managed_area_owner", "DELETE");
    EXPECT_THROW(DeleteManagedAreaData(*db, id, "tester"), ComError);
    EXPECT_FALSE(db->InTransaction());
    EXPECT_EQ(Dump(), before);
    stop("managed_area_owner");

    fail("DELETE FROM shape WHERE", "shape", "DELETE");
    EXPECT_THROW(DeleteManagedAreaData(*db, id, "tester"), ComError);
    EXPECT_EQ(Dump(), before);
    stop("shape");

    fail("INSERT INTO managed_area_reference", "managed_area_reference", "INSERT");
    EXPECT_THROW(CopyManagedAreaData(*db, id, 9001, "tester"), ComError);
    EXPECT_EQ(Dump(), before);
    stop("managed_area_reference");

    // Inside a caller's transaction the procedure's part alone goes; the caller's stays.
    fail("DELETE FROM managed_area_site", "managed_area_site", "DELETE");
    db->Begin();
    db->Execute("UPDATE ma SET manager = 'Kept' WHERE managed_area_id = 1");
    EXPECT_THROW(DeleteManagedAreaData(*db, id, "tester"), ComError);
    EXPECT_EQ(Rows("ma", "managed_area_id", id), 1);
    EXPECT_EQ(Scalar("SELECT count(*) FROM ma WHERE manager = 'Kept'"), 1);
    db->Rollback();
    EXPECT_EQ(Dump(), before);
    stop("managed_area_site");

    failOn.clear();
    EXPECT_TRUE(DeleteManagedAreaData(*db, id, "tester"));
    EXPECT_EQ(Rows("ma", "managed_area_id", id), 0);
}

} // namespace
} // namespace zelk::host::test
