#include "host/gis/GisInterface.h"
#include "host/ReferenceHost.h"
#include "platform/Conv.h"
#include "platform/ProgIdRegistry.h"
#include "support/TestBackend.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zelk::testing::gis {
namespace {

using host::gis::MapScene;

class GisComponent : public ::testing::Test {
protected:
    void SetUp() override {
        host = host::ReferenceHost::Open(OnTestBackend(host::HostOptions{}));
        host::gis::ClearRecordedShapeRequests();
    }
    void TearDown() override {
        host::gis::SetMapPresenter({});
        host::gis::ClearRecordedShapeRequests();
    }
    long First(const std::string& sql) {
        auto rs = host->Db()->Query(sql);
        return rs->EOF() || rs->Value("id").IsNull() ? -1 : CLng(rs->Value("id"));
    }
    bool ViewShape(const Variant& id) {
        return CBool(CreateObject("ArcViewCommuncation.GISInterface")->Call("ViewShape", {id}));
    }
    std::unique_ptr<host::ReferenceHost> host;
};

TEST_F(GisComponent, HeadlessItRecordsTheRequestsItCouldShow) {
    const long mapped = First("SELECT MIN(shape_id) AS id FROM shape_geometry");
    const long unmapped = First("SELECT MIN(shape_id) AS id FROM shape WHERE shape_id NOT IN "
                                "(SELECT shape_id FROM shape_geometry)");
    ASSERT_GT(mapped, 0);
    ASSERT_GT(unmapped, 0);
    EXPECT_TRUE(ViewShape(Variant(static_cast<int>(mapped))));
    EXPECT_FALSE(ViewShape(Variant(static_cast<int>(unmapped))));
    EXPECT_FALSE(ViewShape(Variant(999999)));
    EXPECT_FALSE(ViewShape(Variant("1; DROP TABLE shape")));
    // A shape still marked drawn whose geometry is gone has nothing to show.
    host->Db()->Execute("DELETE FROM shape_geometry WHERE shape_id = ?",
                        {Variant(static_cast<int>(mapped))});
    EXPECT_FALSE(ViewShape(Variant(static_cast<int>(mapped))));
    EXPECT_EQ(host::gis::RecordedShapeRequests(), std::vector<long>{mapped});
}

TEST_F(GisComponent, TheMapShowsTheAreaAmongItsCountiesStateAndNeighbours) {
    std::vector<MapScene> shown;
    host::gis::SetMapPresenter([&](MapScene s) { shown.push_back(std::move(s)); });
    // An area that crosses a county line and has a neighbour within reach.
    const long shape = First(
        "SELECT MIN(ma.shape_id) AS id FROM ma JOIN shape_geometry g ON g.shape_id = ma.shape_id "
        "WHERE ma.multi_juris_ind = 'Y'");
    ASSERT_GT(shape, 0);
    ASSERT_TRUE(ViewShape(Variant(static_cast<int>(shape))));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(host::gis::RecordedShapeRequests().empty());
    const MapScene& s = shown.front();
    auto rs = host->Db()->Query("SELECT managed_area_name, total_area_acres FROM ma WHERE "
                                "shape_id = ?",
                                {Variant(static_cast<int>(shape))});
    EXPECT_EQ(s.name, CStr(rs->Value("managed_area_name")));
    EXPECT_NEAR(s.mappedAcres, CDbl(rs->Value("total_area_acres")), s.mappedAcres * 0.001);
    EXPECT_NEAR(s.mappedHectares, s.mappedAcres * 0.40468564224, 1e-6 * s.mappedAcres);
    EXPECT_FALSE(s.enteredAcres.empty());
    EXPECT_FALSE(s.area.empty());
    EXPECT_FALSE(s.state.empty());
    EXPECT_GE(s.linkedCounties.size(), 2u);
    for (long c : s.linkedCounties)
        EXPECT_TRUE(std::any_of(s.counties.begin(), s.counties.end(),
                                [c](const auto& f) { return f.id == c; }))
            << "county " << c << " is drawn";
    EXPECT_GT(s.counties.size(), s.linkedCounties.size());
    EXPECT_NE(s.place.find(" and "), std::string::npos) << s.place;
    for (const auto& n : s.neighbours)
        EXPECT_NE(n.id, shape);
}

} // namespace
} // namespace zelk::testing::gis
