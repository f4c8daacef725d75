#include "EditorFixture.h"

#include "common/GridProcedures.h"
#include "controls/DomainSelectGrid.h"
#include "controls/ctlMapsheet.h"
#include "controls/ctrlBindGrid.h"
#include "platform/Strings.h"
#include "platform/ui/StdControls.h"

#include <algorithm>

namespace zelk::testing {
namespace {

TEST_F(GridsEditorTest, ComboListsOfferADomainInTheOrderItWasSortedBy) {
    auto ma = LoadManagedArea(FindRecord("1 = 1"));
    bo::DomainPtr owners = ma->GetDomain("OWNER_TYPE", Variant(), true);
    ASSERT_TRUE(owners);
    host->Db()->Execute("UPDATE d_owner_type SET owner_type_desc = 'A first' "
                        "WHERE d_owner_type_id = 6");
    owners = ma->GetDomain("OWNER_TYPE", Variant(), true);
    common::SortDomainList(owners, "owner_type_desc");
    std::string list = common::BuildComboList(owners, "d_owner_type_id", "display_value");
    EXPECT_EQ(list.rfind("#6;Private|#1;Federal|", 0), 0u) << list;
    EXPECT_NE(list.back(), '|');
    auto entries = VSFlexGrid::ParseComboList(list);
    EXPECT_EQ(static_cast<long>(entries.size()), owners->Count());

    common::SortDomainList(owners, "display_value");
    list = common::BuildComboList(owners, "d_owner_type_id", "display_value");
    EXPECT_EQ(list.rfind("#1;Federal|#7;Joint|", 0), 0u) << list;

    // A value missing from a row leaves its place empty rather than failing the list.
    host->Db()->Execute("INSERT INTO d_owner_type (d_owner_type_id, display_value, display_order) "
                        "VALUES (99, 'Aardvark', 0)");
    owners = ma->GetDomain("OWNER_TYPE", Variant(), true);
    common::SortDomainList(owners, "owner_type_desc");
    EXPECT_EQ(common::BuildComboList(owners, "d_owner_type_id", "owner_type_desc")
                  .rfind("#99;|#6;A first|", 0),
              0u);

    EXPECT_EQ(common::BuildComboList(nullptr, "d_owner_type_id", "display_value"), "");
    bo::DomainPtr none = ma->GetDomain("STATE", Variant("NO SUCH NATION"), true);
    ASSERT_TRUE(none);
    EXPECT_EQ(none->Count(), 0);
    EXPECT_EQ(common::BuildComboList(none, "d_state_id", "display_value"), "");
    common::SortDomainList(nullptr, "display_value"); // nothing to order
}

} // namespace
} // namespace zelk::testing

