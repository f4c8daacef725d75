#include "editor/EditorFixture.h"

#include "editor/FieldRules.h"
#include "host/app/Coordinates.h"
#include "host/app/MessageCatalog.h"
#include "platform/ui/UiDriver.h"

#include <cmath>

namespace zelk::testing {
namespace {

std::string Text(const std::string& code) {
    return host::MessageCatalog::Default().Format(code, {});
}

TEST(AreaConversion, FactorRoundingAndSinglePrecision) {
    using editor::AcresToHectares;
    using editor::HectaresToAcres;
    struct Case {
        float in;
        float hectares;
    };
    const Case cases[] = {
        {0.0f, 0.0f},
        {100.0f, 40.46873f},
        {-100.0f, -40.46873f},
        {2.4710437f, 1.0f},
        {1e-9f, 0.0f}, // below the seventh decimal
        {0.0000004f, 0.0000002f},
        {1e30f, static_cast<float>(1e30 / 2.4710437)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AcresToHectares(c.in), c.hectares) << c.in;
    EXPECT_EQ(HectaresToAcres(1.0f), 2.4710437f);
    EXPECT_EQ(HectaresToAcres(40.46873f), 100.0f) << "back and forth stays at 100 acres";
    EXPECT_EQ(editor::SingleText(AcresToHectares(100.0f)), "40.46873");
    EXPECT_TRUE(std::isfinite(AcresToHectares(3e38f)));
    // Equal when both show the same to 4 decimals at single precision; no prefix match.
    EXPECT_TRUE(editor::SameArea(40.46873, 40.4687309f));
    EXPECT_TRUE(editor::SameArea(100.00001, 100.0f));
    EXPECT_FALSE(editor::SameArea(10000, 1000.0f));
    EXPECT_FALSE(editor::SameArea(40.5, 40.46873f));
    EXPECT_TRUE(editor::SameArea(0, 0.0f));
}

class FieldsTest : public EditorTest {
protected:
    void Open(editor::Page page) {
        Init();
        editor->LoadData(FirstId("SELECT managed_area_id FROM ma ORDER BY managed_area_id LIMIT 1 "
                                 "OFFSET 7"));
        editor->tabManagedAreas->UserSelectTab(page);
    }
    // The user types into a box and then tries to move on; whether the focus could leave.
    bool TypeAndLeave(TextBox* box, const std::string& text, Control* next) {
        EXPECT_TRUE(box->UserType(text));
        return next->SetFocus() && !box->HasFocus();
    }
};

TEST_F(FieldsTest, AnAreaFillsItsPartnerAndEveryBoxRefusesText) {
    Open(editor::PageDescriptors);
    auto* acres = editor->txtStateAcres;
    auto* hectares = editor->txtStateHectares;
    hectares->SetText("");
    ASSERT_TRUE(TypeAndLeave(acres, "100", editor->ctlMAComments));
    EXPECT_EQ(hectares->Text(), "40.46873");
    EXPECT_DOUBLE_EQ(CDbl(Field("AreaInStateHectares")), 40.46873);
    EXPECT_DOUBLE_EQ(CDbl(Field("AreaInStateAcres")), 100);

    // Leaving the hectares box with that value changes nothing: 100 acres stay.
    ASSERT_TRUE(TypeAndLeave(hectares, "40.46873", editor->ctlMAComments));
    EXPECT_EQ(acres->Text(), "100");
    // The same to four decimals: nothing changes either.
    ASSERT_TRUE(TypeAndLeave(acres, "100.00001", editor->ctlMAComments));
    EXPECT_EQ(hectares->Text(), "40.46873");
    // A real change converts again, also when the old text begins like the new one.
    ASSERT_TRUE(TypeAndLeave(editor->txtTotalHectares, "10000", editor->ctlMAComments));
    ASSERT_TRUE(TypeAndLeave(editor->txtTotalAcres, "2471.0437", editor->ctlMAComments));
    EXPECT_EQ(editor->txtTotalHectares->Text(), "1000");
    ASSERT_TRUE(TypeAndLeave(editor->txtTotalAcres, "-5", editor->ctlMAComments));
    EXPECT_EQ(editor->txtTotalHectares->Text(), "-2.023437");

    // Emptying a box leaves its partner as it was.
    ASSERT_TRUE(TypeAndLeave(acres, "", editor->ctlMAComments));
    EXPECT_EQ(hectares->Text(), "40.46873");
    EXPECT_TRUE(Field("AreaInStateAcres").IsNull());
    EXPECT_TRUE(ui->Messages().empty());

    const std::pair<TextBox*, const char*> boxes[] = {{editor->txtStateHectares, "MGA017"},
                                                      {editor->txtStateAcres, "MGA018"},
                                                      {editor->txtTotalAcres, "MGA019"},
                                                      {editor->txtTotalHectares, "MGA020"}};
    for (const auto& [box, code] : boxes) {
        for (const char* bad : {"many", "1e40"}) {
            ui->ClearLog();
            std::string partner = (box == acres || box == hectares)
                                      ? (box == acres ? hectares : acres)->Text()
                                      : std::string();
            EXPECT_FALSE(TypeAndLeave(box, bad, editor->ctlMAComments)) << code;
            ASSERT_EQ(ui->Messages().size(), 1u) << code;
            EXPECT_EQ(ui->Messages()[0], Text(code));
            EXPECT_TRUE(box->HasFocus()) << code;
            if (!partner.empty()) {
                EXPECT_EQ((box == acres ? hectares : acres)->Text(), partner) << code;
            }
        }
        box->UserType("1");
        EXPECT_TRUE(editor->ctlMAComments->SetFocus());
    }
    // Boxes select their whole text when entered.
    editor->txtTotalAcres->SetFocus();
    EXPECT_EQ(editor->txtTotalAcres->SelLength(),
              static_cast<long>(editor->txtTotalAcres->Text().size()));
}

TEST_F(FieldsTest, CoordinatesAreCheckedWhenLeftAndIndicatorsWriteYN) {
    Open(editor::PageLocators);
    struct Case {
        TextBox* box;
        const char* label;
        int width;
        const char* letters;
        const char* good;
    };
    const Case cases[] = {{editor->txtLatitude, "Latitude", 7, "NS", "443000N"},
                          {editor->txtLongitude, "Longitude", 8, "EW", "0723000W"},
                          {editor->txtNorth, "Latitude North", 7, "NS", "450000N"},
                          {editor->txtSouth, "Latitude South", 7, "NS", "440000N"},
                          {editor->txtEast, "Longitude East", 8, "EW", "0710000W"},
                          {editor->txtWest, "Longitude West", 8, "EW", "0730000W"}};
    for (const Case& c : cases) {
        ui->ClearLog();
        EXPECT_FALSE(TypeAndLeave(c.box, "443000E", editor->cboNation)) << c.label;
        ASSERT_EQ(ui->Messages().size(), 1u);
        EXPECT_EQ(ui->Messages()[0],
                  host::CoordinateProblem("443000E", c.label, c.width, c.letters));
        EXPECT_TRUE(TypeAndLeave(c.box, c.good, editor->cboNation)) << c.label;
        EXPECT_EQ(CStr(Field(c.box->Tag().substr(std::string("MA_ManagedArea.").size()))), c.good);
    }
    EXPECT_TRUE(TypeAndLeave(editor->txtLatitude, "", editor->cboNation)) << "empty is allowed";

    editor->tabManagedAreas->UserSelectTab(editor::PageDescriptors);
    editor->chkContiguous->SetValue(1);
    EXPECT_EQ(CStr(Field("ContiguousInd")), "Y");
    editor->chkContiguous->SetValue(2);
    EXPECT_EQ(CStr(Field("ContiguousInd")), "N") << "grey stores N";
    editor->tabManagedAreas->UserSelectTab(editor::PageManagement);
    editor->chkManagementPlan->SetValue(1);
    EXPECT_EQ(CStr(Field("MgmtPlanInd")), "Y");
}

TEST_F(FieldsTest, ChoosingANationReloadsItsStates) {
    host->Db()->ExecScript(
        "INSERT INTO d_nation (nation_id, display_value, display_order, default_ind) VALUES "
        "(9, 'Andorra', 9, 'N');"
        "INSERT INTO d_state (d_state_id, display_value, display_order, default_ind, nation_id) "
        "VALUES (901, 'Andorra la Vella', 1, 'N', 9);");
    Open(editor::PageLocators);
    auto pick = [&](const std::string& nation) {
        for (int i = 0; i < editor->cboNation->ListCount(); ++i)
            if (editor->cboNation->ListText(i) == nation) return editor->cboNation->UserPick(i);
        ADD_FAILURE() << nation;
        return false;
    };
    ASSERT_TRUE(pick("Canada"));
    EXPECT_EQ(CStr(Field("NationId")), "2");
    // Ordered by display order; the second entry is preselected.
    ASSERT_GT(editor->cboState->ListCount(), 2);
    EXPECT_EQ(editor->cboState->ListText(0), "Alberta");
    EXPECT_EQ(editor->cboState->Text(), "British Columbia");
    EXPECT_EQ(CStr(Field("DStateId")), "102");
    EXPECT_EQ(editor->cboState->ToolTipText(), "British Columbia");
    EXPECT_EQ(editor->cboNation->ToolTipText(), "Canada");

    ASSERT_TRUE(pick("Andorra"));
    EXPECT_EQ(editor->cboState->ListCount(), 1);
    EXPECT_EQ(editor->cboState->Text(), "Andorra la Vella");
    EXPECT_EQ(CStr(Field("DStateId")), "901");

    // A state that belongs to the nation chosen stays.
    editor->ManagedAreaObject()->SetProperty("DStateId", Variant(109));
    ASSERT_TRUE(pick("Canada"));
    EXPECT_EQ(editor->cboState->Text(), "Ontario");
    EXPECT_EQ(CStr(Field("DStateId")), "109");
    EXPECT_TRUE(ui->Messages().empty());
}

TEST_F(FieldsTest, LeavingTheNameShowsItInTheHeader) {
    Open(editor::PageIdentifiers);
    editor->ctlMAName->UserType("Bittern Reach");
    EXPECT_NE(editor->txtSummaryMAName->Text(), "Bittern Reach") << "not before it is left";
    EXPECT_TRUE(editor->txtMACodeBCD->SetFocus());
    EXPECT_EQ(editor->txtSummaryMAName->Text(), "Bittern Reach");
    EXPECT_EQ(window->Caption(), "MA - Bittern Reach (Managed Area)");
}

} // namespace
} // namespace zelk::testing
