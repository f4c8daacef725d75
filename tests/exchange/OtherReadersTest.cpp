// What we write is read by GDAL's own command-line reader, apart from our code: the count of
// features, every column by its name, the geometry, and CSV quoting by a second CSV parser.
#include "host/ReferenceHost.h"
#include "host/exchange/ExchangeColumns.h"
#include "host/exchange/Exporter.h"
#include "platform/Conv.h"
#include "support/Shell.h"
#include "support/TestBackend.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace zelk;
using namespace zelk::host;
namespace ex = zelk::host::exchange;
using zelk::testing::Shell;

namespace {

std::string OutPath(const std::string& name) {
    auto dir = std::filesystem::temp_directory_path() /
               ("zelk-exchange-ogr-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

} // namespace

TEST(ExchangeReadBack, GdalReadsEveryFormatWeWrite) {
    if (!zelk::testing::HaveProgram("ogrinfo"))
        GTEST_SKIP() << "GDAL's ogrinfo is not installed (gdal-bin)";
    HostOptions o;
    o.userName = "ann";
    o.sampleAreas = 20;
    auto h = ReferenceHost::Open(zelk::testing::SignedInAs(zelk::testing::OnTestBackend(o)));
    // A name with every character CSV must quote: a quote, a comma, a line break.
    const std::string name = "Oak \"Big\", North\nSecond line";
    h->Db()->Execute("UPDATE ma SET managed_area_name = ? WHERE managed_area_id = 1",
                     {Variant(name)});
    const std::string type =
        CStr(h->Db()
                 ->Query("SELECT managed_area_type AS t FROM ma WHERE managed_area_id = 1")
                 ->Value("t"));
    ASSERT_FALSE(type.empty());

    for (auto format :
         {ex::Format::Csv, ex::Format::GeoJson, ex::Format::GeoPackage, ex::Format::Shapefile}) {
        SCOPED_TRACE(ex::FormatName(format));
        const std::string path = OutPath(std::string("areas.") + ex::FormatName(format));
        ASSERT_EQ(ex::ExportAreas(*h->Db(), {{}, format, path, {}}).error, "");
        const std::string csvOptions =
            format == ex::Format::Csv ? " -oo AUTODETECT_TYPE=NO -oo GEOM_POSSIBLE_NAMES=WKT" : "";
        auto summary = Shell("ogrinfo -ro -so -al" + csvOptions + " '" + path + "'");
        ASSERT_EQ(summary.status, 0) << summary.output;
        EXPECT_NE(summary.output.find("Feature Count: 20\n"), std::string::npos) << summary.output;
        for (const auto& c : ex::ExchangeColumns()) {
            const std::string field = format == ex::Format::Shapefile ? c.shortName : c.name;
            EXPECT_NE(summary.output.find("\n" + field + ": "), std::string::npos)
                << field << " in\n"
                << summary.output;
        }
        // A CSV names no geometry type; its WKT column still gives every shape's extent.
        EXPECT_TRUE(summary.output.find("Geometry: Multi Polygon") != std::string::npos ||
                    summary.output.find("Geometry: Polygon") != std::string::npos ||
                    format == ex::Format::Csv)
            << summary.output;
        EXPECT_NE(summary.output.find("\nExtent: ("), std::string::npos) << summary.output;

        // The first record's name whole, and the column after it not shifted by its quoting.
        // Feature IDs count from 1 in a CSV, a GeoPackage and the others alike? Not so: from 0
        // in a Shapefile and a GeoJSON file without IDs.
        const bool fromZero = format == ex::Format::Shapefile || format == ex::Format::GeoJson;
        auto first = Shell("ogrinfo -ro -al -q -fid " + std::string(fromZero ? "0" : "1") +
                           csvOptions + " '" + path + "'");
        ASSERT_EQ(first.status, 0) << first.output;
        const std::string nameField =
            format == ex::Format::Shapefile ? "MAName" : "ManagedAreaName";
        const std::string typeField =
            format == ex::Format::Shapefile ? "MAType" : "ManagedAreaType";
        EXPECT_NE(first.output.find(nameField + " (String) = " + name + "\n"), std::string::npos)
            << first.output;
        EXPECT_NE(first.output.find(typeField + " (String) = " + type + "\n"), std::string::npos)
            << first.output;
    }
}
