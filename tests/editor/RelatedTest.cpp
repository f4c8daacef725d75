#include "editor/EditorFixture.h"

#include "dialogs/frmAuditLog.h"
#include "host/app/MessageCatalog.h"
#include "host/gis/GisInterface.h"

#include <algorithm>

namespace zelk::testing {
namespace {

std::string Text(const std::string& code, std::vector<std::string> args = {}) {
    return host::MessageCatalog::Default().Format(code, args);
}

int PageOf(const Control& c) {
    for (const Control* x = &c; x; x = x->Container())
        if (x->TabPage() >= 0) return x->TabPage();
    return -1;
}

class Related : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        Init();
    }
    long Load(const std::string& where) {
        long id = FirstId("SELECT managed_area_id FROM ma WHERE " + where +
                          " ORDER BY managed_area_id LIMIT 1");
        EXPECT_GT(id, 0) << where;
        editor->LoadData(id);
        return id;
    }
    // The rows the audit dialog shows: column name, user, old value, org unit as shown.
    struct Shown {
        std::string caption;
        std::vector<std::vector<std::string>> rows;
    };
    ScriptedUiDriver::ModalAction Capture(Shown& shown) {
        return [&shown](Form& f) {
            auto& dlg = dynamic_cast<dialogs::frmAuditLog&>(f);
            shown.caption = dlg.Caption();
            auto& g = dlg.fgAuditLog();
            for (long r = 1; r < g.Rows(); ++r)
                shown.rows.push_back({g.TextMatrix(r, 5), g.TextMatrix(r, 2), g.TextMatrix(r, 6),
                                      g.DisplayText(r, 9), g.TextMatrix(r, 3)});
            dlg.cmdCancel().UserClick();
        };
    }
};

TEST_F(Related, RelatedModulesOpenOnlyWhenThereIsSomethingToOpen) {
    long id = Load("major_ma_id IS NULL AND managed_area_id NOT IN (SELECT managed_area_id FROM "
                   "element_managed_area)");
    auto& requests = host->App()->RelatedRequests();
    editor->mnuFileOpenMajorMA->UserClick();
    EXPECT_EQ(ui->Messages().back(), Text("APP004"));
    EXPECT_TRUE(requests.empty());

    // No precondition for element occurrences; the host's refusal has its own message.
    editor->mnuFileOpenElementOccurrences->UserClick();
    EXPECT_EQ(ui->Messages().back(), Text("EGP011", {"Element Occurrence"}));
    sent.clear();
    editor->mnuFileOpenElementTracking->UserClick();
    EXPECT_EQ(sent, std::vector<std::string>{
                        "Select * From element_managed_area where managed_area_id = " +
                        std::to_string(id)});
    EXPECT_EQ(ui->Messages().back(), Text("APP004"));
    EXPECT_EQ(Screen::Instance().MousePointer(), mouse::Default);

    long withMajor = Load("major_ma_id IS NOT NULL");
    ui->ClearLog();
    editor->mnuFileOpenMajorMA->UserClick();
    Load("managed_area_id IN (SELECT managed_area_id FROM managed_area_site)");
    editor->mnuFileOpenSites->UserClick();
    EXPECT_TRUE(ui->Messages().empty()) << ui->Messages().front();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].ownModule, "MGA");
    EXPECT_EQ(requests[0].targetModule, "MGA");
    EXPECT_EQ(requests[0].caption, "&Major MA...");
    EXPECT_EQ(requests[0].id, withMajor);
    EXPECT_EQ(requests[1].targetModule, "SIT");
    EXPECT_EQ(requests[1].caption, "&Site...");

    // A new record has nothing stored to open.
    editor->mnuFileNew->UserClick();
    ui->ClearLog();
    editor->mnuFileOpenSites->UserClick();
    editor->mnuFileOpenReferences->UserClick();
    editor->mnuFileOpenElementOccurrences->UserClick();
    EXPECT_EQ(ui->Messages(), (std::vector<std::string>{Text("APP004"), Text("APP004"),
                                                        Text("EGP011", {"Element Occurrence"})}));
    EXPECT_EQ(requests.size(), 2u);
}

TEST_F(Related, ViewShapeAsksTheGisOnlyForADrawnShape) {
    long undrawn = FirstId("SELECT managed_area_id FROM ma JOIN shape USING (shape_id) WHERE "
                           "has_shape_ind = 'N' ORDER BY managed_area_id LIMIT 1");
    long drawn = FirstId("SELECT managed_area_id FROM ma JOIN shape USING (shape_id) WHERE "
                         "has_shape_ind = 'Y' ORDER BY managed_area_id LIMIT 1");
    ASSERT_GT(undrawn, 0);
    ASSERT_GT(drawn, 0);
    editor->LoadData(undrawn);
    editor->tbManagedAreas->UserClickButton("View Shape");
    EXPECT_EQ(ui->Messages().back(), Text("MGA009"));
    // The record says drawn, the GIS finds nothing: told so.
    editor->ShapeObject()->SetProperty("HasShapeInd", Variant("Y"));
    editor->mnuToolsViewShape->UserClick();
    EXPECT_EQ(ui->Messages().back(), Text("MGA010"));
    editor->LoadData(drawn);
    ui->ClearLog();
    host::gis::ClearRecordedShapeRequests();
    editor->mnuToolsViewShape->UserClick();
    EXPECT_TRUE(ui->Messages().empty());
    EXPECT_EQ(host::gis::RecordedShapeRequests(), std::vector<long>{editor->ShapeID()});
    // Marked drawn in the database, but its boundary is gone: the GIS has nothing to show.
    host->Db()->Execute("DELETE FROM shape_geometry WHERE shape_id = ?",
                        {Variant(static_cast<int>(editor->ShapeID()))});
    editor->mnuToolsViewShape->UserClick();
    EXPECT_EQ(ui->Messages().back(), Text("MGA010"));
}

