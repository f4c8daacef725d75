#include "host/ReferenceHost.h"
#include "host/exchange/AreaReader.h"
#include "host/exchange/ExchangeColumns.h"
#include "host/exchange/Exporter.h"
#include "host/exchange/Importer.h"
#include "platform/Conv.h"
#include "support/FaultInjector.h"
#include "support/TestBackend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>

using namespace zelk;
using namespace zelk::host;
namespace ex = zelk::host::exchange;

namespace {

std::unique_ptr<ReferenceHost> Host(int areas) {
    HostOptions o;
    o.userName = "ann";
    o.sampleAreas = areas;
    return ReferenceHost::Open(zelk::testing::SignedInAs(zelk::testing::OnTestBackend(o)));
}

std::string TempPath(const std::string& name) {
    auto dir =
        std::filesystem::temp_directory_path() / ("zelk-exchange-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<ex::ExchangeArea> All(DataService& db) {
    std::vector<ex::ExchangeArea> out;
    ex::ReadAreas(db, {}, [&](ex::ExchangeArea& a) { out.push_back(a); });
    return out;
}

long Count(DataService& db, const std::string& table) {
    return CLng(db.Query("SELECT COUNT(*) AS n FROM " + table)->Value("n"));
}

ex::ImportRequest Request(ReferenceHost& h, const std::string& path, bool atomic = false) {
    ex::ImportRequest rq;
    rq.path = path;
    rq.atomic = atomic;
    rq.userName = h.UserName();
    rq.orgUnitId = h.App()->GetSystemOrgUnitID();
    rq.workingList = h.WorkingList();
    return rq;
}

ex::ImportResult Import(ReferenceHost& h, const std::string& path, bool atomic = false) {
    return ex::ImportAreas(h.Db(), Request(h, path, atomic));
}

// A boundary in one form whatever the writer did to it: each ring counter-clockwise for the
// outer ring and clockwise for a hole, starting at its lowest point, holes and parts in order.
// Shapefiles store rings the other way round and may start them elsewhere.
gis::MultiPolygon Normalised(gis::MultiPolygon g) {
    auto less = [](const gis::LonLat& a, const gis::LonLat& b) {
        return a.lon < b.lon || (a.lon == b.lon && a.lat < b.lat);
    };
    for (auto& poly : g) {
        for (std::size_t k = 0; k < poly.rings.size(); ++k) {
            auto& ring = poly.rings[k];
            if (ring.size() < 4) continue;
            ring.pop_back();
            double twiceArea = 0;
            for (std::size_t i = 0; i < ring.size(); ++i) {
                const auto &p = ring[i], &q = ring[(i + 1) % ring.size()];
                twiceArea += p.lon * q.lat - q.lon * p.lat;
            }
            if ((twiceArea > 0) != (k == 0)) std::reverse(ring.begin(), ring.end());
            std::rotate(ring.begin(), std::min_element(ring.begin(), ring.end(), less), ring.end());
            ring.push_back(ring.front());
        }
        if (poly.rings.size() > 2)
            std::sort(poly.rings.begin() + 1, poly.rings.end(),
                      [&](const gis::Ring& a, const gis::Ring& b) { return less(a[0], b[0]); });
    }
    std::sort(g.begin(), g.end(), [&](const gis::Polygon& a, const gis::Polygon& b) {
        return less(a.rings[0][0], b.rings[0][0]);
    });
    return g;
}

bool Rejected(const ex::ImportResult& r, long row, const std::string& code) {
    for (const auto& j : r.rejections)
        if (j.row == row && j.code == code) return true;
    return false;
}

} // namespace

// Every field, child list and boundary comes back from each format as it went out.
TEST(Exchange, RoundTripOfAThousandAreasThroughEveryFormat) {
    auto source = Host(1000);
    const auto expected = All(*source->Db());
    ASSERT_EQ(expected.size(), 1000u);
    const auto& cols = ex::ExchangeColumns();
    for (auto format :
         {ex::Format::Csv, ex::Format::GeoJson, ex::Format::GeoPackage, ex::Format::Shapefile}) {
        SCOPED_TRACE(ex::FormatName(format));
        const std::string path = TempPath(std::string("areas.") + ex::FormatName(format));
        auto written = ex::ExportAreas(*source->Db(), {{}, format, path, {}});
        ASSERT_EQ(written.error, "");
        ASSERT_EQ(written.written, 1000);
        auto target = Host(0);
        auto r = Import(*target, path);
        ASSERT_EQ(r.error, "");
        EXPECT_EQ(r.read, 1000);
        EXPECT_EQ(r.imported, 1000);
        ASSERT_EQ(r.rejected, 0) << r.rejections.front().message;
        EXPECT_EQ(target->WorkingList()->RecordCount(), 1000);
        const auto got = All(*target->Db());
        ASSERT_EQ(got.size(), expected.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            for (std::size_t c = 1; c < cols.size(); ++c)
                ASSERT_EQ(got[i].values[c], expected[i].values[c])
                    << "area " << expected[i].id << ", " << cols[c].name;
            ASSERT_EQ(got[i].shape.has_value(), expected[i].shape.has_value());
            if (!got[i].shape) continue;
            const auto a = Normalised(*got[i].shape), b = Normalised(*expected[i].shape);
            ASSERT_EQ(a.size(), b.size());
            for (std::size_t p = 0; p < a.size(); ++p) {
                ASSERT_EQ(a[p].rings.size(), b[p].rings.size());
                for (std::size_t k = 0; k < a[p].rings.size(); ++k) {
                    ASSERT_EQ(a[p].rings[k].size(), b[p].rings[k].size());
                    for (std::size_t q = 0; q < a[p].rings[k].size(); ++q) {
                        ASSERT_NEAR(a[p].rings[k][q].lon, b[p].rings[k][q].lon, 1e-7);
                        ASSERT_NEAR(a[p].rings[k][q].lat, b[p].rings[k][q].lat, 1e-7);
                    }
                }
            }
        }
        // Audited as an import by the signed-in user.
        auto audit = target->Db()->Query(
            "SELECT COUNT(*) AS n FROM audit_log WHERE table_name = 'ma' AND action = 'I' AND "
            "comments LIKE 'Imported from %' AND user_name = ?",
            Params{Variant(zelk::testing::ActingUser(*target->Db(), "ann"))});
        EXPECT_EQ(CLng(audit->Value("n")), 1000);
    }
}

// Each bad row is refused with its reason; the good rows go in whole, the bad ones not at all.
TEST(Exchange, BadRowsAreRefusedWithTheirReason) {
    auto h = Host(5);
    auto& db = *h->Db();
    const std::string taken = CStr(db.Query("SELECT macode_bcd AS c FROM ma WHERE "
                                            "managed_area_id = 1")
                                       ->Value("c"));
    const std::string path = TempPath("bad.csv");
    WriteText(path,
              "\xEF\xBB\xBFManagedAreaName,MACodeBcd,State,Counties,Latitude,TotalAreaAcres,"
              "YearBudgets,Extra\r\n"
              "\"Oak \"\"Big\"\" Preserve\nNorth\",Q1,MN,27053,443015N,100,2001|15000.50|2,x\r\n"
              "Bad latitude,Q2,MN,,953000N,,,\r\n"
              "Bad state,Q3,Atlantis,,,,,\r\n"
              "Bad county,Q4,MN,99999,,,,\r\n"
              "Bad acres,Q5,MN,,,12a,,\r\n"
              "Bad year,Q6,MN,,,,1899|$5,\r\n"
              "Twice,Q1,MN,,,,,\r\n"
              "Taken," +
                  taken + ",MN,,,,,\r\n");
    const long before = Count(db, "ma");
    auto r = Import(*h, path);
    EXPECT_EQ(r.read, 8);
    EXPECT_EQ(r.imported, 1);
    EXPECT_EQ(r.rejected, 7);
    EXPECT_EQ(r.ignoredColumns, std::vector<std::string>{"Extra"});
    EXPECT_TRUE(Rejected(r, 2, "MGA910"));
    EXPECT_TRUE(Rejected(r, 3, "MGA911"));
    EXPECT_TRUE(Rejected(r, 4, "MGA911"));
    EXPECT_TRUE(Rejected(r, 5, "MGA019"));
    EXPECT_TRUE(Rejected(r, 6, "MGA015"));
    EXPECT_TRUE(Rejected(r, 6, "MGA025"));
    EXPECT_TRUE(Rejected(r, 7, "MGA915"));
    EXPECT_TRUE(Rejected(r, 8, "MGA012"));
    EXPECT_EQ(Count(db, "ma"), before + 1);
    auto rs = db.Query("SELECT managed_area_name AS n, total_area_hectares AS h FROM ma WHERE "
                       "macode_bcd = 'Q1'");
    EXPECT_EQ(CStr(rs->Value("n")), "Oak \"Big\" Preserve\nNorth");
    // The hectares filled from the acres, as the editor fills them.
    EXPECT_NEAR(CDbl(rs->Value("h")), 40.46873, 1e-4);

    // A dry run checks the same and writes nothing.
    WriteText(path, "ManagedAreaName,MACodeBcd\r\nFresh,Q9\r\n");
    ex::ImportRequest dry;
    dry.path = path;
    dry.dryRun = true;
    auto d = ex::ImportAreas(h->Db(), dry);
    EXPECT_EQ(d.read, 1);
    EXPECT_EQ(d.rejected, 0);
    EXPECT_EQ(Count(db, "ma"), before + 1);

    // Files that cannot be read at all.
    WriteText(path, "");
    EXPECT_NE(Import(*h, path).error, "");
    WriteText(path, "ManagedAreaName,MACodeBcd\r\n");
    EXPECT_EQ(Import(*h, path).read, 0);
    WriteText(path, "ManagedAreaName,MACodeBcd\r\nCaf\xE9,L1\r\n");
    EXPECT_TRUE(Rejected(Import(*h, path), 1, "MGA913"));
    WriteText(path, "MACodeBcd\r\nM1\r\nM2\r\n");
    auto missing = Import(*h, path);
    EXPECT_TRUE(Rejected(missing, 1, "MGA917") && Rejected(missing, 2, "MGA917"));
    std::string wide = "ManagedAreaName";
    for (int i = 0; i < 1000000; ++i)
        wide += ",c";
    WriteText(path, wide + "\r\nA\r\n");
    EXPECT_NE(Import(*h, path).error, "");
    const std::string gpkg = TempPath("cut.gpkg");
    ASSERT_EQ(ex::ExportAreas(db, {{}, ex::Format::GeoPackage, gpkg, {}}).error, "");
    std::filesystem::resize_file(gpkg, std::filesystem::file_size(gpkg) / 2);
    auto cut = Import(*h, gpkg);
    EXPECT_NE(cut.error, "");
    EXPECT_EQ(cut.imported, 0);
    EXPECT_EQ(Count(db, "ma"), before + 1);
}

// A statement failing anywhere, or a cancel, leaves each record in whole or not at all.
TEST(Exchange, InterruptedImportLeavesWholeRecordsOnly) {
    auto h = Host(0);
    auto& db = *h->Db();
    const std::string path = TempPath("three.csv");
    WriteText(path, "ManagedAreaName,MACodeBcd,State,Counties,Owners,Aliases\r\n"
                    "One,T1,MN,27053;27123,1|Ann|n|Y,One Tract\r\n"
                    "Two,T2,MN,27053,1|Bo|n|Y,Two Tract\r\n"
                    "Three,T3,MN,27123,1|Cy|n|Y,Three Tract\r\n");
    auto whole = [&] {
        const long areas = Count(db, "ma");
        EXPECT_EQ(Count(db, "managed_area_alias"), areas);
        EXPECT_EQ(Count(db, "managed_area_owner"), areas);
        EXPECT_EQ(Count(db, "shape"), areas);
        return areas;
    };
    zelk::testing::FaultInjector faults(h->Db());
    const std::string cause = zelk::testing::FaultCause(zelk::testing::Fault::IoError);
    for (bool atomic : {false, true}) {
        for (long n = 1; n < 400; ++n) {
            db.Execute("DELETE FROM managed_area_alias");
            db.Execute("DELETE FROM managed_area_owner");
            db.Execute("DELETE FROM managed_area_county");
            db.Execute("DELETE FROM ma");
            db.Execute("DELETE FROM shape");
            const auto rq = Request(*h, path, atomic);
            faults.FailAt(n);
            auto r = ex::ImportAreas(h->Db(), rq);
            const bool fired = faults.Fired();
            faults.Off();
            const long areas = whole();
            EXPECT_EQ(areas, r.imported);
            // Every row is accounted for, and a refused statement says why.
            if (r.error.empty() && !atomic) {
                EXPECT_EQ(r.imported + r.rejected, 3) << "statement " << n;
            }
            // A refused statement is told, unless every record got in after all: a batch
            // that fails is written again one record at a time.
            if (fired && r.imported < 3) {
                bool told = r.error.find(cause) != std::string::npos;
                for (const auto& j : r.rejections)
                    told = told || j.message.find(cause) != std::string::npos;
                EXPECT_TRUE(told) << "statement " << n << ": " << r.Summary();
            }
            if (atomic) {
                EXPECT_TRUE(areas == 0 || areas == 3);
            }
            if (!fired) break;
        }
    }
    db.Execute("DELETE FROM managed_area_alias");
    db.Execute("DELETE FROM managed_area_owner");
    db.Execute("DELETE FROM managed_area_county");
    db.Execute("DELETE FROM ma");
    db.Execute("DELETE FROM shape");
    auto rq = Request(*h, path);
    rq.progress = [](long done, long) { return done < 1; };
    auto r = ex::ImportAreas(h->Db(), rq);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.imported, 1);
    EXPECT_EQ(whole(), 1);
}

