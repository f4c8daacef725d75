#include "ControlsFixture.h"

#include "controls/DomainSelectGrid.h"
#include "controls/ZELKKeywordLB.h"
#include "platform/Error.h"

namespace zelk::testing {

using bo::ChildList;
using controls::DomainSelectGrid;
using controls::ZELKKeywordLB;

TEST_F(ControlsTest, DomainSelectTicksAddAndRemoveItems) {
    auto sel = AddControl<DomainSelectGrid>("VardenDomainSelectGrid.DomainSelectGrid", "ctlCounty");
    ASSERT_TRUE(sel);
    sel->Let("Caption", Variant("County Selection"));
    sel->Let("ServerName", Variant(":memory:"));
    sel->Let("ServerType", Variant(1));
    sel->Let("UserName", Variant("ann"));
    sel->Let("AllowAddItems", Variant(false));
    sel->Let("ShowSelectedOnly", Variant(false));
    sel->Call("SetDomain", {Variant("d_county"), Variant("d_county_id"), Variant("display_value")});
    sel->Call("BindCollection", {Variant(ListObject(ChildList::Counties)), Variant("DCountyID"),
                                 Variant("CountyName")});
    VSFlexGrid& g = sel->Grid();
    auto& counties = List(ChildList::Counties);

    ASSERT_EQ(g.Rows(), 2);
    EXPECT_EQ(g.TextMatrix(0, 1), "Addison");
    EXPECT_TRUE(sel->IsTicked(0));
    EXPECT_FALSE(sel->IsTicked(1));
    EXPECT_FALSE(CBool(sel->Call("HasChanges")));
    EXPECT_FALSE(g.UserEdit(0, 1, "Renamed")); // only the check column edits

    EXPECT_TRUE(g.UserToggleCheck(1, 0));
    ASSERT_EQ(counties.Count(), 2);
    EXPECT_EQ(CLng(counties.Item(2)->GetProperty("DCountyId")), 50003);
    EXPECT_EQ(CStr(counties.Item(2)->GetProperty("RecCreateUser")), "ann");
    EXPECT_TRUE(CBool(sel->Call("HasChanges")));

    EXPECT_TRUE(g.UserToggleCheck(0, 0));
    ASSERT_EQ(counties.Count(), 1);
    EXPECT_EQ(CLng(counties.Item(1)->GetProperty("DCountyId")), 50003);

    ASSERT_TRUE(shape->Save()) << shape->LastError();
    auto rs = host->Db()->Query("SELECT d_county_id FROM managed_area_county");
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(CLng(rs->Value("d_county_id")), 50003);
    sel->Call("Refresh");
    EXPECT_FALSE(CBool(sel->Call("HasChanges")));

    // Names that are not plain identifiers never reach the database.
    EXPECT_THROW(
        sel->Call("SetDomain", {Variant("d_county; DELETE FROM ma"), Variant("x"), Variant("y")}),
        ComError);
    EXPECT_THROW(sel->Call("AddDomainItem", {Variant("Chittenden")}), ComError); // not allowed
}

TEST_F(ControlsTest, KeywordListTicksKeywordsOfTheRecord) {
    auto kw = AddControl<ZELKKeywordLB>("ZELK_KeywordListBox.ZELKKeywordLB", "lstKeywords");
    ASSERT_TRUE(kw);
    kw->Let("ServerName", Variant(":memory:"));
    kw->Let("ServerType", Variant(1));
    kw->Let("UserName", Variant("ann"));
    kw->Let("Title", Variant("Managed Area Keywords"));
    kw->Call("SetKeywordDomain", {Variant("D_MANAGED_AREA_KEYWORD"),
                                  Variant("d_managed_area_keyword_id"), Variant("keyword_desc")});
    kw->Call("SetKeywordClass", {Variant("ZELK_ManagedAreaClient.CDMAKeyword"),
                                 Variant("KeywordDesc"), Variant("UsedBy")});
    kw->Call("SetKeywordCollection",
             {Variant(ListObject(ChildList::Keywords)), Variant("ZELK_ManagedAreaClient.CKeyword"),
              Variant("DManagedAreaKeywordID")});
    VSFlexGrid& g = kw->Grid();
    auto& keywords = List(ChildList::Keywords);

    ASSERT_EQ(g.Rows(), 3); // ordered by text: Alpine, Forest, Wetland
    EXPECT_EQ(g.TextMatrix(1, 1), "Forest");
    EXPECT_FALSE(kw->IsTicked(0));
    EXPECT_TRUE(kw->IsTicked(1));

    EXPECT_TRUE(kw->SetTicked(0, true));
    ASSERT_EQ(keywords.Count(), 2);
    EXPECT_EQ(CLng(keywords.Item(2)->GetProperty("DManagedAreaKeywordID")), 3);
    EXPECT_TRUE(kw->SetTicked(1, false));
    ASSERT_EQ(keywords.Count(), 1);
    EXPECT_TRUE(CBool(kw->Call("HasChanges")));
    EXPECT_TRUE(kw->SetTicked(1, true));
    EXPECT_TRUE(kw->SetTicked(1, false));
    EXPECT_TRUE(kw->SetTicked(0, false));
    EXPECT_EQ(keywords.Count(), 0);
    EXPECT_TRUE(kw->SetTicked(1, true));
    EXPECT_FALSE(CBool(kw->Call("HasChanges"))); // back to what was loaded
}

} // namespace zelk::testing
