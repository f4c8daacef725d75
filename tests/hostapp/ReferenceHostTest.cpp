#include "support/ScriptedUi.h"
#include "support/TestBackend.h"

#include "host/ReferenceHost.h"
#include "platform/Conv.h"
#include "platform/ProgIdRegistry.h"

namespace zelk::host {
namespace {

using ReferenceHostTest = zelk::testing::ScriptedUiTest;

TEST_F(ReferenceHostTest, OpensAFreshDatabaseWithEveryClassTheModuleCreates) {
    auto host = ReferenceHost::Open(
        zelk::testing::OnTestBackend(host::HostOptions{":memory:", "ann", 0, 1, false}));
    EXPECT_TRUE(host->WasCreated());
    EXPECT_GT(CLng(host->App()->Call("GetUserID")), 0) << "the first user of a new database";
    // Oracle text goes through the translator.
    auto rs = host->App()->CallGetQueryRSXML(
        "SELECT UNIQUE * FROM managed_area_wl_vw ORDER BY managed_area_wl_vw.id");
    EXPECT_EQ(rs->RecordCount(), 0);
    EXPECT_TRUE(host->WorkingList()->GetFields().Exists("ID"));
    EXPECT_TRUE(host->WorkingList()->GetFields().Exists("managed_area_name"));
    EXPECT_EQ(CStr(RequireObject(host->Views()->Item(Variant(1)))
                       ->Call("Item", {Variant("WORKING_LIST_TYPE")})),
              "MGA");
    for (const char* progId :
         {"ZELK_ManagedAreaClient.CShape", "ClientFramework.ComponentCollection",
          "ZELK_UserOptClient.UserOptClient", "ZELK_AuditLogClient.cAuditLog",
          "ArcViewCommuncation.GISInterface", "MSXML2.DOMDocument", "TabproLib.vaTabPro"})
        EXPECT_TRUE(ProgIdRegistry::Instance().IsRegistered(progId)) << progId;
}

} // namespace
} // namespace zelk::host

namespace zelk::host {
namespace {

TEST_F(ReferenceHostTest, AFirstStartWritesTheSampleDataAndTheSearchFindsIt) {
    auto host = ReferenceHost::Open(
        zelk::testing::OnTestBackend(host::HostOptions{":memory:", "ann", 25, 7, true, true}));
    EXPECT_EQ(host->WorkingList()->RecordCount(), 25);
    auto all = host->App()->CallGetQueryRSXML(
        "SELECT UNIQUE * FROM managed_area_wl_vw ORDER BY managed_area_wl_vw.id");
    EXPECT_EQ(all->RecordCount(), 25);
    all->MoveFirst();
    long id = CLng(all->Value("id"));
    EXPECT_TRUE(host->App()->Delete("delete_ma_data", id, "ann"));
    EXPECT_EQ(
        host->App()->CallGetQueryRSXML("SELECT UNIQUE * FROM managed_area_wl_vw")->RecordCount(),
        24);
}

} // namespace
} // namespace zelk::host
