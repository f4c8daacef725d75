// A database file written before records carried row versions.
#include "pg/Backends.h"

#include "common/bo/Shape.h"
#include "host/ReferenceHost.h"
#include "host/data/SqliteDataService.h"
#include "platform/Conv.h"
#include "platform/ProgIdRegistry.h"

namespace zelk::testing {
namespace {

TEST(OlderDatabaseFile, GetsRowVersionsWhenOpenedAndSavesWithTheCheck) {
    ScratchDatabase file(false);
    { auto host = host::ReferenceHost::Open({file.path, "ann", 10, 3, true, false}); }
    {
        host::SqliteDataService db(file.path, host::OpenMode::ExistingOnly);
        db.ExecScript(
            "ALTER TABLE ma DROP COLUMN row_version; UPDATE schema_version SET version = 1;");
    }
    auto host = host::ReferenceHost::Open({file.path, "ann", 10, 3, true, false});
    auto& db = *host->Db();
    EXPECT_EQ(CLng(db.Query("SELECT MAX(version) AS v FROM schema_version")->Value("v")), 2);
    EXPECT_EQ(CLng(db.Query("SELECT MIN(row_version) AS v FROM ma")->Value("v")), 1);

    const std::string shapeId = CStr(db.Query("SELECT MIN(shape_id) AS s FROM ma")->Value("s"));
    auto load = [&] {
        auto s =
            std::dynamic_pointer_cast<bo::IShape>(CreateObject("ZELK_ManagedAreaClient.CShape"));
        s->Load(shapeId);
        return s;
    };
    auto first = load(), second = load();
    first->ManagedArea(1)->SetProperty("ManagedAreaDesc", Variant("first"));
    second->ManagedArea(1)->SetProperty("ManagedAreaDesc", Variant("second"));
    EXPECT_TRUE(first->Save()) << first->LastError();
    EXPECT_FALSE(second->Save());
    EXPECT_EQ(second->LastErrorCode(), "MGA900");
    EXPECT_EQ(CStr(db.Query("SELECT managed_area_desc AS d FROM ma WHERE shape_id = ?",
                            {Variant(static_cast<int>(CLng(Variant(shapeId))))})
                       ->Value("d")),
              "first");
    // The row version is no news in the audit trail.
    EXPECT_EQ(CLng(db.Query("SELECT COUNT(*) AS n FROM audit_log WHERE column_name = 'row_version'")
                       ->Value("n")),
              0);
}

} // namespace
} // namespace zelk::testing
