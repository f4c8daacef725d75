#include "ElementGridFixture.h"

#include "elementgrid/ElementQuery.h"
#include "platform/ui/StdControls.h"

namespace zelk::elementgrid::test {
namespace {

std::string LevelSelect(const std::string& idAs, const std::string& globalAs,
                        const std::string& table, const std::string& p, const std::string& level,
                        const std::string& id, const std::string& nameId) {
    return "Select element_managed_area.element_managed_area_id as element_managed_area_id, "
           "element_managed_area.managed_area_id AS managed_area_id, " +
           idAs + globalAs +
           "element_managed_area.element_national_id as element_national_id, "
           "element_managed_area.element_subnational_id as element_subnational_id, "
           "scientific_name.scientific_name as scientific_name, " +
           table + "." + p + "_primary_common_name as common_name, " + table + "." + p +
           "_rank as rank, '" + level +
           "' as Geo_Level, "
           "reference.reference_id as reference_id, reference.reference_code as reference_code, "
           "reference.full_citation as full_citation, element_managed_area.d_origin_id, "
           "element_managed_area.d_regularity_id, element_managed_area.d_dist_confidence_id, "
           "element_managed_area.d_curr_presence_absence_id, element_managed_area.d_population_id, "
           "element_managed_area.status_in_ma, element_managed_area.ma_distribution_com, "
           "element_managed_area.display_order From element_managed_area, " +
           table +
           ", scientific_name, reference Where element_managed_area.managed_area_id = " + id +
           " AND element_managed_area." + table + "_id = " + table + "." + table + "_id AND " +
           table + "." + nameId +
           " = scientific_name.scientific_name_id AND "
           "element_managed_area.reference_id = reference.reference_id(+) ";
}

TEST(ElementQueryTest, TheLoadAndTheOrderUpdateAreTheStatementsTheDatabaseExpects) {
    const std::string g = LevelSelect("element_managed_area.element_global_id  as element_id, ",
                                      "element_managed_area.element_global_id  as "
                                      "element_global_id, ",
                                      "element_global", "g", "Global", "42", "gname_id");
    const std::string n = LevelSelect("element_managed_area.element_national_id as element_id, ",
                                      "element_managed_area.element_global_id as "
                                      "element_global_id, ",
                                      "element_national", "n", "National", "42", "nname_id");
    const std::string s =
        LevelSelect("element_managed_area.element_subnational_id as element_id, ",
                    "element_managed_area.element_global_id as element_global_id, ",
                    "element_subnational", "s", "Subnational", "42", "sname_id");
    EXPECT_EQ(BuildElementQuery(42), g + " UNION " + n + " UNION " + s + " order by display_order");
    EXPECT_EQ(BuildDisplayOrderUpdate(3, "o'neil", 80002),
              "UPDATE element_managed_area SET display_order = 3, rec_last_mod_user = 'o''neil' "
              "WHERE element_managed_area_id = 80002");
}

TEST_F(ElementGridTest, LoadShowsEveryElementAsTheDatabaseHoldsIt) {
    ASSERT_EQ(app->queries.size(), 1u);
    EXPECT_EQ(app->queries[0], BuildElementQuery(kArea));

    // Layout: keys, headers, widths, hidden columns.
    ASSERT_EQ(G().Cols(), 21);
    EXPECT_EQ(G().FixedRows(), 1);
    const char* keys[] = {"element_managed_area_id",
                          "managed_area_id",
                          "element_id",
                          "element_global_id",
                          "element_national_id",
                          "element_subnational_id",
                          "scientific_name",
                          "common_name",
                          "rank",
                          "geo_level",
                          "reference_id",
                          "reference_code",
                          "full_citation",
                          "d_origin_id",
                          "d_regularity_id",
                          "d_dist_confidence_id",
                          "d_curr_presence_absence_id",
                          "d_population_id",
                          "status_in_ma",
                          "ma_distribution_com",
                          "display_order"};
    const char* headers[] = {"",
                             "",
                             "Element ID",
                             "Element Global ID",
                             "Element National ID",
                             "Element Subnational ID",
                             "Scientific Name",
                             "Common Name",
                             "Rank",
                             "Geo Level",
                             "Reference ID",
                             "Reference Code",
                             "Full Citation",
                             "Origin",
                             "Regularity",
                             "Distribution Confidence",
                             "Current Presence/Absence",
                             "Population",
                             "Status in MA",
                             "Distribution Comments",
                             "Display Order"};
    const bool hidden[] = {true,  true,  false, true,  true,  true,  false,
                           false, false, false, true,  false, false, false,
                           false, false, false, false, false, false, true};
    for (long c = 0; c < 21; ++c) {
        EXPECT_EQ(G().ColKey(c), keys[c]);
        EXPECT_EQ(G().TextMatrix(0, c), headers[c]) << keys[c];
        EXPECT_EQ(G().ColHidden(c), hidden[c]) << keys[c];
    }
    EXPECT_EQ(G().ColWidth(G().ColIndex("element_id")), 900);
    EXPECT_EQ(G().ColWidth(G().ColIndex("scientific_name")), 3500);
    EXPECT_EQ(G().ColWidth(G().ColIndex("full_citation")), 7500);
    EXPECT_EQ(G().ColWidth(G().ColIndex("ma_distribution_com")), 7500);
    // Coded columns list their domain by description.
    EXPECT_EQ(G().ColComboList(G().ColIndex("d_origin_id")),
              "#2;Introduced|#1;Native|#3;Reintroduced|#4;Unknown");
    EXPECT_EQ(G().ColComboList(G().ColIndex("d_population_id")),
              "#1;Breeding|#3;Migratory|#2;Non-breeding|#4;Resident|#5;Unknown");

    // Rows: every visible cell as the database has it, then the blank row.
    ASSERT_EQ(G().Rows(), 5);
    const char* expected[3][13] = {
        {"3", "", "", "", "", "", "", "Global", "O'HARA01",
         "O'Hara, P. 2001. Meadows of the \"north\".", "Resident", "North slope", "1"},
        {"4", "", "", "", "", "", "", "National", "", "", "", "", "2"},
        {"105", "", "", "", "", "", "", "Subnational", "", "", "It's rare", "", "3"},
    };
    for (long r = 1; r <= 3; ++r) {
        const std::string id = expected[r - 1][0];
        const std::string level = expected[r - 1][7];
        const std::string table = level == "Global"     ? "element_global"
                                  : level == "National" ? "element_national"
                                                        : "element_subnational";
        const std::string p = level == "Global" ? "g" : level == "National" ? "n" : "s";
        const std::string from = " FROM " + table +
                                 " e JOIN scientific_name s ON s.scientific_name_id = e." + p +
                                 "name_id WHERE e." + table + "_id = " + id;
        EXPECT_EQ(CellOf(r, "element_id"), id);
        EXPECT_EQ(CellOf(r, "scientific_name"), Scalar("SELECT s.scientific_name" + from));
        EXPECT_EQ(CellOf(r, "common_name"),
                  Scalar("SELECT e." + p + "_primary_common_name" + from));
        EXPECT_EQ(CellOf(r, "rank"), Scalar("SELECT e." + p + "_rank" + from));
        EXPECT_EQ(CellOf(r, "geo_level"), level);
        EXPECT_EQ(CellOf(r, "reference_code"), expected[r - 1][8]);
        EXPECT_EQ(CellOf(r, "full_citation"), expected[r - 1][9]);
        EXPECT_EQ(CellOf(r, "status_in_ma"), expected[r - 1][10]);
        EXPECT_EQ(CellOf(r, "ma_distribution_com"), expected[r - 1][11]);
        EXPECT_EQ(CellOf(r, "display_order"), expected[r - 1][12]);
        EXPECT_EQ(CellOf(r, "managed_area_id"), "9001");
        EXPECT_EQ(State(r), rowstate::Unchanged);
    }
    EXPECT_EQ(CellOf(1, "element_managed_area_id"), "80001");
    EXPECT_EQ(CellOf(1, "element_global_id"), "3");
    EXPECT_EQ(CellOf(2, "element_national_id"), "4");
    EXPECT_EQ(CellOf(3, "element_subnational_id"), "105");
    EXPECT_EQ(CellOf(1, "reference_id"), "7001");
    // Coded cells hold the ID and show the description.
    EXPECT_EQ(CellOf(1, "d_regularity_id"), "2");
    EXPECT_EQ(G().DisplayText(1, G().ColIndex("d_regularity_id")), "Occasional");
    EXPECT_EQ(G().DisplayText(3, G().ColIndex("d_population_id")), "Unknown");
    EXPECT_EQ(CellOf(2, "d_regularity_id"), "");
    for (long c = 0; c < 21; ++c)
        EXPECT_EQ(G().TextMatrix(4, c), "") << "blank row, " << keys[c];
    EXPECT_EQ(State(4), rowstate::New);

    // The detail panel shows row 1.
    EXPECT_EQ(G().Row(), 1);
    EXPECT_EQ(Ctl<Frame>("fraElementDetails").Caption(), "Element Details");
    EXPECT_EQ(Ctl<TextBox>("txtElementID").Text(), "3");
    EXPECT_EQ(Ctl<TextBox>("txtGeoLevel").Text(), "Global");
    EXPECT_EQ(Ctl<TextBox>("txtScientificName").Text(), CellOf(1, "scientific_name"));
    EXPECT_EQ(Ctl<TextBox>("txtReferenceCode").Text(), "O'HARA01");
    EXPECT_TRUE(Ctl<TextBox>("txtFullCitation").Locked());
    EXPECT_EQ(Ctl<DataCombo>("cboOrigin").Text(), "Native");
    EXPECT_EQ(Ctl<DataCombo>("cboRegularity").Text(), "Occasional");
    EXPECT_EQ(Ctl<DataCombo>("cboDistributionConfidence").Text(), "Possible");
    EXPECT_EQ(Ctl<DataCombo>("cboCurrentPresenceAbsence").Text(), "Present");
    EXPECT_EQ(Ctl<DataCombo>("cboPopulation").Text(), "Non-breeding");
    EXPECT_EQ(Ctl<TextBox>("txtStatusInMA").Text(), "Resident");
    EXPECT_EQ(Ctl<TextBox>("ctrDistributionComments").Text(), "North slope");
    EXPECT_FALSE(grid->IsModified());

    // Moving to another row fills the panel from it; within the row it is left alone.
    G().UserSelect(2, 6);
    EXPECT_EQ(Ctl<TextBox>("txtGeoLevel").Text(), "National");
    EXPECT_EQ(Ctl<DataCombo>("cboOrigin").Text(), "Introduced");
    EXPECT_EQ(Ctl<DataCombo>("cboRegularity").Text(), "");
    Ctl<TextBox>("txtRank").SetText("scribbled");
    G().UserSelect(2, 8);
    EXPECT_EQ(Ctl<TextBox>("txtRank").Text(), "scribbled");
    G().UserSelect(4, 6);
    EXPECT_EQ(Ctl<TextBox>("txtElementID").Text(), "");
    EXPECT_EQ(G().Rows(), 5) << "looking at the blank row does not use it";

    // The size is fixed.
    grid->SetWidth(4000);
    grid->SetHeight(900);
    EXPECT_EQ(grid->Width(), 11280);
    EXPECT_EQ(grid->Height(), 5265);

    // Clear empties every cell and the panel; Initialize rebuilds it all.
    grid->Clear();
    for (long c = 0; c < 21; ++c)
        EXPECT_EQ(G().TextMatrix(0, c), "");
    EXPECT_EQ(CellOf(1, "element_id"), "");
    EXPECT_EQ(Ctl<TextBox>("txtElementID").Text(), "");
    EXPECT_EQ(Ctl<DataCombo>("cboOrigin").BoundText(), "");
    Load(kArea);
    EXPECT_EQ(G().TextMatrix(0, 2), "Element ID");
    EXPECT_EQ(CellOf(3, "element_id"), "105");
    EXPECT_EQ(G().Rows(), 5);
    EXPECT_FALSE(grid->IsModified());
}

TEST_F(ElementGridTest, AnAreaWithoutElementsShowsOnlyTheBlankRow) {
    Load(kEmptyArea);
    EXPECT_EQ(app->queries.back(), BuildElementQuery(kEmptyArea));
    ASSERT_EQ(G().Rows(), 2);
    EXPECT_EQ(G().Row(), 1);
    EXPECT_EQ(State(1), rowstate::New);
    EXPECT_EQ(CellOf(1, "display_order"), "");
    EXPECT_EQ(Ctl<TextBox>("txtElementID").Text(), "");
    EXPECT_EQ(Ctl<DataCombo>("cboOrigin").Text(), "");
    EXPECT_EQ(G().TextMatrix(0, G().ColIndex("d_origin_id")), "Origin");
    EXPECT_FALSE(grid->IsModified());
    EXPECT_TRUE(grid->IsValid());
    // Domains come from a connected element of its own while the collection is empty.
    EXPECT_EQ(Ctl<DataCombo>("cboPopulation").ListCount(), 5);
    EXPECT_EQ(ElementCount(), 0);
}

} // namespace
} // namespace zelk::elementgrid::test