TEST_F(Related, RecordAndFieldHistoryShowRealEdits) {
    Load("managed_area_id > 0");
    const std::string oldName = editor->ctlMAName->Text();
    editor->ctlMAName->UserType("Audited Name");
    editor->ctlMAType->UserType("Audited Type");
    editor->tabManagedAreas->UserSelectTab(editor::PageVersionQC);
    editor->ctlQCComments->UserType("Checked twice");
    editor->mnuFileSave->UserClick();
    const std::string orgUnit = Db1(
        "SELECT org_unit_name FROM org_unit JOIN app_user USING (org_unit_id) WHERE user_name = "
        "'ann'");

    Shown record;
    ui->QueueModal("frmAuditLog", Capture(record));
    editor->mnuFileOpenRecordMaintenance->UserClick();
    EXPECT_EQ(record.caption, "Record Maintenance - " + window->Caption());
    auto name = std::find_if(record.rows.begin(), record.rows.end(),
                             [](const auto& r) { return r[0] == "managed_area_name"; });
    ASSERT_NE(name, record.rows.end());
    EXPECT_EQ((*name)[1], "ann");
    EXPECT_EQ((*name)[2], oldName);
    EXPECT_EQ((*name)[3], orgUnit);

    // One field: the focused one, by its column.
    editor->tabManagedAreas->UserSelectTab(editor::PageIdentifiers);
    ASSERT_TRUE(editor->ctlMAName->SetFocus());
    Shown field;
    ui->QueueModal("frmAuditLog", Capture(field));
    editor->mnuFileOpenAttributeMaintenance->UserClick();
    EXPECT_EQ(field.caption,
              "Attribute Maintenance - " + window->Caption() + " (managed_area_name)");
    ASSERT_EQ(field.rows.size(), 1u);
    EXPECT_EQ(field.rows[0][2], oldName);

    // A shape field's history is the shape's.
    editor->tabManagedAreas->UserSelectTab(editor::PageVersionQC);
    ASSERT_TRUE(editor->ctlQCComments->SetFocus());
    Shown shape;
    ui->QueueModal("frmAuditLog", Capture(shape));
    editor->mnuFileOpenAttributeMaintenance->UserClick();
    ASSERT_EQ(shape.rows.size(), 1u);
    EXPECT_EQ(shape.rows[0][4], "shape");
    EXPECT_NE(shape.caption.find("(qc_com"), std::string::npos) << shape.caption;

    // A field without a history entry in the record's properties.
    editor->tabManagedAreas->UserSelectTab(editor::PageIdentifiers);
    ASSERT_TRUE(editor->txtSummaryMAName->SetFocus());
    editor->mnuFileOpenAttributeMaintenance->UserClick();
    EXPECT_EQ(ui->Messages().back(), Text("APP001"));
    EXPECT_EQ(Screen::Instance().MousePointer(), mouse::Default);
}

TEST_F(Related, EveryTaggedFieldOpensItsHistory) {
    Load("managed_area_id > 0");
    std::vector<std::string> refused;
    int opened = 0;
    for (int page = 0; page < editor::PageCount; ++page) {
        editor->tabManagedAreas->UserSelectTab(page);
        for (const auto& c : editor->Controls()) {
            const std::string& tag = c->Tag();
            if (tag.rfind("MA_ManagedArea.", 0) != 0 && tag.rfind("MA_Shape.", 0) != 0) continue;
            // The keywords are a list of their own, kept in no column of the record.
            if (tag == "MA_ManagedArea.ManagedAreaKeywords") continue;
            if (PageOf(*c) != page || !c->CanFocus() || !c->IsUsable()) continue;
            ASSERT_TRUE(c->SetFocus()) << c->Name();
            bool shown = false;
            ui->QueueModal("frmAuditLog", [&](Form& f) {
                shown = true;
                dynamic_cast<dialogs::frmAuditLog&>(f).cmdCancel().UserClick();
            });
            const auto before = ui->Messages().size();
            editor->mnuFileOpenAttributeMaintenance->UserClick();
            if (shown && ui->Messages().size() == before)
                ++opened;
            else
                refused.push_back(tag);
            ui->DropQueued();
            ui->ClearLog();
        }
    }
    EXPECT_TRUE(refused.empty()) << ::testing::PrintToString(refused);
    EXPECT_GT(opened, 40);
}

} // namespace
} // namespace zelk::testing