namespace zelk::testing {
namespace {

using bo::ChildList;

// A late-bound property, as the editor reads the maker's controls.
Variant Prop(Object& control, const char* name) {
    return control.Get(name);
}

std::string Text(const Variant& v) {
    return v.IsNull() || v.IsEmpty() ? std::string() : CStr(v);
}

TEST_F(GridsEditorTest, OwnersGridShowsTypesByNameAndKeepsEveryPrimaryFlag) {
    const long id = FindRecord(Has("managed_area_owner", 2));
    host->Db()->Execute(
        "UPDATE managed_area_owner SET d_owner_type_id = 6, primary_owner_ind = "
        "CASE WHEN display_order = 1 THEN 'Y' ELSE 'N' END WHERE managed_area_id = ?",
        {Variant(static_cast<int>(id))});
    auto& ed = OpenEditor(id);
    VSFlexGrid& g = ed.flexOwners->Grid();
    auto& owners = ed.ManagedAreaObject()->Children(ChildList::Owners);
    const long n = owners.Count();
    ASSERT_GE(n, 2);

    const long type = g.ColIndex("DOwnerTypeID"), name = g.ColIndex("OwnerName");
    const long note = g.ColIndex("OwnerNote"), primary = g.ColIndex("PrimaryOwnerInd");
    EXPECT_EQ(primary, 3) << "Primary stands after Owner Name";
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_EQ(g.Rows(), n + 2) << "header, the owners, the row for a new one";
    EXPECT_EQ(g.TextMatrix(0, type), "Owner Type");
    EXPECT_EQ(g.TextMatrix(0, name), "Owner Name");
    EXPECT_EQ(g.TextMatrix(0, note), "Note");
    EXPECT_EQ(g.TextMatrix(0, primary), "Primary");
    EXPECT_EQ(g.ColWidth(type), 2300);
    EXPECT_EQ(g.ColWidth(name), 3500);
    EXPECT_EQ(g.ColWidth(primary), 690);
    EXPECT_EQ(g.ColDataType(primary), flex::TypeBoolean);
    EXPECT_TRUE(g.ColHidden(g.ColIndex("ID")));
    EXPECT_TRUE(g.ColHidden(g.ColIndex("DisplayOrder")));
    EXPECT_NE(g.ColComboList(type).find("#6;Private"), std::string::npos);
    EXPECT_EQ(g.Redraw(), 2);
    for (long r = 1; r <= n; ++r) {
        auto owner = owners.Item(r);
        EXPECT_EQ(CStr(g.RowData(r)), owner->UniqueID());
        EXPECT_EQ(g.DisplayText(r, type), "Private");
        EXPECT_EQ(g.TextMatrix(r, primary),
                  Text(owner->GetProperty("PrimaryOwnerInd")) == "Y" ? "-1" : "0");
    }

    // Two primary owners are allowed; unticking stores N.
    auto first = owners.Item(1), second = owners.Item(2);
    ASSERT_EQ(Text(first->GetProperty("PrimaryOwnerInd")), "Y");
    EXPECT_TRUE(g.UserToggleCheck(2, primary));
    EXPECT_EQ(Text(second->GetProperty("PrimaryOwnerInd")), "Y");
    EXPECT_EQ(Text(first->GetProperty("PrimaryOwnerInd")), "Y");
    EXPECT_TRUE(g.UserToggleCheck(1, primary));
    EXPECT_EQ(Text(first->GetProperty("PrimaryOwnerInd")), "N");

    // Other cells write through to the owner and stamp the user; the flag is left as shown.
    EXPECT_TRUE(g.UserEdit(2, name, "Vermont Land Trust"));
    EXPECT_EQ(Text(second->GetProperty("OwnerName")), "Vermont Land Trust");
    EXPECT_EQ(Text(second->GetProperty("RecLastModUser")), "ann");
    EXPECT_EQ(Text(second->GetProperty("PrimaryOwnerInd")), "Y");
    // A save re-reads the rows; the Primary cells show the stored flags again.
    editor->mnuFileSave->UserClick();
    EXPECT_TRUE(ui->Messages().empty()) << "the save reports nothing";
    for (long r = 1; r < g.Rows(); ++r) {
        auto owner = owners.Find("UniqueID = '" + CStr(g.RowData(r)) + "'");
        if (!owner) continue;
        EXPECT_EQ(g.TextMatrix(r, primary),
                  Text(owner->GetProperty("PrimaryOwnerInd")) == "Y" ? "-1" : "0");
    }
    EXPECT_TRUE(g.UserPickCombo(1, type, 0));
    EXPECT_EQ(Text(first->GetProperty("DOwnerTypeID")),
              VSFlexGrid::ParseComboList(g.ColComboList(type))[0].value);

    // A Primary ticked on the new row before the name is typed is kept by the new owner.
    const long fresh = g.Rows() - 1;
    EXPECT_TRUE(g.UserToggleCheck(fresh, primary));
    EXPECT_EQ(owners.Count(), n);
    EXPECT_TRUE(g.UserEdit(fresh, name, "Green Mountain Club"));
    ASSERT_EQ(owners.Count(), n + 1);
    auto created = owners.Item(n + 1);
    EXPECT_EQ(Text(created->GetProperty("OwnerName")), "Green Mountain Club");
    EXPECT_EQ(Text(created->GetProperty("RecCreateUser")), "ann");
    EXPECT_EQ(Text(created->GetProperty("PrimaryOwnerInd")), "Y");
    EXPECT_TRUE(ui->Messages().empty());
}

TEST_F(GridsEditorTest, AliasGridHasNoHeaderRowAndAddsAliasesInOrder) {
    const long id = FindRecord(Has("managed_area_alias"));
    auto& ed = OpenEditor(id);
    VSFlexGrid& g = ed.flexMAAlias->Grid();
    auto& aliases = ed.ManagedAreaObject()->Children(ChildList::Aliases);
    const long n = aliases.Count();
    const long alias = g.ColIndex("ManagedAreaAlias");
    EXPECT_EQ(g.FixedRows(), 0);
    EXPECT_EQ(g.Rows(), n + 1);
    EXPECT_EQ(g.TextMatrix(0, alias), Text(aliases.Item(1)->GetProperty("ManagedAreaAlias")));
    EXPECT_TRUE(g.ColHidden(g.ColIndex("DisplayOrder")));
    EXPECT_FALSE(g.ColHidden(alias));

    EXPECT_TRUE(g.UserEdit(n, alias, "Old Mill Pond"));
    ASSERT_EQ(aliases.Count(), n + 1);
    EXPECT_EQ(CLng(aliases.Item(n + 1)->GetProperty("DisplayOrder")), n + 1);
    EXPECT_EQ(Text(aliases.Item(n + 1)->GetProperty("RecCreateUser")), "ann");
}

TEST_F(GridsEditorTest, YearPlanBudgetRefusesYearsOutsideTheRangeAndFormattedBudgets) {
    auto& ed = OpenEditor(FindRecord("1 = 1"));
    ShowPage(editor::PageManagement);
    VSFlexGrid& g = ed.flexYearPlanBudget->Grid();
    auto& rows = ed.ManagedAreaObject()->Children(ChildList::YearBudgets);
    const long year = g.ColIndex("ManagedAreaMgmtYear"),
               budget = g.ColIndex("ManagedAreaMgmtBudget");
    const long staff = g.ColIndex("ManagedAreaMgmtStaff");
    EXPECT_EQ(g.TextMatrix(0, year), "Year");
    EXPECT_EQ(g.TextMatrix(0, budget), "Budget");
    EXPECT_EQ(g.TextMatrix(0, staff), "Staff");
    EXPECT_EQ(g.ColEditMask(year), "9999");
    EXPECT_EQ(g.ColFormat(budget), "Currency");
    EXPECT_EQ(g.ColWidth(year), 1000);
    EXPECT_EQ(g.ColWidth(budget), 1300);
    EXPECT_TRUE(g.ColHidden(g.ColIndex("DisplayOrder")));
    const long n = rows.Count();
    const long row = g.Rows() - 1;

    // A refused year creates nothing.
    for (const char* bad : {"1899", "2101", "0", "abc"}) {
        EXPECT_FALSE(g.UserEdit(row, year, bad)) << bad;
        EXPECT_EQ(rows.Count(), n) << bad;
    }
    EXPECT_EQ(app->messages, (std::vector<std::string>{"MGA015", "MGA015", "MGA015", "MGA015"}));
    EXPECT_NE(ui->Messages().back().find("1900"), std::string::npos);

    EXPECT_TRUE(g.UserEdit(row, year, "1900"));
    ASSERT_EQ(rows.Count(), n + 1);
    auto entry = rows.Item(n + 1);
    EXPECT_EQ(CLng(entry->GetProperty("ManagedAreaMgmtYear")), 1900);
    EXPECT_TRUE(g.UserEdit(row, year, " 2100 "));
    EXPECT_EQ(CLng(entry->GetProperty("ManagedAreaMgmtYear")), 2100);
    // A cancelled edit keeps the cell and the object as they were.
    const std::string shown = g.TextMatrix(row, year);
    EXPECT_FALSE(g.UserEdit(row, year, "2101"));
    EXPECT_EQ(g.TextMatrix(row, year), shown);
    EXPECT_EQ(CLng(entry->GetProperty("ManagedAreaMgmtYear")), 2100);

    app->messages.clear();
    for (const char* bad : {"1,000", "$500", "12a"}) {
        EXPECT_FALSE(g.UserEdit(row, budget, bad)) << bad;
        EXPECT_TRUE(Text(entry->GetProperty("ManagedAreaMgmtBudget")).empty()) << bad;
    }
    EXPECT_EQ(app->messages, (std::vector<std::string>{"MGA025", "MGA025", "MGA025"}));
    EXPECT_TRUE(g.UserEdit(row, budget, "1500.50"));
    EXPECT_DOUBLE_EQ(CDbl(entry->GetProperty("ManagedAreaMgmtBudget")), 1500.5);
    EXPECT_TRUE(g.UserEdit(row, budget, ""));
    EXPECT_TRUE(entry->GetProperty("ManagedAreaMgmtBudget").IsNull());
    EXPECT_TRUE(g.UserEdit(row, year, ""));
    EXPECT_TRUE(entry->GetProperty("ManagedAreaMgmtYear").IsNull());
    // Staff is not checked here.
    EXPECT_TRUE(g.UserEdit(row, staff, "3"));
    EXPECT_EQ(app->messages.size(), 3u);
}

TEST_F(GridsEditorTest, LocatorAndLegalGridsAreBoundToTheRecordsLists) {
    const long id = FindRecord(Has("managed_area_county"));
    auto& ed = OpenEditor(id);
    ShowPage(editor::PageLocators);
    auto& ma = *ed.ManagedAreaObject();
    EXPECT_TRUE(ui->Messages().empty()) << ui->Messages().front();

    EXPECT_EQ(CStr(Prop(*ed.ctlCounty, "Caption")), "County Selection");
    EXPECT_FALSE(CBool(Prop(*ed.ctlCounty, "AllowAddItems")));
    EXPECT_EQ(CStr(Prop(*ed.ctlCounty, "UserName")), "ann");
    EXPECT_EQ(CStr(Prop(*ed.ctlLocalJurisdiction, "Caption")), "Local Jurisdiction Selection");
    EXPECT_TRUE(CBool(Prop(*ed.ctlLocalJurisdiction, "AllowAddItems")));
    EXPECT_TRUE(CBool(Prop(*ed.ctlMapsheet, "AllowEdit")));
    // Each county of the record is ticked in the county list.
    const long counties = ma.Children(ChildList::Counties).Count();
    ASSERT_GE(counties, 1);
    long ticked = 0;
    VSFlexGrid& cg = ed.ctlCounty->Grid();
    for (long r = cg.FixedRows(); r < cg.Rows(); ++r)
        ticked += cg.TextMatrix(r, cg.ColIndex("Selected")) == "-1" ? 1 : 0;
    EXPECT_EQ(ticked, counties);

    VSFlexGrid& trs = ed.flexTownRangeSection->Grid();
    EXPECT_EQ(trs.TextMatrix(0, trs.ColIndex("TownRange")), "Town Range");
    EXPECT_EQ(trs.TextMatrix(0, trs.ColIndex("TRSNote")), "Note");
    EXPECT_EQ(trs.ColEditMask(trs.ColIndex("Meridian")), ">aa;q;_");
    EXPECT_EQ(trs.ColWidth(trs.ColIndex("Section")), 800);
    const long before = ma.Children(ChildList::TownRangeSections).Count();
    EXPECT_TRUE(trs.UserEdit(trs.Rows() - 1, trs.ColIndex("TownRange"), "T12N R5E"));
    EXPECT_EQ(ma.Children(ChildList::TownRangeSections).Count(), before + 1);

    ShowPage(editor::PageLegalProtection);
    VSFlexGrid& legal = ed.flexLegal->Grid();
    EXPECT_EQ(legal.TextMatrix(0, legal.ColIndex("LegalDate")), "Legal Date");
    EXPECT_EQ(legal.TextMatrix(0, legal.ColIndex("LegalAct")), "Legal Act");
    EXPECT_EQ(legal.ColWidth(legal.ColIndex("LegalDate")), 1300);
    EXPECT_TRUE(legal.UserEdit(legal.Rows() - 1, legal.ColIndex("LegalAct"), "Wilderness Act"));
    auto& acts = ma.Children(ChildList::LegalActs);
    ASSERT_GE(acts.Count(), 1);
    EXPECT_EQ(Text(acts.Item(acts.Count())->GetProperty("LegalAct")), "Wilderness Act");
    EXPECT_EQ(Text(acts.Item(acts.Count())->GetProperty("RecCreateUser")), "ann");
}

} // namespace
} // namespace zelk::testing

