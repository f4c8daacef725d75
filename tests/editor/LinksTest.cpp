#include "editor/EditorFixture.h"
#include "editor/SearchPicks.h"
#include "support/FaultInjector.h"

#include "host/app/MessageCatalog.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/VSFlexGrid.h"
#include "search/frmModalSearch.h"

namespace zelk::testing {
namespace {

class Links : public EditorTest {
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
};

TEST_F(Links, EquiSiteIsPickedFromTheSiteSearchStoredAndCleared) {
    // No other area may have the same equivalent site, or the save refuses it.
    host->Db()->Execute("UPDATE ma SET equi_site_id = NULL WHERE equi_site_id = '7'");
    long id = Load("equi_site_id IS NULL");
    // A site no other area has as its equivalent, so the save's uniqueness check passes.
    std::string site = Db1("SELECT conservation_site_id FROM conservation_site WHERE "
                           "CAST(conservation_site_id AS TEXT) NOT IN (SELECT equi_site_id FROM ma "
                           "WHERE equi_site_id IS NOT NULL) ORDER BY conservation_site_id LIMIT 1");
    std::string name =
        Db1("SELECT site_name FROM conservation_site WHERE conservation_site_id = " + site);
    sent.clear();
    ui->QueueModal("frmModalSearch", [&](Form& f) { PickInSearch(f, name, site); });
    editor->cmdSelectEquiSite->UserClick();
    EXPECT_EQ(sent.front(), "Select * from site_wl_vw where 1=0");
    EXPECT_EQ(editor->txtEquiSiteID->Text(), site);
    EXPECT_EQ(editor->txtEquiSiteName->Text(), name);
    EXPECT_EQ(TextOf(Field("EquiSiteId")), site);

    // Cancelling the search changes nothing.
    ui->QueueModal("frmModalSearch", [&](Form& f) { CancelSearch(f); });
    editor->cmdSelectEquiSite->UserClick();
    EXPECT_EQ(editor->txtEquiSiteID->Text(), site);

    editor->mnuFileSave->UserClick();
    std::string where = " FROM ma WHERE managed_area_id = " + std::to_string(id);
    EXPECT_EQ(Db1("SELECT equi_site_id" + where), site);
    EXPECT_EQ(Db1("SELECT equi_site_name" + where), name);

    editor->cmdClearEquiSite->UserClick();
    EXPECT_EQ(editor->txtEquiSiteID->Text(), "");
    EXPECT_EQ(editor->txtEquiSiteName->Text(), "");
    EXPECT_EQ(TextOf(Field("EquiSiteId")), "");
    editor->mnuFileSave->UserClick();
    EXPECT_EQ(Db1("SELECT IFNULL(equi_site_id, 'null')" + where), "null");
    EXPECT_TRUE(ui->Messages().empty()) << ui->Messages().front();
}

TEST_F(Links, MajorManagedAreaIsAnotherAreaNeverTheRecordItself) {
    long id = Load("major_ma_id IS NULL");
    long other = FirstId("SELECT managed_area_id FROM ma WHERE managed_area_id <> " +
                         std::to_string(id) + " ORDER BY managed_area_id DESC LIMIT 1");
    std::string otherName =
        Db1("SELECT managed_area_name FROM ma WHERE managed_area_id = " + std::to_string(other));
    sent.clear();
    std::string caption;
    ui->QueueModal("frmModalSearch", [&](Form& f) {
        caption = f.Caption();
        PickInSearch(f, otherName, std::to_string(other));
    });
    editor->cmdSelectMajorMAID->UserClick();
    EXPECT_EQ(caption, "Managed Area Search - " + window->Caption());
    EXPECT_EQ(sent.front(), "select * from MANAGED_AREA_WL_VW WHERE 1=0");
    EXPECT_EQ(editor->txtMajorMAID->Text(), std::to_string(other));
    EXPECT_EQ(editor->txtMajorMAName->Text(), otherName);
    EXPECT_EQ(CLng(Field("MajorMaId")), other);

    // The record itself: "MGA002", and the field keeps the area picked before.
    std::string ownName = editor->txtSummaryMAName->Text();
    ui->QueueModal("frmModalSearch",
                   [&](Form& f) { PickInSearch(f, ownName, std::to_string(id)); });
    ui->QueueAnswer(vb::OK);
    editor->cmdSelectMajorMAID->UserClick();
    ASSERT_EQ(ui->Messages().size(), 1u);
    EXPECT_EQ(ui->Messages()[0], host::MessageCatalog::Default().Format("MGA002", {}));
    EXPECT_EQ(CLng(Field("MajorMaId")), other);
    EXPECT_EQ(editor->txtMajorMAID->Text(), std::to_string(other));

    editor->cmdClearMajorMAID->UserClick();
    EXPECT_EQ(editor->txtMajorMAID->Text(), "");
    EXPECT_EQ(editor->txtMajorMAName->Text(), "");
    EXPECT_EQ(TextOf(Field("MajorMaId")), "");
}

TEST_F(Links, SitesAreAddedOnceNumberedAfterTheOthersAndRemoved) {
    long id = Load("managed_area_id IN (SELECT managed_area_id FROM managed_area_site)");
    auto& sites = editor->ManagedAreaObject()->Children(bo::ChildList::Sites);
    const long before = sites.Count();
    ASSERT_GT(before, 0);
    auto siteName = [&](long site) {
        return Db1("SELECT site_name FROM conservation_site WHERE conservation_site_id = " +
                   std::to_string(site));
    };
    // Two sites the record does not have yet.
    auto fresh = host->Db()->Query(
        "SELECT conservation_site_id FROM conservation_site WHERE conservation_site_id NOT IN "
        "(SELECT conservation_site_id FROM managed_area_site WHERE managed_area_id = " +
        std::to_string(id) + ") ORDER BY conservation_site_id LIMIT 2");
    long a = CLng(fresh->Value("conservation_site_id"));
    fresh->MoveNext();
    long b = CLng(fresh->Value("conservation_site_id"));

    const long rowsBefore = editor->flexSites->Rows();
    ui->QueueModal("frmModalSearch", [&](Form& f) { PickInSearch(f, "", std::to_string(a)); });
    editor->cmdSelectSites->UserClick();
    // Again the same one, now with a second: only the second is new.
    ui->QueueModal("frmModalSearch", [&](Form& f) {
        PickInSearch(f, "", std::vector<std::string>{std::to_string(a), std::to_string(b)});
    });
    editor->cmdSelectSites->UserClick();
    ASSERT_EQ(sites.Count(), before + 2);
    ASSERT_EQ(editor->flexSites->Rows(), rowsBefore + 2);
    const long rowA = rowsBefore, rowB = rowsBefore + 1;
    EXPECT_EQ(CLng(editor->flexSites->RowData(rowA)), a);
    EXPECT_EQ(editor->flexSites->TextMatrix(rowB, editor->flexSites->ColIndex("SiteName")),
              siteName(b));
    auto item = sites.Find("ConservationSiteId = " + std::to_string(b));
    ASSERT_TRUE(item);
    EXPECT_EQ(CStr(item->GetProperty("RecCreateUser")), "ann");
    EXPECT_EQ(CLng(item->GetProperty("DisplayOrder")), rowB - editor->flexSites->FixedRows() + 1);
    EXPECT_EQ(Screen::Instance().MousePointer(), mouse::Default);

    editor->mnuFileSave->UserClick();
    std::string count =
        "SELECT COUNT(*) FROM managed_area_site WHERE managed_area_id = " + std::to_string(id);
    EXPECT_EQ(Db1(count), std::to_string(before + 2));

    // A row whose site the record does not hold goes from the grid only.
    long stray = editor->flexSites->AddItem("\t999999\tNowhere", rowA + 1);
    editor->flexSites->SetRowData(stray, Variant(999999));
    editor->flexSites->UserSelectRows({rowA, stray});
    editor->cmdRemoveSite->UserClick();
    EXPECT_EQ(sites.Count(), before + 1);
    EXPECT_EQ(editor->flexSites->Rows(), rowsBefore + 1);
    EXPECT_FALSE(sites.Find("ConservationSiteId = " + std::to_string(a)));
    editor->mnuFileSave->UserClick();
    EXPECT_EQ(Db1(count), std::to_string(before + 1));

    // No current row: nothing happens.
    editor->flexSites->SetRow(0);
    editor->flexSites->SetRowSel(0);
    editor->cmdRemoveSite->UserClick();
    EXPECT_EQ(sites.Count(), before + 1);
    EXPECT_TRUE(ui->Messages().empty()) << ui->Messages().front();
}

TEST_F(Links, ReferencesComeFromTheReferenceSearchAndLeaveTheListAgain) {
    long id = Load("managed_area_id NOT IN (SELECT managed_area_id FROM managed_area_reference)");
    auto& refs = editor->ManagedAreaObject()->Children(bo::ChildList::References);
    ASSERT_EQ(refs.Count(), 0);
    editor->tabManagedAreas->UserSelectTab(editor::PageReferences);
    sent.clear();
    ui->QueueModal("frmModalSearch", [&](Form& f) {
        PickInSearch(f, "", std::vector<std::string>{"1", "2"});
    });
    editor->cmdSelectReferences->UserClick();
    EXPECT_EQ(sent.front(), "select * from REFERENCE_WL_VW WHERE 1=0");
    EXPECT_EQ(Screen::Instance().MousePointer(), mouse::Default);
    ASSERT_EQ(refs.Count(), 2);
    ASSERT_EQ(editor->flexReferences->Rows(), 3);
    // The same references again add nothing.
    ui->QueueModal("frmModalSearch", [&](Form& f) {
        PickInSearch(f, "", std::vector<std::string>{"2", "1"});
    });
    editor->cmdSelectReferences->UserClick();
    EXPECT_EQ(refs.Count(), 2);
    EXPECT_EQ(editor->flexReferences->Rows(), 3);

    editor->mnuFileSave->UserClick();
    std::string count =
        "SELECT COUNT(*) FROM managed_area_reference WHERE managed_area_id = " + std::to_string(id);
    EXPECT_EQ(Db1(count), "2");
    long row = editor->flexReferences->FindRow(Variant("1"), 1,
                                               editor->flexReferences->ColIndex("ReferenceID"));
    ASSERT_GT(row, 0);
    editor->flexReferences->UserSelectRows({row});
    editor->cmdRemoveReferenceCode->UserClick();
    EXPECT_EQ(refs.Count(), 1);
    EXPECT_EQ(editor->flexReferences->Rows(), 2);
    editor->mnuFileSave->UserClick();
    EXPECT_EQ(Db1(count), "1");
    EXPECT_TRUE(ui->Messages().empty()) << ui->Messages().front();
}

TEST_F(Links, ARecordWhoseMajorAreaCannotBeLoadedStillOpens) {
    const long id = FirstId("SELECT managed_area_id FROM ma WHERE major_ma_id IS NOT NULL "
                            "ORDER BY managed_area_id LIMIT 1");
    ASSERT_GT(id, 0);
    const std::string name =
        Db1("SELECT managed_area_name FROM ma WHERE managed_area_id = " + std::to_string(id));
    const std::string major =
        Db1("SELECT major_ma_id FROM ma WHERE managed_area_id = " + std::to_string(id));
    // Every statement of the load in turn refuses; the one that reads the major area must
    // leave the record on screen with the link blank and a word to the user.
    FaultInjector faults(host->Db());
    bool seen = false;
    for (long n = 1; n < 80 && !seen; ++n) {
        faults.FailAt(n);
        ui->ClearLog();
        try {
            editor->LoadData(id);
        } catch (const ComError&) {
            continue; // the record itself could not be read: the host hears of it
        }
        if (!faults.Fired()) break;
        const auto messages = ui->Messages();
        if (messages.size() != 1 || messages[0].find("major managed area") == std::string::npos)
            continue;
        seen = true;
        EXPECT_EQ(editor->GetID(), id);
        EXPECT_EQ(editor->txtSummaryMAName->Text(), name);
        EXPECT_EQ(editor->ctlMAName->Text(), name);
        EXPECT_EQ(editor->txtMajorMAID->Text(), "");
        EXPECT_EQ(editor->txtMajorMAName->Text(), "");
        EXPECT_NE(messages[0].find(FaultCause(Fault::IoError)), std::string::npos) << messages[0];
        EXPECT_EQ(TextOf(Field("MajorMaId")), major) << "the record's link is kept";
        EXPECT_FALSE(editor->ManagedAreaObject()->HasChanges());
    }
    faults.Off();
    EXPECT_TRUE(seen) << "no load failed at the major managed area alone";
}

} // namespace
} // namespace zelk::testing
