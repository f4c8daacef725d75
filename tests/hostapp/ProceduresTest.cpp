#include "host/data/DataService.h"
#include "host/procs/ServerProcedures.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "support/Errors.h"
#include "support/TestBackend.h"

#include <gtest/gtest.h>

namespace zelk::host {
namespace {

class ProceduresTest : public ::testing::Test {
protected:
    void SetUp() override {
        db = zelk::testing::NewTestDataService();
        db->ExecScript(R"(
            INSERT INTO shape (shape_id, has_shape_ind) VALUES (1, 'N'), (2, 'N');
            INSERT INTO ma (managed_area_id, shape_id, macode_bcd, managed_area_name, manager, mgmt_com)
                VALUES (10, 1, 'MA.10', 'Oak Hollow', 'Parks Dept', 'burn plan'),
                       (20, 2, 'MA.20', 'Laramie Marsh', NULL, NULL);
            INSERT INTO shape_attribute (shape_id, attribute_name, attribute_value) VALUES (1, 'Perimeter', '12.5');
            INSERT INTO managed_area_alias (managed_area_id, managed_area_alias, display_order)
                VALUES (10, 'The Hollow', 1), (10, 'Oak H.', 2), (20, 'Old marsh', 1);
            INSERT INTO managed_area_owner (managed_area_id, owner_name, display_order) VALUES (10, 'Smith', 1);
        )");
        zelk::testing::KeysWritten(*db);
    }
    long Count(const std::string& sql) { return CLng(db->Query(sql)->Value("n")); }
    std::shared_ptr<DataService> db;
};

TEST_F(ProceduresTest, DeleteLeavesNothingOfTheRecordBehind) {
    EXPECT_TRUE(RunDeleteProcedure(*db, "delete_ma_data", 10, "ann"));
    for (const char* t : {"managed_area_alias", "managed_area_owner", "managed_area_county",
                          "managed_area_keyword", "element_managed_area"})
        EXPECT_EQ(
            Count(std::string("SELECT COUNT(*) AS n FROM ") + t + " WHERE managed_area_id = 10"), 0)
            << t;
    EXPECT_EQ(Count("SELECT COUNT(*) AS n FROM ma WHERE managed_area_id = 10"), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) AS n FROM shape WHERE shape_id = 1"), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) AS n FROM shape_attribute"), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) AS n FROM managed_area_alias"), 1) << "the other record stays";
    EXPECT_FALSE(RunDeleteProcedure(*db, "delete_ma_data", 10, "ann")) << "already gone";
    EXPECT_EQ(testing::ErrorOf([&] { RunDeleteProcedure(*db, "drop_everything", 1, "ann"); }),
              err::InvalidArgument);
}

TEST_F(ProceduresTest, AFailureInTheMiddleRollsEverythingBack) {
    // Fail the first child insert of the copy, after the record's fields were updated and the
    // target's first list emptied.
    // On a server the procedure runs there: the copy's alias rows fail instead.
    const bool server = zelk::testing::OnPostgres();
    int inserts = 0;
    zelk::testing::SetStatementHook(*db, [&](const std::string& sql) {
        if (sql.rfind("INSERT INTO", 0) == 0 && ++inserts == 2)
            Raise(err::ProviderError, "disk full");
    });
    if (server) zelk::testing::FailOnServer(*db, "managed_area_alias", "INSERT");
    EXPECT_NE(testing::ErrorOf([&] { RunCopyProcedure(*db, "COPY_MA", 10, 20, "ann"); }), 0);
    zelk::testing::SetStatementHook(*db, nullptr);
    if (server) zelk::testing::StopFailingOnServer(*db, "managed_area_alias");
    EXPECT_FALSE(db->InTransaction());
    EXPECT_TRUE(
        db->Query("SELECT manager FROM ma WHERE managed_area_id = 20")->Value("manager").IsNull());
    EXPECT_EQ(Count("SELECT COUNT(*) AS n FROM managed_area_alias WHERE managed_area_id = 20"), 1);

    int deletes = 0;
    zelk::testing::SetStatementHook(*db, [&](const std::string& sql) {
        if (sql.rfind("DELETE FROM ma ", 0) == 0 && ++deletes == 1)
            Raise(err::ProviderError, "locked");
    });
    if (server) zelk::testing::FailOnServer(*db, "ma", "DELETE");
    EXPECT_NE(testing::ErrorOf([&] { RunDeleteProcedure(*db, "delete_ma_data", 10, "ann"); }), 0);
    zelk::testing::SetStatementHook(*db, nullptr);
    if (server) zelk::testing::StopFailingOnServer(*db, "ma");
    EXPECT_EQ(Count("SELECT COUNT(*) AS n FROM managed_area_alias WHERE managed_area_id = 10"), 2);
    EXPECT_EQ(Count("SELECT COUNT(*) AS n FROM ma"), 2);
}

} // namespace
} // namespace zelk::host
