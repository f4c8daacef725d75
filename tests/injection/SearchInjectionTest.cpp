#include "injection/InjectionFixture.h"
#include "support/TestBackend.h"

#include "platform/Conv.h"
#include "platform/Strings.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/VSFlexGrid.h"
#include "search/ManagedAreaSearch.h"

#include <algorithm>
#include <cstdio>

namespace zelk::testing {
namespace {

class SearchInjection : public ScriptedUiTest {
protected:
    void SetUp() override {
        ScriptedUiTest::SetUp();
        host::HostOptions o;
        o.sampleAreas = 60;
        host = host::ReferenceHost::Open(zelk::testing::OnTestBackend(o));
        window = std::make_shared<host::HostWindow>("frmFind");
        search = std::dynamic_pointer_cast<search::ManagedAreaSearch>(
            window->AddControl("ZELK_ManagedArea.ManagedAreaSearch", "ctlSearch"));
        ASSERT_TRUE(search);
        search->Call("InitSearch", {Variant(host->WorkingList()), Variant(host->App()), Variant(1),
                                    Variant(host->WinMan()), Variant(host->Views()), Variant("")});
    }
    void TearDown() override {
        search.reset();
        window.reset();
        host.reset();
        ScriptedUiTest::TearDown();
    }
    std::vector<long> GridIds() {
        auto& g = search->Get<VSFlexGrid>("flexResults");
        std::vector<long> out;
        for (long r = g.FixedRows(); r < g.Rows(); ++r)
            out.push_back(CLng(Variant(g.TextMatrix(r, 0))));
        std::sort(out.begin(), out.end());
        return out;
    }
    // Areas whose name holds the text, compared as the search compares: upper case.
    std::vector<long> NameMatches(const std::string& text) {
        std::vector<long> out;
        auto rs = host->Db()->Query("SELECT managed_area_id, managed_area_name FROM ma");
        const std::string t = UCase(text);
        for (; !rs->EOF(); rs->MoveNext()) {
            Variant name = rs->GetFields().Item(std::size_t{1}).Value();
            if (!name.IsNull() && UCase(CStr(name)).find(t) != std::string::npos)
                out.push_back(CLng(rs->GetFields().Item(std::size_t{0}).Value()));
        }
        std::sort(out.begin(), out.end());
        return out;
    }
    std::unique_ptr<host::ReferenceHost> host;
    std::shared_ptr<host::HostWindow> window;
    std::shared_ptr<search::ManagedAreaSearch> search;
};

TEST_F(SearchInjection, HostileTextInEveryCriterionBoxFindsLiteralMatchesAndChangesNothing) {
    const auto& hostile = HostileStrings();
    ASSERT_GE(hostile.size(), 200u);
    // Some areas carry the hostile texts in their names, so that there is something to find.
    for (std::size_t i = 0; i < 40 && i < hostile.size(); ++i)
        host->Db()->Execute(
            "UPDATE ma SET managed_area_name = ? WHERE managed_area_id = "
            "(SELECT managed_area_id FROM ma ORDER BY managed_area_id LIMIT 1 "
            "OFFSET ?)",
            {Variant("Area " + hostile[i * 3 % hostile.size()]), Variant(static_cast<int>(i))});
    const std::string before = DatabaseSnapshot(*host->Db());
    const char* boxes[] = {"txtManagedAreaName",    "txtManagedAreaType", "txtManagedAreaID",
                           "txtManagedAreaCodeBCD", "txtMapsheetCode",    "txtCountyName",
                           "txtLocalJurisdiction",  "txtSiteName",        "txtStateCode",
                           "txtStateName"};
    long searches = 0, found = 0;
    for (const std::string& s : hostile) {
        for (const char* box : boxes) {
            search->Get<Control>("mnuFileNew").UserClick();
            auto& t = search->Get<TextBox>(box);
            t.SetText(s);
            const bool blank = Trim(t.Text()).empty();
            const bool idBox = std::string(box) == "txtManagedAreaID";
            if (blank) ui->QueueAnswer(vb::No);
            ui->ClearLog();
            search->Get<Control>("cmdFindNow").UserClick();
            ++searches;
            for (const auto& m : ui->Messages())
                EXPECT_FALSE(ShowsSql(m, s)) << box << " " << Shown(s) << ": " << m;
            // Past the database's limit for a LIKE pattern the search says so instead.
            if (!blank && !idBox && t.Text().size() < 50000) {
                EXPECT_TRUE(ui->Messages().empty())
                    << box << " " << Shown(s) << ": " << ui->Messages().front();
            }
            if (idBox && !blank) {
                EXPECT_EQ(ui->Messages().size(), 1u) << "not a record ID: " << Shown(s);
            }
            if (std::string(box) == "txtManagedAreaName" && !blank) {
                const auto literal = NameMatches(t.Text());
                const auto got = GridIds();
                found += static_cast<long>(got.size());
                if (HasLikeWildcard(t.Text())) {
                    // The text goes to LIKE as typed: its % and _ match more, never less.
                    EXPECT_TRUE(
                        std::includes(got.begin(), got.end(), literal.begin(), literal.end()))
                        << Shown(s);
                } else {
                    EXPECT_EQ(got, literal) << Shown(s);
                }
            }
        }
    }
    EXPECT_EQ(DatabaseSnapshot(*host->Db()), before) << "a search changed the database";
    EXPECT_GT(found, 40);
    std::printf("[ injection ] %zu strings, %ld searches, %ld rows found\n", hostile.size(),
                searches, found);
}

} // namespace
} // namespace zelk::testing