namespace zelk::testing {
namespace {

TEST_F(GridsEditorTest, TheNextRecordReusesTheOwnerTypesAndGetsOnePrimaryColumn) {
    auto& ed = OpenEditor(FindRecord("1 = 1"));
    VSFlexGrid& g = ed.flexOwners->Grid();
    const std::string types = g.ColComboList(g.ColIndex("DOwnerTypeID"));
    const long cols = g.Cols();
    host->Db()->Execute("UPDATE d_owner_type SET display_value = 'Renamed'");

    const long first = ed.GetID();
    ed.cmdNavNext->UserClick();
    ASSERT_NE(ed.GetID(), first);
    EXPECT_EQ(g.ColComboList(g.ColIndex("DOwnerTypeID")), types) << "fetched once per control";
    EXPECT_EQ(g.Cols(), cols);
    EXPECT_EQ(g.ColIndex("PrimaryOwnerInd"), 3);
    EXPECT_EQ(g.ColKey(4), "OwnerNote");
    auto& owners = ed.ManagedAreaObject()->Children(bo::ChildList::Owners);
    ASSERT_EQ(g.Rows(), owners.Count() + 2);
    for (long r = 1; r <= owners.Count(); ++r)
        EXPECT_EQ(CStr(g.RowData(r)), owners.Item(r)->UniqueID());

    // Deactivate lets every bind grid go of its collection.
    EXPECT_TRUE(g.UserEdit(g.Rows() - 1, g.ColIndex("OwnerName"), "Town of Stowe"));
    EXPECT_TRUE(CBool(ed.flexOwners->Call("HasChanges")));
    ed.Deactivate();
    EXPECT_FALSE(CBool(ed.flexOwners->Call("HasChanges")));
    EXPECT_TRUE(ui->Messages().empty());
}

TEST_F(GridsEditorTest, CountyListsFollowTheStateWithTheTickedFirst) {
    const long id = FindRecord(Has("managed_area_county"));
    auto& ed = OpenEditor(id);
    ShowPage(editor::PageLocators);
    VSFlexGrid& g = ed.ctlCounty->Grid();
    const long check = g.ColIndex("Selected"), text = g.ColIndex("Text"),
               group = g.ColIndex("Group");
    auto shown = [&] {
        std::vector<long> rows;
        for (long r = 0; r < g.Rows(); ++r)
            if (!g.RowHidden(r)) rows.push_back(r);
        return rows;
    };
    auto ticked = [&](long r) { return g.TextMatrix(r, check) == "-1"; };
    const std::string state = ed.cboState->BoundText();
    ASSERT_FALSE(state.empty());
    // Only the state's counties, the record's own at the top.
    std::vector<long> rows = shown();
    ASSERT_FALSE(rows.empty());
    EXPECT_LT(static_cast<long>(rows.size()), g.Rows());
    EXPECT_TRUE(ticked(rows.front()));
    bool pastTicked = false;
    for (long r : rows) {
        EXPECT_TRUE(ticked(r) || g.TextMatrix(r, group) == state) << g.TextMatrix(r, text);
        if (!ticked(r)) pastTicked = true;
        EXPECT_FALSE(pastTicked && ticked(r)) << "ticked below unticked: " << g.TextMatrix(r, text);
    }

    // Another state: its counties, and the ticked ones still there.
    int other = -1;
    for (int i = 0; i < ed.cboState->ListCount() && other < 0; ++i)
        if (ed.cboState->ListText(i) != ed.cboState->Text()) other = i;
    ASSERT_GE(other, 0);
    ASSERT_TRUE(ed.cboState->UserPick(other));
    const std::string now = ed.cboState->BoundText();
    long tickedShown = 0, ofNewState = 0;
    for (long r : shown()) {
        if (ticked(r))
            ++tickedShown;
        else if (g.TextMatrix(r, group) == now)
            ++ofNewState;
        else
            ADD_FAILURE() << g.TextMatrix(r, text) << " is of another state";
    }
    EXPECT_EQ(tickedShown, ed.ManagedAreaObject()->Children(ChildList::Counties).Count());
    EXPECT_EQ(CStr(Prop(*ed.ctlLocalJurisdiction, "GroupValue")), now);

    // Typing in the filter box narrows the list; what is ticked stays.
    auto* filter = ed.ctlCounty->FindAs<TextBox>("txtFilter");
    ASSERT_NE(filter, nullptr);
    const std::string name = g.TextMatrix(shown().back(), text);
    filter->SetText(LCase(name.substr(0, 4)));
    for (long r : shown())
        EXPECT_TRUE(ticked(r) || UCase(g.TextMatrix(r, text)).find(UCase(name.substr(0, 4))) !=
                                     std::string::npos)
            << g.TextMatrix(r, text);
    rows = shown();
    EXPECT_EQ(tickedShown, std::count_if(rows.begin(), rows.end(), ticked));
    filter->SetText("");
    EXPECT_GT(shown().size(), 1u);
}

} // namespace
} // namespace zelk::testing