// A record the database itself refuses, though every check passed, is the only one lost:
// the others written with it go in whole, and each is audited as imported.
TEST(Exchange, RecordTheDatabaseRefusesIsLostAlone) {
    auto h = Host(0);
    auto& db = *h->Db();
    if (db.Dialect() == sql::Dialect::SQLite) {
        db.ExecScript("CREATE TRIGGER refuse_bad BEFORE INSERT ON ma WHEN "
                      "new.managed_area_name = 'Bad' BEGIN SELECT RAISE(ABORT, 'refused'); END;");
    } else {
        db.ExecScript("CREATE FUNCTION refuse_bad() RETURNS trigger AS $$ BEGIN IF "
                      "NEW.managed_area_name = 'Bad' THEN RAISE EXCEPTION 'refused'; END IF; "
                      "RETURN NEW; END $$ LANGUAGE plpgsql; CREATE TRIGGER refuse_bad BEFORE "
                      "INSERT ON ma FOR EACH ROW EXECUTE FUNCTION refuse_bad();");
    }
    const std::string path = TempPath("refused.csv");
    std::string text = "ManagedAreaName,MACodeBcd,State,Counties,Owners\r\n";
    for (int i = 1; i <= 40; ++i)
        text += (i == 17 ? std::string("Bad") : "Area " + std::to_string(i)) + ",R" +
                std::to_string(i) + ",MN,27053,1|Owner " + std::to_string(i) + "|n|Y\r\n";
    WriteText(path, text);
    auto r = ex::ImportAreas(h->Db(), Request(*h, path));
    EXPECT_EQ(r.imported, 39);
    EXPECT_EQ(r.rejected, 1);
    ASSERT_EQ(r.rejections.size(), 1u);
    EXPECT_EQ(r.rejections[0].row, 17);
    EXPECT_NE(r.rejections[0].message.find("refused"), std::string::npos);
    EXPECT_EQ(Count(db, "ma"), 39);
    EXPECT_EQ(Count(db, "shape"), 39);
    EXPECT_EQ(Count(db, "managed_area_owner"), 39);
    EXPECT_EQ(Count(db, "managed_area_county"), 39);
    EXPECT_EQ(
        CLng(db.Query("SELECT COUNT(*) AS n FROM ma WHERE managed_area_name = 'Bad'")->Value("n")),
        0);
    // Each record's rows belong to it: a county and an owner under every area.
    EXPECT_EQ(CLng(db.Query("SELECT COUNT(*) AS n FROM ma m WHERE (SELECT COUNT(*) FROM "
                            "managed_area_owner o WHERE o.managed_area_id = m.managed_area_id) "
                            "= 1 AND m.shape_id IN (SELECT shape_id FROM shape)")
                       ->Value("n")),
              39);
    EXPECT_EQ(CLng(db.Query("SELECT COUNT(*) AS n FROM audit_log WHERE table_name = 'ma' AND "
                            "action = 'I' AND comments = 'Imported from refused.csv'")
                       ->Value("n")),
              39);
    EXPECT_EQ(static_cast<long>(r.importedIds.size()), 39);
    if (db.Dialect() == sql::Dialect::SQLite)
        db.ExecScript("DROP TRIGGER refuse_bad;");
    else
        db.ExecScript("DROP TRIGGER refuse_bad ON ma; DROP FUNCTION refuse_bad();");
}