namespace zelk::testing {
namespace {

TEST_F(SearchInjection, HostileSearchNamesAreStoredListedAndOpenedAsTyped) {
    long stored = 0, refused = 0;
    const std::string others = DatabaseSnapshot(*host->Db(), {{"user_option", "0"}});
    for (const std::string& s : HostileStrings()) {
        search->Get<Control>("mnuFileNew").UserClick();
        search->Get<TextBox>("txtSiteName").SetText("fen");
        ui->ClearLog();
        bool typed = false;
        std::string name;
        ui->QueueModal("frmUserSearchSaveOpen", [&](Form& f) {
            auto& box = f.Get<TextBox>("txtSearchName");
            box.SetText(s);
            name = box.Text();
            typed = true;
            auto& save = f.Get<Control>("cmdSave");
            if (save.Enabled())
                save.UserClick();
            else
                f.Get<Control>("cmdCancel").UserClick();
        });
        // An existing name is replaced after a question.
        auto rs = host->Db()->Query("SELECT COUNT(*) FROM user_option WHERE option_name = ?",
                                    {Variant(s.substr(0, s.find('\0')))});
        const bool exists = CLng(rs->GetFields().Item(std::size_t{0}).Value()) > 0;
        if (exists) ui->QueueAnswer(vb::Yes);
        search->Get<Control>("mnuFileSaveSearchAs").UserClick();
        ASSERT_TRUE(typed);
        for (const auto& m : ui->Messages())
            EXPECT_FALSE(ShowsSql(m, s)) << Shown(s) << ": " << m;
        const std::string kept = search->SearchName();
        auto count = host->Db()->Query("SELECT COUNT(*) FROM user_option WHERE option_name = ?",
                                       {Variant(kept)});
        const long n = CLng(count->GetFields().Item(std::size_t{0}).Value());
        if (!kept.empty() && n == 1) {
            ++stored;
            EXPECT_EQ(kept, name) << Shown(s);
        } else {
            // Not stored: the user was told why.
            ++refused;
            EXPECT_EQ(n, 0) << Shown(s);
            EXPECT_FALSE(ui->Messages().empty() && !Trim(name).empty()) << Shown(s);
        }
        if (ui->PendingAnswers()) {
            ui = std::make_shared<ScriptedUiDriver>();
            ui->SetFailureHandler([](const std::string& what) { ADD_FAILURE() << what; });
            SetUiDriver(ui);
        }
    }
    EXPECT_EQ(DatabaseSnapshot(*host->Db(), {{"user_option", "0"}}), others);
    // The open dialog lists each stored name once, as stored.
    std::vector<std::string> listed;
    ui->QueueModal("frmUserSearchSaveOpen", [&](Form& f) {
        auto& list = f.Get<ListBox>("lstUserSearches");
        for (long i = 0; i < list.ListCount(); ++i)
            listed.push_back(list.List(i));
        f.Get<Control>("cmdCancel").UserClick();
    });
    search->Get<Control>("mnuFileOpenSearch").UserClick();
    auto named = host->Db()->Query(
        "SELECT COUNT(*) FROM user_option JOIN user_option_category USING "
        "(user_option_category_id) WHERE category_name = '$USER_FIND_MANAGED_AREA'");
    EXPECT_EQ(static_cast<long>(listed.size()),
              CLng(named->GetFields().Item(std::size_t{0}).Value()));
    std::printf("[ injection ] search names: %ld stored, %ld refused\n", stored, refused);
    EXPECT_GT(stored, 150);
}

} // namespace
} // namespace zelk::testing
