#include "support/ScriptedUi.h"

#include "host/app/AppManager.h"
#include "host/app/MessageCatalog.h"
#include "host/app/Views.h"
#include "host/data/DataService.h"
#include "host/gis/GeometryStore.h"
#include "host/gis/GisInterface.h"
#include "platform/Collection.h"
#include "platform/Conv.h"
#include "platform/ProgIdRegistry.h"
#include "platform/ui/StdControls.h"
#include "support/TestBackend.h"

namespace zelk::host {
namespace {

class AppManagerTest : public zelk::testing::ScriptedUiTest {
protected:
    void SetUp() override {
        ScriptedUiTest::SetUp();
        db = zelk::testing::NewTestDataService();
        db->ExecScript("INSERT INTO org_unit VALUES (7, 'WY', 'Wyoming Natural Diversity');"
                       "INSERT INTO app_user (user_id, user_name, org_unit_id, access_level) "
                       "VALUES (3, 'ann', 7, 'F'), (4, 'rick', 7, 'R');");
        zelk::testing::KeysWritten(*db);
        ModuleDatabase sql;
        sql.query = [this](const std::string& s) {
            queries.push_back(s);
            return db->Query(s);
        };
        app = std::make_shared<AppManager>(db, sql, AppManager::Options{"ann", "test.db", 1});
    }
    std::shared_ptr<DataService> db;
    std::shared_ptr<AppManager> app;
    std::vector<std::string> queries;
};

TEST_F(AppManagerTest, MessagesShowTheirTextWithArgumentsAndReturnTheAnswer) {
    ui->QueueAnswer(vb::No);
    auto args = std::make_shared<Collection>();
    args->Add(Variant("Oak Hollow"));
    EXPECT_EQ(CLng(app->Call("Message", {Variant("APP007"), Variant(args)})), vb::No);
    const auto* shown = ui->LastMessage();
    ASSERT_NE(shown, nullptr);
    EXPECT_NE(shown->text.find("\"Oak Hollow\""), std::string::npos);
    EXPECT_EQ(shown->flags & 7, vb::YesNo);
    EXPECT_EQ(shown->title, kAppTitle);

    app->Message("MGA012", Variant(41));
    EXPECT_EQ(ui->LastMessage()->text, "Managed area 41 already has this managed area code.");
    app->Message("XYZ999");
    EXPECT_NE(ui->LastMessage()->text.find("XYZ999"), std::string::npos);
    // Every code the module sends has a text of its own.
    for (const char* code :
         {"APP001", "APP003", "APP004", "APP027", "APP028", "APP029", "APP036", "APP039",
          "APP043", "APP045", "APP046", "EGP011", "MGA001", "MGA002", "MGA004", "MGA005",
          "MGA006", "MGA007", "MGA008", "MGA009", "MGA010", "MGA011", "MGA013", "MGA014",
          "MGA015", "MGA017", "MGA018", "MGA019", "MGA020", "MGA023", "MGA024", "MGA025"})
        EXPECT_TRUE(MessageCatalog::Default().Has(code)) << code;
}

TEST_F(AppManagerTest, CoordinatesAreCheckedAndRefusalsExplained) {
    struct Case {
        const char* text;
        int width;
        const char* hemi;
        bool ok;
    } cases[] = {
        {"", 7, "NS", true},          {"443015N", 7, "NS", true},   {"900000S", 7, "NS", true},
        {"0933045W", 8, "EW", true},  {"1800000E", 8, "EW", true},  {"443015n", 7, "NS", true},
        {"446015N", 7, "NS", false},  {"443060N", 7, "NS", false},  {"900001N", 7, "NS", false},
        {"1810000W", 8, "EW", false}, {"443015E", 7, "NS", false},  {"44301N", 7, "NS", false},
        {"44A015N", 7, "NS", false},  {"4430150N", 7, "NS", false},
    };
    for (const auto& c : cases) {
        std::size_t before = ui->Messages().size();
        EXPECT_EQ(CBool(app->Call("ValidateCoord", {Variant(c.text), Variant("Latitude"),
                                                    Variant(c.width), Variant(c.hemi)})),
                  c.ok)
            << c.text;
        EXPECT_EQ(ui->Messages().size(), before + (c.ok ? 0 : 1)) << c.text;
    }
    EXPECT_NE(ui->LastMessage()->text.find("Latitude"), std::string::npos);
}

TEST_F(AppManagerTest, UsersOrgUnitsAndReadOnlySecurity) {
    EXPECT_EQ(CLng(app->Call("GetUserID")), 3);
    EXPECT_EQ(CLng(app->Call("GetSystemOrgUnitID")), 7);
    EXPECT_EQ(CStr(app->Call("GetOrgUnitCode", {Variant(7)})), "WY");
    EXPECT_EQ(CStr(app->Call("GetOrgUnitCode", {Variant(99)})), "-1");
    EXPECT_EQ(CStr(app->Call("GetOrgUnitCode", {Variant::Null()})), "-1");

    auto form = std::make_shared<UserControl>("ManagedAreaDetails");
    auto bound = form->Add<TextBox>("txtMACodeBCD");
    bound->SetTag("MA_ManagedArea.MACodeBcd");
    auto summary = form->Add<TextBox>("txtSummaryMAName");
    auto save = form->Add<CommandButton>("mnuFileSave");
    Args call{Variant(form), Variant(), Variant("ManagedAreaDetails"),
              Variant(form->ControlsObject())};
    app->Invoke("ApplySecurity", CallKind::Method, call);
    EXPECT_FALSE(bound->Locked()) << "full access changes nothing";

    AppManager reader(db, {}, {"rick", "test.db", 1});
    EXPECT_EQ(reader.GetControlAccess("MGA", "txtMACodeBCD"), "R");
    reader.Invoke("ApplySecurity", CallKind::Method, call);
    EXPECT_TRUE(bound->Locked());
    EXPECT_FALSE(summary->Locked());
    EXPECT_FALSE(save->Enabled());
    AppManager stranger(db, {}, {"nobody", "test.db", 1});
    EXPECT_EQ(stranger.GetUserID(), -1);
    EXPECT_EQ(stranger.AccessLevel(), "R");
}

TEST_F(AppManagerTest, QueriesAuditingPrototypesRelatedRecordsAndTheGisStandIn) {
    db->ExecScript("INSERT INTO shape (shape_id, has_shape_ind) VALUES (10, 'Y'), (11, 'N');");
    auto rs =
        RequireObject(app->Call("CallGetQueryRSXML", {Variant("SELECT shape_id FROM shape")}));
    EXPECT_EQ(CLng(rs->Get("RecordCount")), 2);
    EXPECT_EQ(queries.size(), 1u);

    auto proto = app->GetPrototypeRSForView("MGA");
    EXPECT_EQ(proto->RecordCount(), 0);
    EXPECT_TRUE(proto->GetFields().Exists("managed_area_name"));
    EXPECT_NE(zelk::testing::ErrorOf([&] { app->GetPrototypeRSForView("XXX"); }), 0);

    db->Execute("INSERT INTO audit_log (table_name, table_kind, action, column_name, old_value, "
                "new_value, record_id) VALUES ('ma', 'MA', 'U', 'managed_area_name', 'a', 'b', 5), "
                "('ma', 'MA', 'U', 'macode_bcd', 'x', 'y', 5), ('ma', 'MA', 'U', 'macode_bcd', "
                "'q', 'r', 6)");
    auto audit = app->Auditing("MA", 5, "");
    EXPECT_EQ(audit->RecordCount(), 2);
    ASSERT_EQ(audit->GetFields().Count(), 12);
    EXPECT_EQ(audit->GetFields().Item(std::size_t{11}).Name(), "column_id");
    EXPECT_FALSE(audit->Value("column_id").IsNull());
    EXPECT_EQ(app->Auditing("MA", 5, "MACODE_BCD")->RecordCount(), 1);
    EXPECT_EQ(app->Auditing("MA", 5, "x' OR '1'='1")->RecordCount(), 0);

    EXPECT_FALSE(app->OpenRelatedDetail("MGA", "SIT", "&Site...", 5)) << "nothing related";
    EXPECT_EQ(app->RelatedRequests().size(), 0u);

    auto views = std::make_shared<ViewsCollection>();
    views->AddView("SIT", nullptr);
    views->AddView("MGA", proto);
    app->SetViews(views);
    ObjectPtr colViews = RequireObject(RequireObject(app->Get("ViewManager"))->Get("colViews"));
    EXPECT_EQ(CLng(colViews->Get("Count")), 2);
    auto second = RequireObject(colViews->Call("Item", {Variant(2)}));
    EXPECT_EQ(CStr(second->Call("Item", {Variant("WORKING_LIST_TYPE")})), "MGA");

    // Shape 10 has its boundary; 12 says it is drawn but has none.
    db->ExecScript("INSERT INTO shape (shape_id, has_shape_ind) VALUES (12, 'Y');");
    gis::GeometryWriter(*db, gis::ShapeTable())
        .Write(10,
               {gis::Polygon{{{{-105.6, 41.3}, {-105.5, 41.3}, {-105.5, 41.4}, {-105.6, 41.3}}}}});
    gis::RegisterGisInterface(ProgIdRegistry::Instance(), db);
    gis::ClearRecordedShapeRequests();
    auto gis = CreateObject("ArcViewCommuncation.GISInterface");
    EXPECT_TRUE(CBool(gis->Call("ViewShape", {Variant(10)})));
    EXPECT_FALSE(CBool(gis->Call("ViewShape", {Variant(11)})));
    EXPECT_FALSE(CBool(gis->Call("ViewShape", {Variant(12)})));
    EXPECT_EQ(gis::RecordedShapeRequests(), std::vector<long>{10});
    EXPECT_FALSE(CBool(gis->Call("ViewShape", {Variant("10; DROP TABLE shape")})));
}

} // namespace
} // namespace zelk::host