// A stopped export leaves nothing under the file's name that could pass for a finished one:
// a file already there stays as it was, and no part-written file is left beside it.
TEST(Exchange, CancelledExportLeavesNoPartWrittenFile) {
    auto h = Host(50);
    for (auto format :
         {ex::Format::Csv, ex::Format::GeoJson, ex::Format::GeoPackage, ex::Format::Shapefile}) {
        SCOPED_TRACE(ex::FormatName(format));
        const std::filesystem::path dir = TempPath(std::string("cancel-") + ex::FormatName(format));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        const std::string path = (dir / (std::string("areas.") + ex::FormatName(format))).string();
        auto stopAt = [](long n) { return [n](long done, long) { return done < n; }; };

        auto r = ex::ExportAreas(*h->Db(), {{}, format, path, stopAt(10)});
        EXPECT_TRUE(r.cancelled);
        EXPECT_EQ(r.error, "");
        EXPECT_TRUE(std::filesystem::is_empty(dir)) << "nothing at all is left";

        auto done = ex::ExportAreas(*h->Db(), {{}, format, path, {}});
        ASSERT_EQ(done.error, "");
        ASSERT_FALSE(done.cancelled);
        ASSERT_EQ(done.written, 50);
        std::set<std::string> finished;
        for (const auto& f : std::filesystem::directory_iterator(dir))
            finished.insert(f.path().filename().string());
        auto size = std::filesystem::file_size(path);

        r = ex::ExportAreas(*h->Db(), {{}, format, path, stopAt(20)});
        EXPECT_TRUE(r.cancelled);
        std::set<std::string> after;
        for (const auto& f : std::filesystem::directory_iterator(dir))
            after.insert(f.path().filename().string());
        EXPECT_EQ(after, finished) << "the finished export is all there is";
        EXPECT_EQ(std::filesystem::file_size(path), size);
        auto target = Host(0);
        auto back = Import(*target, path);
        EXPECT_EQ(back.imported, 50) << back.Summary();
    }
}
