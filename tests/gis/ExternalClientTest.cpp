#include "gis/GisTestSupport.h"

#include "host/ReferenceHost.h"
#include "host/data/SqliteDataService.h"
#include "host/gis/GeometryStore.h"
#include "host/sample/SampleData.h"
#include "platform/Conv.h"
#include "support/TestBackend.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace zelk::testing::gis {
namespace {

struct LayerInfo {
    long features = -1;
    std::string geometry;
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
};

LayerInfo Parse(const std::string& out) {
    LayerInfo info;
    std::smatch m;
    if (std::regex_search(out, m, std::regex("Feature Count: (\\d+)")))
        info.features = std::stol(m[1]);
    if (std::regex_search(out, m, std::regex("Geometry: ([^\\n]+)"))) info.geometry = m[1];
    if (std::regex_search(out, m,
                          std::regex("Extent: \\(([-0-9.]+), ([-0-9.]+)\\) - \\(([-0-9.]+), "
                                     "([-0-9.]+)\\)"))) {
        info.minX = std::stod(m[1]);
        info.minY = std::stod(m[2]);
        info.maxX = std::stod(m[3]);
        info.maxY = std::stod(m[4]);
    }
    return info;
}

// What the database itself says the layer should show.
void ExpectLayerMatches(host::DataService& db, const LayerInfo& info) {
    auto rs = db.Query("SELECT count(*) AS n FROM shape_geometry g JOIN ma ON ma.shape_id = "
                       "g.shape_id");
    const long mapped = CLng(rs->Value("n"));
    EXPECT_GT(mapped, 0);
    EXPECT_EQ(info.features, mapped);
    EXPECT_EQ(info.geometry, "Multi Polygon");
    host::gis::Extent all;
    all.Add(host::gis::LonLat{-180, -90});
    all.Add(host::gis::LonLat{180, 90});
    host::gis::Extent e;
    for (const auto& k : host::gis::GeometriesIn(db, host::gis::ShapeTable(), all, 1000000))
        e.Add(host::gis::ExtentOf(k.shape));
    EXPECT_NEAR(info.minX, e.minLon, 1e-5);
    EXPECT_NEAR(info.minY, e.minLat, 1e-5);
    EXPECT_NEAR(info.maxX, e.maxLon, 1e-5);
    EXPECT_NEAR(info.maxY, e.maxLat, 1e-5);
}

TEST(ExternalClient, GdalOpensTheSampleFileAsAGeoPackage) {
    ZELK_SQLITE_ONLY("reads the database file");
    if (!HaveProgram("ogrinfo")) GTEST_SKIP() << "GDAL's ogrinfo is not installed (gdal-bin)";
    const auto dir =
        std::filesystem::temp_directory_path() / ("zelk-gpkg-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "sample.gpkg").string();
    {
        host::SqliteDataService db(file);
        host::WriteSampleData(db, 120, 7);
    }
    // Every layer, with no complaint about the file.
    ShellRun list = Shell("ogrinfo -ro -q '" + file + "'");
    ASSERT_EQ(list.status, 0) << list.output;
    EXPECT_EQ(list.output.find("ERROR"), std::string::npos) << list.output;
    EXPECT_EQ(list.output.find("Warning"), std::string::npos) << list.output;
    for (const char* layer : {"managed_areas (Multi Polygon)", "shape_geometry (Multi Polygon)",
                              "county_boundary (Multi Polygon)", "state_boundary (Multi Polygon)"})
        EXPECT_NE(list.output.find(layer), std::string::npos) << layer << "\n" << list.output;

    ShellRun layer = Shell("ogrinfo -ro -so '" + file + "' managed_areas");
    ASSERT_EQ(layer.status, 0) << layer.output;
    EXPECT_NE(layer.output.find("WGS 84"), std::string::npos) << layer.output;
    EXPECT_NE(layer.output.find("managed_area_name: String"), std::string::npos) << layer.output;
    {
        host::SqliteDataService db(file, host::OpenMode::ReadOnly);
        ExpectLayerMatches(db, Parse(layer.output));
        auto counties = db.Query("SELECT count(*) AS n FROM county_boundary");
        EXPECT_GT(CLng(counties->Value("n")), 3000);
    }
    // A spatial filter goes through the R-tree and finds the areas of one state.
    ShellRun filtered = Shell("ogrinfo -ro -so -spat -125 24 -66 50 '" + file + "' managed_areas");
    EXPECT_GT(Parse(filtered.output).features, 0) << filtered.output;
    std::filesystem::remove_all(dir);
}

// The connection string GDAL takes for the test database of a URL like
// postgresql://user@/db?host=/sock&port=5432.
std::string PgConnection(const std::string& url) {
    std::smatch m;
    std::string user = "postgres", db, host, port;
    if (std::regex_search(url, m, std::regex("^postgres(?:ql)?://([^@/]*)@?[^/]*/([^?]+)"))) {
        if (!m[1].str().empty()) user = m[1];
        db = m[2];
    }
    if (std::regex_search(url, m, std::regex("[?&]host=([^&]+)"))) host = m[1];
    if (std::regex_search(url, m, std::regex("[?&]port=([^&]+)"))) port = m[1];
    std::string s = "PG:dbname=" + db + " user=" + user;
    if (!host.empty()) s += " host=" + host;
    if (!port.empty()) s += " port=" + port;
    return s;
}

TEST(ExternalClient, GdalReadsTheManagedAreasFromPostgis) {
    if (!OnPostgres()) GTEST_SKIP() << "PostgreSQL only: reads the server's PostGIS tables";
    if (!HaveProgram("ogrinfo")) GTEST_SKIP() << "GDAL's ogrinfo is not installed (gdal-bin)";
    host::HostOptions o;
    o.sampleAreas = 120;
    o.sampleSeed = 7;
    o = OnTestBackend(o);
    auto host = host::ReferenceHost::Open(o);
    const std::string conn = PgConnection(o.dbPath);
    ShellRun layer = Shell("ogrinfo -ro -so '" + conn + "' managed_areas");
    ASSERT_EQ(layer.status, 0) << layer.output;
    EXPECT_EQ(layer.output.find("ERROR"), std::string::npos) << layer.output;
    ExpectLayerMatches(*host->Db(), Parse(layer.output));
    // The table with its GiST index, as a GIS program sees it.
    ShellRun table = Shell("ogrinfo -ro -so '" + conn + "' shape_geometry");
    ASSERT_EQ(table.status, 0) << table.output;
    ExpectLayerMatches(*host->Db(), Parse(table.output));
    auto ix = host->Db()->Query("SELECT indexdef FROM pg_indexes WHERE tablename = "
                                "'shape_geometry' AND indexdef LIKE '%USING gist%'");
    EXPECT_EQ(ix->RecordCount(), 1);
}

} // namespace
} // namespace zelk::testing::gis
