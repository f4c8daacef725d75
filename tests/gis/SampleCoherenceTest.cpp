#include "gis/GisTestSupport.h"

#include "host/gis/GeometryStore.h"
#include "platform/Conv.h"
#include "support/TestBackend.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

namespace zelk::testing::gis {
namespace {

using host::gis::CountyTable;
using host::gis::ReadGeometry;
using host::gis::ShapeTable;
using host::gis::StateTable;

constexpr double kSecond = 1.0 / 3600;

std::string Str(const Variant& v) {
    return v.IsNull() ? "" : CStr(v);
}

Geom Union(std::vector<Geom> parts) {
    std::vector<GEOSGeometry*> raw;
    for (auto& p : parts)
        raw.push_back(p.release());
    Geom all(GEOSGeom_createCollection_r(Geos(), GEOS_GEOMETRYCOLLECTION, raw.data(),
                                         static_cast<unsigned>(raw.size())));
    return Geom(GEOSUnaryUnion_r(Geos(), all.get()));
}

// The part of `g` outside `outer`, as a share of `g`.
double ShareOutside(const GEOSGeometry* g, const GEOSGeometry* outer) {
    Geom rest(GEOSDifference_r(Geos(), g, outer));
    return rest ? Area(rest.get()) / Area(g) : 1.0;
}

class SampleCoherence : public ::testing::Test {
protected:
    static void SetUpTestSuite() { db_ = NewTestDataService(500, 1); }
    static void TearDownTestSuite() { db_.reset(); }
    static std::shared_ptr<host::DataService> db_;
};
std::shared_ptr<host::DataService> SampleCoherence::db_;

TEST_F(SampleCoherence, EveryAreaLiesWhereItsRecordSays) {
    auto& db = *db_;
    std::map<long, std::vector<long>> counties;
    auto links = db.Query("SELECT managed_area_id, d_county_id FROM managed_area_county ORDER BY "
                          "managed_area_id, display_order");
    for (; !links->EOF(); links->MoveNext())
        counties[CLng(links->Value("managed_area_id"))].push_back(
            CLng(links->Value("d_county_id")));
    std::map<long, long> countyState;
    auto cs = db.Query("SELECT d_county_id, d_state_id FROM d_county");
    for (; !cs->EOF(); cs->MoveNext())
        countyState[CLng(cs->Value("d_county_id"))] = CLng(cs->Value("d_state_id"));

    auto rs = db.Query("SELECT ma.*, s.has_shape_ind FROM ma JOIN shape s ON s.shape_id = "
                       "ma.shape_id ORDER BY ma.managed_area_id");
    int mapped = 0, unmapped = 0, multiCounty = 0;
    std::set<std::string> names;
    for (; !rs->EOF(); rs->MoveNext()) {
        const long id = CLng(rs->Value("managed_area_id"));
        const long state = CLng(rs->Value("d_state_id"));
        SCOPED_TRACE("managed area " + std::to_string(id));
        names.insert(Str(rs->Value("managed_area_name")));
        const auto& linked = counties[id];
        ASSERT_FALSE(linked.empty());
        if (linked.size() > 1) ++multiCounty;
        EXPECT_EQ(Str(rs->Value("multi_juris_ind")), linked.size() > 1 ? "Y" : "N");
        std::vector<Geom> parts;
        for (long c : linked) {
            EXPECT_EQ(countyState[c], state) << "county " << c;
            auto g = ReadGeometry(db, CountyTable(), c);
            ASSERT_TRUE(g) << "county " << c;
            parts.push_back(FromWkb(host::gis::ToWkb(*g)));
        }
        Geom home = FromWkb(host::gis::ToWkb(*ReadGeometry(db, CountyTable(), linked.front())));
        Geom area = Union(std::move(parts));
        const double lat = FromDms(Str(rs->Value("latitude")));
        const double lon = FromDms(Str(rs->Value("longitude")));
        Geom point = Point(lon, lat);
        EXPECT_EQ(GEOSContains_r(Geos(), home.get(), point.get()), 1)
            << "the point lies in the first county";

        auto shape = ReadGeometry(db, ShapeTable(), CLng(rs->Value("shape_id")));
        EXPECT_EQ(shape.has_value(), Str(rs->Value("has_shape_ind")) == "Y");
        if (!shape) {
            ++unmapped;
            continue;
        }
        ++mapped;
        Geom g = FromWkb(host::gis::ToWkb(*shape));
        ASSERT_TRUE(g);
        EXPECT_EQ(GEOSisValid_r(Geos(), g.get()), 1);
        EXPECT_EQ(GEOSContains_r(Geos(), g.get(), point.get()), 1) << lat << " " << lon;
        EXPECT_LT(ShareOutside(g.get(), area.get()), 1e-9) << "inside its counties";
        // Every linked county holds a part of it.
        for (long c : linked) {
            Geom county = FromWkb(host::gis::ToWkb(*ReadGeometry(db, CountyTable(), c)));
            EXPECT_EQ(GEOSIntersects_r(Geos(), county.get(), g.get()), 1) << "county " << c;
        }

        double minX = 0, minY = 0, maxX = 0, maxY = 0;
        GEOSGeom_getXMin_r(Geos(), g.get(), &minX);
        GEOSGeom_getYMin_r(Geos(), g.get(), &minY);
        GEOSGeom_getXMax_r(Geos(), g.get(), &maxX);
        GEOSGeom_getYMax_r(Geos(), g.get(), &maxY);
        const double north = FromDms(Str(rs->Value("north"))),
                     south = FromDms(Str(rs->Value("south"))),
                     east = FromDms(Str(rs->Value("east"))), west = FromDms(Str(rs->Value("west")));
        EXPECT_GE(north, maxY - 1e-9);
        EXPECT_LT(north - maxY, kSecond);
        EXPECT_LE(south, minY + 1e-9);
        EXPECT_LT(minY - south, kSecond);
        EXPECT_GE(east, maxX - 1e-9);
        EXPECT_LT(east - maxX, kSecond);
        EXPECT_LE(west, minX + 1e-9);
        EXPECT_LT(minX - west, kSecond);

        const double acres = GeodesicArea(*shape) / 4046.8564224;
        EXPECT_NEAR(CDbl(rs->Value("total_area_acres")), acres, acres * 0.001);
        EXPECT_NEAR(CDbl(rs->Value("total_area_hectares")), acres * 0.40468564224,
                    acres * 0.40468564224 * 0.001);
        Geom stateShape = FromWkb(host::gis::ToWkb(*ReadGeometry(db, StateTable(), state)));
        Geom inState(GEOSIntersection_r(Geos(), g.get(), stateShape.get()));
        const double inStateAcres = acres * Area(inState.get()) / Area(g.get());
        EXPECT_NEAR(CDbl(rs->Value("area_in_state_acres")), inStateAcres, acres * 0.001);
    }
    EXPECT_GT(mapped, 250);
    EXPECT_GT(unmapped, 50);
    EXPECT_GT(multiCounty, 20);
    EXPECT_GT(names.size(), 400u);
}

// The sample's records are drawn, not planted: no stride of records shares a name or a county
// initial.
TEST_F(SampleCoherence, NoStrideOfRecordsSharesANameOrCounty) {
    for (int stride : {10, 20, 40}) {
        auto rs = db_->Query("SELECT count(*) AS n, sum(CASE WHEN ma.managed_area_name LIKE "
                             "'%Oak%' THEN 1 ELSE 0 END) AS oak, sum(CASE WHEN c.county_name "
                             "LIKE 'La%' THEN 1 ELSE 0 END) AS la FROM ma JOIN "
                             "managed_area_county mc ON mc.managed_area_id = ma.managed_area_id "
                             "AND mc.display_order = 1 JOIN d_county c ON c.d_county_id = "
                             "mc.d_county_id WHERE ma.managed_area_id % ? = 0",
                             {Variant(stride)});
        const long n = CLng(rs->Value("n"));
        EXPECT_LT(CLng(rs->Value("oak")), n / 2) << stride;
        EXPECT_LT(CLng(rs->Value("la")), n / 2) << stride;
    }
}

} // namespace
} // namespace zelk::testing::gis
