#include "SearchFixture.h"

#include "platform/Strings.h"

#include <algorithm>

namespace zelk::search::test {
namespace {

using SqlTest = SearchTest;

const std::string kHead = "SELECT UNIQUE managed_area_wl_vw.* FROM managed_area_wl_vw";
const std::string kOrder = " order by managed_area_wl_vw.id";

long Occurrences(const std::string& s, const std::string& part) {
    long n = 0;
    for (auto p = s.find(part); p != std::string::npos; p = s.find(part, p + 1))
        ++n;
    return n;
}

TEST_F(SqlTest, CriteriaBecomeTheStatementsOfTheThreeForms) {
    InitFramed();
    // The worked example, character for character.
    Type("txtManagedAreaName", "oak");
    Type("txtCountyName", "la");
    Compare("cboCountyNameComparison", BeginsWith);
    EXPECT_EQ(search->BuildSearchSQL(),
              "SELECT UNIQUE managed_area_wl_vw.* FROM managed_area_wl_vw, managed_area_county, "
              "d_county WHERE (managed_area_wl_vw.id = managed_area_county.managed_area_id(+) AND "
              "managed_area_county.D_COUNTY_ID = d_county.D_COUNTY_ID(+)) AND "
              "(UPPER(managed_area_wl_vw.managed_area_name) LIKE '%OAK%' AND "
              "UPPER(d_county.county_name) LIKE 'LA%') order by managed_area_wl_vw.id");

    // A code wins over everything but the ID, always as an exact upper-cased match.
    Type("txtManagedAreaCodeBCD", "ab'c ");
    EXPECT_EQ(search->BuildSearchSQL(), "Select managed_area_wl_vw.* from managed_area_wl_vw where "
                                        "UPPER(managed_area_wl_vw.macode) = 'AB''C '");
    // The ID wins over everything.
    Type("txtManagedAreaID", "12");
    EXPECT_EQ(search->BuildSearchSQL(), "select * from managed_area_wl_vw where id = 12");

    // Nothing at all: every area, in the upper-case form.
    Click("mnuFileNew");
    EXPECT_EQ(search->BuildSearchSQL(),
              "SELECT UNIQUE * FROM managed_area_wl_vw ORDER BY managed_area_wl_vw.id");

    // Name or alias: one bracketed OR, one join, one extra table.
    Type("txtManagedAreaName", "O'Neil");
    search->Get<OptionButton>("optMABoth").SetValue(true);
    EXPECT_EQ(search->BuildSearchSQL(),
              kHead +
                  ", managed_area_alias WHERE (managed_area_wl_vw.id = "
                  "managed_area_alias.managed_area_id(+)) AND "
                  "((UPPER(managed_area_wl_vw.managed_area_name) LIKE '%O''NEIL%' OR "
                  "UPPER(managed_area_alias.managed_area_alias) LIKE '%O''NEIL%'))" +
                  kOrder);
    search->Get<OptionButton>("optMAAlias").SetValue(true);
    EXPECT_EQ(search->BuildSearchSQL(),
              kHead +
                  ", managed_area_alias WHERE (managed_area_wl_vw.id = "
                  "managed_area_alias.managed_area_id(+)) AND "
                  "(UPPER(managed_area_alias.managed_area_alias) LIKE '%O''NEIL%')" +
                  kOrder);

    // A state code wins over a state name; blanks around the text stay in the literal.
    Click("mnuFileNew");
    Type("txtStateCode", " mn");
    Type("txtStateName", "minnesota");
    EXPECT_EQ(search->BuildSearchSQL(),
              kHead + " WHERE (managed_area_wl_vw.state = ' MN')" + kOrder);
    Type("txtStateCode", "   ");
    Compare("cboStateComparison", ExactMatch);
    EXPECT_EQ(search->BuildSearchSQL(),
              kHead +
                  ", ma, d_state WHERE (managed_area_wl_vw.id = ma.managed_area_id and "
                  "ma.d_state_id = d_state.d_state_id (+)) AND "
                  "(UPPER(d_state.state_name) = 'MINNESOTA')" +
                  kOrder);
}

TEST_F(SqlTest, EveryComparisonAndEveryCriterionHasItsFragmentAndJoins) {
    const char* col = "t.c";
    EXPECT_EQ(ManagedAreaSearch::BuildComparison(col, "o'k", Contains), "UPPER(t.c) LIKE '%O''K%'");
    EXPECT_EQ(ManagedAreaSearch::BuildComparison(col, "o'k", ExactMatch), "UPPER(t.c) = 'O''K'");
    EXPECT_EQ(ManagedAreaSearch::BuildComparison(col, "o'k", BeginsWith),
              "UPPER(t.c) LIKE 'O''K%'");
    EXPECT_EQ(ManagedAreaSearch::BuildComparison(col, "o'k", EndsWith), "UPPER(t.c) LIKE '%O''K'");
    EXPECT_EQ(ManagedAreaSearch::BuildComparison(col, "o_k%", Wildcard), "UPPER(t.c) LIKE 'O_K%'");

    InitFramed();
    // Every criterion but ID, code and state code at once, in the order of the tabs.
    Type("txtManagedAreaName", "a");
    Type("txtManagedAreaType", "b");
    Compare("cboMATypeComparison", EndsWith);
    Type("txtMapsheetCode", "c");
    Type("txtCountyName", "d");
    Type("txtLocalJurisdiction", "e");
    Compare("cboLocalJurisComparison", Wildcard);
    Type("txtSiteName", "f");
    Type("txtStateName", "g");
    std::string sql = search->BuildSearchSQL();
    EXPECT_EQ(sql.rfind(kHead + ", managed_area_mapsheet, d_mapsheet, managed_area_county, "
                                "d_county, managed_area_local_juris, d_local_jurisdiction, "
                                "managed_area_site, conservation_site, ma, d_state WHERE (",
                        0),
              0u)
        << sql;
    const std::vector<std::string> inOrder = {
        "managed_area_wl_vw.id = managed_area_mapsheet.managed_area_id(+) AND "
        "managed_area_mapsheet.D_MAPSHEET_ID = d_mapsheet.D_MAPSHEET_ID(+) AND ",
        "managed_area_county.D_COUNTY_ID = d_county.D_COUNTY_ID(+) AND ",
        "managed_area_local_juris.D_LOCAL_JURISDICTION_ID = "
        "d_local_jurisdiction.D_LOCAL_JURISDICTION_ID(+) AND ",
        "managed_area_site.conservation_site_id = conservation_site.conservation_site_id(+) AND ",
        "managed_area_wl_vw.id = ma.managed_area_id and ma.d_state_id = d_state.d_state_id (+)) "
        "AND (",
        "UPPER(managed_area_wl_vw.managed_area_name) LIKE '%A%' AND ",
        "UPPER(managed_area_wl_vw.managed_area_type) LIKE '%B' AND ",
        "UPPER(d_mapsheet.mapsheet_cd) LIKE '%C%' AND ",
        "UPPER(d_county.county_name) LIKE '%D%' AND ",
        "UPPER(d_local_jurisdiction.local_jurisdiction_desc) LIKE 'E' AND ",
        "UPPER(conservation_site.site_name) LIKE '%F%' AND ",
        "UPPER(d_state.state_name) LIKE '%G%')" + kOrder};
    std::size_t at = 0;
    for (const std::string& part : inOrder) {
        auto p = sql.find(part, at);
        ASSERT_NE(p, std::string::npos) << part << "\nin " << sql;
        at = p + part.size();
    }
    EXPECT_EQ(at, sql.size());

    // Hostile text stays inside its literal: every quote doubled, nothing else touched.
    for (const std::string& text :
         {std::string("x' OR '1'='1"), std::string("a--b;c"), std::string("'';DROP TABLE ma;--"),
          std::string("Zürich 100%_")}) {
        Click("mnuFileNew");
        Type("txtManagedAreaType", text);
        sql = search->BuildSearchSQL();
        const std::string literal = "'%" + UCase(QuoteEscape(text)) + "%'";
        EXPECT_NE(sql.find("UPPER(managed_area_wl_vw.managed_area_type) LIKE " + literal),
                  std::string::npos)
            << sql;
        EXPECT_EQ(Occurrences(sql, "'") % 2, 0) << sql;
    }
}

TEST_F(SqlTest, SearchesOnTheSampleDataFindWhatHandWrittenQueriesFind) {
    InitFramed();
    auto run = [&] {
        Click("cmdFindNow");
        return GridIds();
    };
    // The example: oak areas in counties beginning with S.
    Type("txtManagedAreaName", "oak");
    Type("txtCountyName", "s");
    Compare("cboCountyNameComparison", BeginsWith);
    auto oakS = DbIds("SELECT id FROM managed_area_wl_vw v WHERE upper(v.managed_area_name) LIKE "
                      "'%OAK%' AND EXISTS (SELECT 1 FROM managed_area_county mc JOIN d_county c "
                      "ON c.d_county_id = mc.d_county_id WHERE mc.managed_area_id = v.id AND "
                      "substr(upper(c.county_name), 1, 1) = 'S') ORDER BY v.id");
    ASSERT_GT(oakS.size(), 3u);
    EXPECT_EQ(run(), oakS);
    EXPECT_EQ(Count(), std::to_string(oakS.size()));
    EXPECT_EQ(Grid().Row(), 1) << "the first match is current";
    EXPECT_TRUE(search->Get<CommandButton>("cmdOK").Enabled());

    // Name or alias.
    Click("mnuFileNew");
    Type("txtManagedAreaName", "oak");
    search->Get<OptionButton>("optMABoth").SetValue(true);
    EXPECT_EQ(run(), DbIds("SELECT id FROM managed_area_wl_vw v WHERE upper(managed_area_name) "
                           "LIKE '%OAK%' OR EXISTS (SELECT 1 FROM managed_area_alias a WHERE "
                           "a.managed_area_id = v.id AND upper(a.managed_area_alias) LIKE '%OAK%')"
                           " ORDER BY id"));

    // Type by exact match, with a state name.
    Click("mnuFileNew");
    std::string type = CStr(Scalar("SELECT managed_area_type FROM ma WHERE managed_area_type IS "
                                   "NOT NULL ORDER BY managed_area_id LIMIT 1"));
    std::string state = CStr(Scalar("SELECT s.state_name FROM ma JOIN d_state s ON s.d_state_id = "
                                    "ma.d_state_id ORDER BY ma.managed_area_id LIMIT 1"));
    Type("txtManagedAreaType", LCase(type));
    Compare("cboMATypeComparison", ExactMatch);
    Type("txtStateName", state.substr(1));
    Compare("cboStateComparison", EndsWith);
    auto typeState = DbIds(
        "SELECT v.id FROM managed_area_wl_vw v JOIN ma ON ma.managed_area_id = v.id JOIN d_state s "
        "ON s.d_state_id = ma.d_state_id WHERE upper(v.managed_area_type) = upper(?) AND "
        "upper(s.state_name) LIKE upper(?) ORDER BY v.id",
        {Variant(type), Variant("%" + state.substr(1))});
    ASSERT_FALSE(typeState.empty());
    EXPECT_EQ(run(), typeState);

    // State code; then a site and a mapsheet.
    Click("mnuFileNew");
    std::string code = CStr(Scalar("SELECT state FROM managed_area_wl_vw WHERE state IS NOT NULL "
                                   "ORDER BY id LIMIT 1"));
    Type("txtStateCode", LCase(code));
    EXPECT_EQ(run(), DbIds("SELECT id FROM managed_area_wl_vw WHERE state = ? ORDER BY id",
                           {Variant(code)}));
    Click("mnuFileNew");
    std::string site = CStr(Scalar("SELECT site_name FROM conservation_site cs JOIN "
                                   "managed_area_site m ON m.conservation_site_id = "
                                   "cs.conservation_site_id LIMIT 1"));
    Type("txtSiteName", site.substr(0, 3));
    Compare("cboSiteNameComparison", BeginsWith);
    auto sites = DbIds("SELECT DISTINCT m.managed_area_id FROM managed_area_site m JOIN "
                       "conservation_site cs ON cs.conservation_site_id = m.conservation_site_id "
                       "WHERE substr(upper(cs.site_name), 1, 3) = upper(?) ORDER BY 1",
                       {Variant(site.substr(0, 3))});
    ASSERT_FALSE(sites.empty());
    EXPECT_EQ(run(), sites);

    // By ID and by code.
    Click("mnuFileNew");
    Type("txtManagedAreaID", " 17 ");
    EXPECT_EQ(run(), std::vector<long>{17});
    Click("mnuFileNew");
    std::string macode = CStr(Scalar("SELECT macode_bcd FROM ma WHERE managed_area_id = 9"));
    Type("txtManagedAreaCodeBCD", LCase(macode));
    EXPECT_EQ(run(), DbIds("SELECT managed_area_id FROM ma WHERE upper(macode_bcd) = upper(?)",
                           {Variant(macode)}));
}

TEST_F(SqlTest, HostileTextMatchesLiterallyAndBadInputNeverReachesTheDatabase) {
    InitFramed();
    // An area whose name holds every awkward character.
    const std::string odd = "O'Hara's \"Fen\" -- a;b 50% _x_ * ? [z] Zürich";
    host->Db()->Execute("UPDATE ma SET managed_area_name = ? WHERE managed_area_id = 33",
                        {Variant(odd)});
    for (const std::string& needle :
         {std::string("O'Hara's"), std::string("\"Fen\" --"), std::string("a;b"),
          std::string("* ? [z]"), std::string("zürich"), std::string("hara's \"fen")}) {
        Click("mnuFileNew");
        Type("txtManagedAreaName", needle);
        Click("cmdFindNow");
        EXPECT_EQ(GridIds(), std::vector<long>{33}) << needle;
    }
    // Unmatched quotes and statement separators find nothing and break nothing.
    for (const std::string& needle :
         {std::string("''x"), std::string("';--"), std::string("x'); DELETE FROM ma; --")}) {
        Click("mnuFileNew");
        Type("txtManagedAreaName", needle);
        Click("cmdFindNow");
        EXPECT_TRUE(GridIds().empty()) << needle;
    }
    EXPECT_EQ(CLng(Scalar("SELECT count(*) FROM ma")), 500);
    // "%" and "_" stay the pattern characters of LIKE.
    Click("mnuFileNew");
    Type("txtManagedAreaName", "50%_x");
    Click("cmdFindNow");
    EXPECT_EQ(GridIds(), std::vector<long>{33});

    // A non-numeric ID: told, no query, the previous results stay.
    auto before = GridIds();
    for (const std::string& bad : {std::string("12a"), std::string("1.5"), std::string("1,000"),
                                   std::string("3 or 1=1"), std::string("99999999999")}) {
        Type("txtManagedAreaID", bad);
        Click("cmdFindNow");
        ASSERT_NE(ui->LastMessage(), nullptr);
        EXPECT_EQ(ui->LastMessage()->text, "The managed area ID must be a whole number.") << bad;
        EXPECT_EQ(Box("txtManagedAreaID").SelLength(), static_cast<long>(bad.size()));
        EXPECT_EQ(GridIds(), before) << bad;
        ui->ClearLog();
    }

    // No criteria: No keeps everything as it was, Yes lists every area.
    Click("mnuFileNew");
    ui->QueueAnswer(vb::No);
    Click("cmdFindNow");
    EXPECT_TRUE(GridIds().empty());
    ui->QueueAnswer(vb::Yes);
    Click("cmdFindNow");
    EXPECT_EQ(GridIds().size(), 500u);
    EXPECT_EQ(Count(), "500");

    // A failing query shows its message and keeps the previous results.
    zelk::testing::SetStatementHook(*host->Db(), [](const std::string&) {
        Raise(err::ProviderError, "Injected failure", "DataService");
    });
    Type("txtManagedAreaName", "oak");
    Click("cmdFindNow");
    zelk::testing::SetStatementHook(*host->Db(), nullptr);
    ASSERT_NE(ui->LastMessage(), nullptr);
    EXPECT_EQ(ui->LastMessage()->text.rfind("Error: ", 0), 0u) << ui->LastMessage()->text;
    EXPECT_EQ(GridIds().size(), 500u);
    EXPECT_EQ(Count(), "500");
    EXPECT_EQ(Screen::Instance().MousePointer(), mouse::Default);

    // Nothing found: count 0, OK off.
    Type("txtManagedAreaName", "no such area anywhere");
    Click("cmdFindNow");
    EXPECT_EQ(Count(), "0");
    EXPECT_FALSE(search->Get<CommandButton>("cmdOK").Enabled());
}

} // namespace
} // namespace zelk::search::test
