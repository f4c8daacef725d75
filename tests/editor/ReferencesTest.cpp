#include "EditorFixture.h"

#include "common/GridProcedures.h"

namespace zelk::testing {
namespace {

using bo::ChildList;

TEST_F(EditorTest, FindGridRowLooksOnlyInTheKeyedColumn) {
    VSFlexGrid grid("flexReferences");
    grid.SetCols(3);
    grid.SetColKey(1, "ReferenceID");
    grid.SetColKey(2, "ReferenceCode");
    grid.SetRows(3);
    grid.SetTextMatrix(0, 1, "7"); // a header that looks like a value
    grid.SetTextMatrix(1, 1, "12");
    grid.SetTextMatrix(2, 1, "7");
    grid.SetRowData(1, Variant("99"));
    EXPECT_EQ(common::FindGridRow(grid, "7", "referenceid"), 2);
    EXPECT_EQ(common::FindGridRow(grid, "12", "ReferenceID"), 1);
    EXPECT_LT(common::FindGridRow(grid, "1", "ReferenceID"), 0);
    EXPECT_LT(common::FindGridRow(grid, "99", "NoSuchKey"), 0) << "row data is not a column";
}

TEST_F(EditorTest, RowOrderStampsOnlyStoredItemsWhosePositionChanged) {
    const long id = FindRecord(Has("managed_area_site", 2));
    auto ma = LoadManagedArea(id);
    auto& sites = ma->Children(ChildList::Sites);
    ASSERT_GE(sites.Count(), 2);
    auto fresh = sites.AddNew();
    fresh->SetProperty("ConservationSiteId",
                       Variant(static_cast<int>(
                           Count("SELECT MAX(conservation_site_id) FROM conservation_site WHERE "
                                 "conservation_site_id NOT IN (SELECT conservation_site_id FROM "
                                 "managed_area_site WHERE managed_area_id = " +
                                 std::to_string(id) + ")"))));
    fresh->SetProperty("DisplayOrder", Variant(sites.Count()));
    const long n = sites.Count();

    // The grid shows the sites in reverse, with one row that names no site.
    VSFlexGrid grid("flexSites");
    grid.SetCols(3);
    grid.SetColKey(1, "ConservationSiteID");
    grid.SetRows(1);
    for (long i = n; i >= 1; --i) {
        grid.SetRows(grid.Rows() + 1);
        grid.SetRowData(grid.Rows() - 1, sites.Item(i)->GetProperty("ConservationSiteId"));
    }
    grid.SetRows(grid.Rows() + 1);
    std::vector<std::string> before;
    for (long i = 1; i <= n; ++i) {
        before.push_back(CStr(sites.Item(i)->GetProperty("DisplayOrder")));
        if (!sites.Item(i)->IsNew()) sites.Item(i)->SetProperty("RecLastModUser", Variant("bob"));
    }

    common::StoreRowOrder(grid, sites, "ConservationSiteID", "ann");
    for (long i = 1; i <= n; ++i) {
        auto site = sites.Item(i);
        const std::string order = std::to_string(n - i + 1);
        EXPECT_EQ(CStr(site->GetProperty("DisplayOrder")), order);
        Variant user = site->GetProperty("RecLastModUser");
        if (site->IsNew())
            EXPECT_TRUE(user.IsNull()) << "a site not stored yet gets no stamp";
        else if (before[static_cast<std::size_t>(i - 1)] == order)
            EXPECT_EQ(CStr(user), "bob") << "site " << i << " kept its place";
        else
            EXPECT_EQ(CStr(user), "ann") << "site " << i << " moved";
    }

    // Nothing moves the second time: nothing is stamped or reported as changed.
    auto first = sites.Item(1);
    first->SetProperty("RecLastModUser", Variant("bob"));
    common::StoreRowOrder(grid, sites, "ConservationSiteID", "ann");
    EXPECT_EQ(CStr(first->GetProperty("RecLastModUser")), "bob");
    EXPECT_FALSE(common::SetPropertyIfChanged(*first, "DisplayOrder",
                                              CStr(first->GetProperty("DisplayOrder")), "ann"));
    EXPECT_TRUE(common::SetPropertyIfChanged(*first, "DisplayOrder", "40", "carl"));
    EXPECT_EQ(CLng(first->GetProperty("DisplayOrder")), 40);
    EXPECT_EQ(CStr(first->GetProperty("RecLastModUser")), "carl");
}

} // namespace
} // namespace zelk::testing
