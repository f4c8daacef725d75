#include "support/ScriptedUi.h"
#include "support/TestBackend.h"

#include "host/ReferenceHost.h"
#include "host/modules/StandInSearch.h"
#include "platform/Conv.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/VSFlexGrid.h"
#include "search/frmModalSearch.h"

namespace zelk::testing {
namespace {

using host::ReferenceHost;
using search::frmModalSearch;

class StandInSearchTest : public ScriptedUiTest {
protected:
    void SetUp() override {
        ScriptedUiTest::SetUp();
        host = ReferenceHost::Open(zelk::testing::OnTestBackend(host::HostOptions{}));
    }
    // Opens the search in the modal window as the editor does, lets `pick` act on it as the
    // user, and answers what arrived in the caller's recordset.
    RecordsetPtr Pick(const std::string& progId, RecordsetPtr rs, bool single,
                      const std::function<void(Form&)>& pick, bool useRecordset = true) {
        auto dlg = std::make_shared<frmModalSearch>();
        EXPECT_TRUE(dlg->InitDialog(progId, host->App(), rs, ""));
        dlg->UseSelectedRecordset(useRecordset);
        if (single) dlg->SetSingleSelect();
        ui->QueueModal("frmModalSearch",
                       [&](Form&) { pick(static_cast<Form&>(*dlg->HostedControl())); });
        dlg->Show(true);
        EXPECT_FALSE(dlg->IsLoaded()) << "OK and Cancel close the window";
        return rs;
    }
    static void Find(Form& search, const std::string& text) {
        search.Get<TextBox>("txtName").UserType(text);
        search.Get<CommandButton>("cmdFindNow").UserClick();
    }
    std::string Text(const std::string& sql, const char* field) {
        auto rs = host->App()->CallGetQueryRSXML(sql);
        rs->MoveFirst();
        return CStr(rs->Value(field));
    }
    std::unique_ptr<ReferenceHost> host;
};

TEST_F(StandInSearchTest, PicksASiteOnlyOnOkWithTheCallersRecordset) {
    std::string name = Text("SELECT * FROM site_wl_vw WHERE id = 7", "site_name");
    std::string word = name.substr(0, name.find(' '));
    auto proto = [&] { return host->App()->GetPrototypeRSForView("SIT"); };

    long found = 0;
    auto rs = Pick("ZELK_Site.SiteSearch", proto(), true, [&](Form& s) {
        Find(s, LCase(word));
        auto& grid = s.Get<VSFlexGrid>("flexResults");
        found = grid.Rows() - 1;
        long row = grid.FindRow(Variant("7"), 1, 0);
        ASSERT_GT(row, 0);
        grid.UserSelect(row, 1);
        s.Get<CommandButton>("cmdOK").UserClick();
    });
    EXPECT_GE(found, 1);
    EXPECT_EQ(CLng(host->App()
                       ->CallGetQueryRSXML(
                           "SELECT COUNT(*) AS n FROM site_wl_vw WHERE UPPER(site_name) LIKE '%" +
                           UCase(word) + "%' OR UPPER(site_code) LIKE '%" + UCase(word) + "%'")
                       ->Value("n")),
              found);
    ASSERT_EQ(rs->RecordCount(), 1);
    rs->MoveFirst();
    EXPECT_EQ(CLng(rs->Value("ID")), 7);
    EXPECT_EQ(CStr(rs->Value("site_name")), name);

    // Cancel, or OK without being told to use the recordset, leaves it empty.
    auto cancelled = Pick("ZELK_Site.SiteSearch", proto(), true, [&](Form& s) {
        Find(s, word);
        s.Get<VSFlexGrid>("flexResults").UserSelect(1, 0);
        s.Get<CommandButton>("cmdCancel").UserClick();
    });
    EXPECT_EQ(cancelled->RecordCount(), 0);
    auto unused = Pick(
        "ZELK_Site.SiteSearch", proto(), true,
        [&](Form& s) {
            Find(s, word);
            s.Get<VSFlexGrid>("flexResults").UserSelect(1, 0);
            s.Get<CommandButton>("cmdOK").UserClick();
        },
        false);
    EXPECT_EQ(unused->RecordCount(), 0);
}

TEST_F(StandInSearchTest, PicksSeveralReferencesAndQuotesTheUsersText) {
    auto rs = Pick("ZELK_Reference.ReferenceSearch",
                   host->App()->CallGetQueryRSXML("select * from REFERENCE_WL_VW WHERE 1=0"), false,
                   [&](Form& s) {
                       // Names such as O'Neil reach the SQL quoted; nothing breaks.
                       Find(s, "'");
                       EXPECT_TRUE(ui->Messages().empty());
                       Find(s, "");
                       auto& grid = s.Get<VSFlexGrid>("flexResults");
                       ASSERT_GE(grid.Rows(), 4);
                       EXPECT_EQ(grid.TextMatrix(0, 1), "Reference Code");
                       grid.UserSelectRows({1, 3});
                       EXPECT_TRUE(s.Get<CommandButton>("cmdOK").Enabled());
                       s.Get<CommandButton>("cmdOK").UserClick();
                   });
    ASSERT_EQ(rs->RecordCount(), 2);
    rs->MoveFirst();
    long id = CLng(rs->Value("ID"));
    EXPECT_EQ(
        CStr(rs->Value("REFERENCE_CODE")),
        Text("SELECT * FROM REFERENCE_WL_VW WHERE id = " + std::to_string(id), "reference_code"));
    EXPECT_FALSE(CStr(rs->Value("FULL_CITATION")).empty());

    // The search itself: an ID narrows it, a text that is no number is refused.
    host::StandInSearch search(host::ReferenceSearchSource());
    RecordsetPtr none;
    search.InitModalSearch(host->App(), none, "");
    search.Get<TextBox>("txtID").SetText(std::to_string(id));
    EXPECT_EQ(search.FindNow(), 1);
    search.Get<TextBox>("txtID").SetText("3 OR 1=1");
    EXPECT_THROW(search.FindNow(), ComError);
    search.SetIdEnabled(false);
    search.Get<TextBox>("txtName").SetText("O'Neil' OR 'x'='x");
    EXPECT_EQ(search.BuildSQL(), "SELECT * FROM REFERENCE_WL_VW WHERE (UPPER(REFERENCE_WL_VW."
                                 "reference_code) LIKE '%O''NEIL'' OR ''X''=''X%' OR "
                                 "UPPER(REFERENCE_WL_VW.full_citation) LIKE '%O''NEIL'' OR "
                                 "''X''=''X%') ORDER BY REFERENCE_WL_VW.reference_code");
    EXPECT_EQ(search.FindNow(), 0);
}

TEST_F(StandInSearchTest, PicksAnElementWithItsLevel) {
    std::string sci = Text("SELECT * FROM element_wl_vw WHERE id = 3", "scientific_name");
    auto rs = Pick("ZELK_Element.ElementSearch", host->App()->GetPrototypeRSForView("ELE"), true,
                   [&](Form& s) {
                       Find(s, sci);
                       auto& grid = s.Get<VSFlexGrid>("flexResults");
                       long row = grid.FindRow(Variant("3"), 1, 0);
                       ASSERT_GT(row, 0);
                       grid.UserSelect(row, 0);
                       grid.UserDblClick();
                   });
    ASSERT_EQ(rs->RecordCount(), 1);
    rs->MoveFirst();
    EXPECT_EQ(CLng(rs->Value("ID")), 3);
    EXPECT_EQ(CStr(rs->Value("SCIENTIFIC_NAME")), sci);
    EXPECT_EQ(CStr(rs->Value("GEOLEVEL")), "Global");
    EXPECT_FALSE(CStr(rs->Value("RANK")).empty());
}

} // namespace
} // namespace zelk::testing
