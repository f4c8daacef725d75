#include "EditorFixture.h"

#include "common/GridProcedures.h"

namespace zelk::testing {
namespace {

using bo::ChildList;

TEST_F(GridsEditorTest, FindGridRowLooksOnlyInTheKeyedColumn) {
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

TEST_F(GridsEditorTest, RowOrderStampsOnlyStoredItemsWhosePositionChanged) {
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
    fresh->SetProperty("DisplayOrder", Variant(static_cast<int>(sites.Count())));
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

namespace zelk::testing {
namespace {

using bo::ChildList;

std::string ReferenceSql(long id) {
    return "SELECT managed_area_reference.reference_id, reference.reference_code, "
           "reference.full_citation FROM reference,managed_area_reference WHERE "
           "managed_area_reference.managed_area_id = " +
           std::to_string(id) +
           " AND reference.reference_id = managed_area_reference.reference_id ORDER BY "
           "managed_area_reference.display_order, reference.reference_code";
}

std::vector<std::string> ReferenceQueries(const std::vector<std::string>& sent) {
    std::vector<std::string> out;
    for (const auto& sql : sent)
        if (sql.find("managed_area_reference") != std::string::npos) out.push_back(sql);
    return out;
}

TEST_F(GridsEditorTest, ReferencesListComesFromTheDatabaseAndASortRewritesTheOrder) {
    const long id = FindRecord(Has("managed_area_reference", 2));
    // Display order against code order, so the list shows which one it follows.
    host->Db()->Execute("UPDATE managed_area_reference SET display_order = 100 - reference_id "
                        "WHERE managed_area_id = ?",
                        {Variant(static_cast<int>(id))});
    auto expected = host->Db()->Query(
        "SELECT r.reference_id, r.reference_code FROM managed_area_reference m JOIN reference r "
        "ON r.reference_id = m.reference_id WHERE m.managed_area_id = ? ORDER BY m.display_order",
        {Variant(static_cast<int>(id))});
    auto& ed = OpenEditor(id);
    sent.clear();
    ShowPage(editor::PageReferences);
    EXPECT_EQ(ReferenceQueries(sent), (std::vector<std::string>{ReferenceSql(id)}));

    VSFlexGrid& g = *ed.flexReferences;
    const long idCol = g.ColIndex("ReferenceID"), code = g.ColIndex("ReferenceCode");
    const long citation = g.ColIndex("FullCitation");
    ASSERT_EQ(g.Rows(), 1 + expected->RecordCount());
    EXPECT_EQ(g.TextMatrix(0, idCol), "Reference ID");
    EXPECT_EQ(g.TextMatrix(0, code), "Reference Code");
    EXPECT_EQ(g.TextMatrix(0, citation), "Full Citation");
    expected->MoveFirst();
    for (long row = 1; row < g.Rows(); ++row, expected->MoveNext()) {
        EXPECT_EQ(g.TextMatrix(row, idCol), CStr(expected->Value("reference_id")));
        EXPECT_EQ(g.TextMatrix(row, code), CStr(expected->Value("reference_code")));
        EXPECT_FALSE(g.TextMatrix(row, citation).empty());
    }
    EXPECT_EQ(g.Redraw(), 2);

    // The user sorts by code: every reference takes its row's position, and nobody is stamped.
    auto& refs = ed.ManagedAreaObject()->Children(ChildList::References);
    for (long i = 1; i <= refs.Count(); ++i)
        refs.Item(i)->SetProperty("RecLastModUser", Variant("bob"));
    g.UserClickHeader(code);
    for (long row = 1; row < g.Rows(); ++row) {
        auto item = refs.Find("ReferenceID = " + g.TextMatrix(row, idCol));
        ASSERT_TRUE(item);
        EXPECT_EQ(CLng(item->GetProperty("DisplayOrder")), row);
        EXPECT_EQ(CStr(item->GetProperty("RecLastModUser")), "bob");
    }

    // Opening a reference needs the host's reference view.
    g.UserSelect(1, code);
    g.UserDblClick();
    EXPECT_TRUE(host->WinMan()->Requests().empty());
    host->Views()->AddView("REF", NewRecordset());
    const long refView = host->Views()->Count();
    g.UserSelect(2, code);
    g.UserDblClick();
    ASSERT_EQ(host->WinMan()->Requests().size(), 1u);
    const auto& request = host->WinMan()->Requests()[0];
    EXPECT_EQ(request.kind, "OpenDetails");
    EXPECT_EQ(CLng(request.fromView), refView);
    EXPECT_EQ(CLng(request.toView), refView);
    EXPECT_EQ(request.id, g.TextMatrix(2, idCol));
    EXPECT_EQ(request.extra, "");
    EXPECT_TRUE(ui->Messages().empty());
}

TEST_F(GridsEditorTest, ARecordWithoutReferencesSendsNoReferenceQuery) {
    const long id = FindRecord("NOT " + Has("managed_area_reference"));
    auto& ed = OpenEditor(id);
    sent.clear();
    ShowPage(editor::PageReferences);
    EXPECT_TRUE(ReferenceQueries(sent).empty());
    EXPECT_EQ(ed.flexReferences->Rows(), 1);
    EXPECT_EQ(ed.flexReferences->TextMatrix(0, ed.flexReferences->ColIndex("FullCitation")),
              "Full Citation");
}

TEST_F(GridsEditorTest, SitesListShowsTheSitesAndASortStampsOnlyMovedSites) {
    const long id = FindRecord(Has("managed_area_site", 2));
    auto& ed = OpenEditor(id);
    VSFlexGrid& g = *ed.flexSites;
    auto& sites = ed.ManagedAreaObject()->Children(ChildList::Sites);
    const long n = sites.Count();
    const long siteId = g.ColIndex("ConservationSiteID"), name = g.ColIndex("SiteName");
    EXPECT_EQ(g.TextMatrix(0, siteId), "Site ID");
    EXPECT_EQ(g.TextMatrix(0, name), "Site Name");
    ASSERT_EQ(g.Rows(), g.FixedRows() + n);
    for (long i = 1; i <= n; ++i) {
        const long row = g.FixedRows() + i - 1;
        EXPECT_EQ(CStr(g.RowData(row)), CStr(sites.Item(i)->GetProperty("ConservationSiteId")));
        EXPECT_EQ(g.TextMatrix(row, siteId), CStr(g.RowData(row)));
        EXPECT_EQ(g.TextMatrix(row, name), CStr(sites.Item(i)->GetProperty("SiteName")));
    }

    // Sorting twice by ID turns the order round at least once.
    for (long i = 1; i <= n; ++i)
        sites.Item(i)->SetProperty("RecLastModUser", Variant("bob"));
    g.UserClickHeader(siteId);
    g.UserClickHeader(siteId);
    long stamped = 0;
    for (long row = g.FixedRows(); row < g.Rows(); ++row) {
        auto site = sites.Find("ConservationSiteId = " + CStr(g.RowData(row)));
        ASSERT_TRUE(site);
        EXPECT_EQ(CLng(site->GetProperty("DisplayOrder")), row - g.FixedRows() + 1);
        stamped += CStr(site->GetProperty("RecLastModUser")) == "ann" ? 1 : 0;
    }
    EXPECT_GE(stamped, 1);
    EXPECT_TRUE(ui->Messages().empty());
}

TEST_F(GridsEditorTest, OtherSpatialAttributesKeepTheirCaptions) {
    const long id = FindRecord("m.managed_area_id > 0");
    host->Db()->Execute("INSERT INTO shape_attribute (shape_attribute_id, shape_id, "
                        "attribute_name, attribute_value) SELECT 900001, shape_id, "
                        "'Perimeter (km)', '12.4' FROM ma WHERE managed_area_id = " +
                        std::to_string(id));
    auto& ed = OpenEditor(id);
    ShowPage(editor::PageOtherSpatialAttr);
    VSFlexGrid& g = *ed.flexSpatialAttributes;
    ASSERT_GT(g.Rows(), 1);
    EXPECT_EQ(g.TextMatrix(0, 0), "Attribute Name");
    EXPECT_EQ(g.TextMatrix(0, 1), "Attribute Value");
    EXPECT_EQ(g.TextMatrix(1, 0), "Perimeter (km)");
    EXPECT_EQ(g.TextMatrix(1, 1), "12.4");
}

TEST_F(GridsEditorTest, AFailedReferenceListSaysSoWithTheNormalPointer) {
    const long id = FindRecord(Has("managed_area_reference"));
    OpenEditor(id);
    host->Db()->Execute("ALTER TABLE reference RENAME TO reference_gone");
    Screen::Instance().SetMousePointer(mouse::Default);
    ShowPage(editor::PageReferences);
    ASSERT_EQ(ui->Messages().size(), 1u);
    EXPECT_EQ(ui->Messages()[0].rfind("Error setting References Grid.", 0), 0u);
    EXPECT_EQ(ui->LastMessage()->pointer, mouse::Default) << "no hourglass over the message";
    EXPECT_EQ(Screen::Instance().MousePointer(), mouse::Default);
    host->Db()->Execute("ALTER TABLE reference_gone RENAME TO reference");
}

} // namespace
} // namespace zelk::testing
