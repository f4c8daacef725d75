#include "HostFixture.h"

#include "host/data/SqliteDataService.h"
#include "platform/Error.h"

#include <cstdint>
#include <string>

namespace zelk::host::test {
namespace {

using SampleDataTest = SampleDbTest;

TEST_F(SampleDataTest, SameSeedSameDatabaseAndEveryRowConsistent) {
    SqliteDataService same(":memory:"), other(":memory:");
    WriteSampleData(same, 500, 7);
    WriteSampleData(other, 500, 8);
    auto dumpOf = [](DataService& d) {
        std::string out;
        for (const char* t : {"ma", "managed_area_owner", "element_managed_area", "reference"}) {
            auto rs = d.Query(std::string("SELECT * FROM ") + t + " ORDER BY 1");
            for (; !rs->EOF(); rs->MoveNext())
                for (long c = 0; c < rs->GetFields().Count(); ++c) {
                    Variant v = rs->GetFields().Item(static_cast<std::size_t>(c)).Value();
                    out += (v.IsNull() ? "~" : CStr(v)) + "|";
                }
        }
        return out;
    };
    EXPECT_EQ(dumpOf(*db), dumpOf(same));
    EXPECT_NE(dumpOf(*db), dumpOf(other));

    // The server checks every foreign key as the rows go in; SQLite is asked afterwards.
    if (!zelk::testing::OnPostgres()) {
        EXPECT_EQ(db->Query("PRAGMA foreign_key_check")->RecordCount(), 0);
    }
    EXPECT_EQ(Scalar("SELECT count(*) FROM d_state WHERE nation_id = 1"), 57);
    EXPECT_EQ(Scalar("SELECT count(*) FROM d_county"), 3235);
    EXPECT_EQ(CStr(db->Query("SELECT county_name FROM d_county WHERE d_county_id = 56001")
                       ->Value("county_name")),
              "Albany County");
    EXPECT_EQ(Scalar("SELECT count(*) FROM ma WHERE NOT EXISTS (SELECT 1 FROM managed_area_county "
                     "c WHERE c.managed_area_id = ma.managed_area_id) OR NOT EXISTS (SELECT 1 FROM "
                     "managed_area_owner o WHERE o.managed_area_id = ma.managed_area_id)"),
              0);
    // Each element row names its element at exactly one level.
    EXPECT_EQ(
        Scalar("SELECT count(*) FROM element_managed_area WHERE NOT ((element_global_id IS NOT "
               "NULL AND element_national_id IS NULL AND element_subnational_id IS NULL) OR "
               "(element_global_id IS NULL AND element_national_id IS NOT NULL AND "
               "element_subnational_id IS NULL) OR (element_global_id IS NULL AND "
               "element_national_id IS NULL AND element_subnational_id IS NOT NULL))"),
        0);
    EXPECT_GT(Scalar("SELECT count(*) FROM ma WHERE managed_area_name LIKE '% Wildlife Refuge'"),
              0);

    // Empty text is NULL, in every text column of every table.
    auto cols =
        db->Query("SELECT m.name AS t, c.name AS c FROM sqlite_master m, "
                  "pragma_table_info(m.name) c WHERE m.type = 'table' AND upper(c.type) = 'TEXT'");
    for (; !cols->EOF(); cols->MoveNext()) {
        std::string t = CStr(cols->Value("t")), c = CStr(cols->Value("c"));
        EXPECT_EQ(Scalar("SELECT count(*) FROM " + t + " WHERE " + c + " = ''"), 0)
            << t << "." << c;
    }

    // The load is not audited; later changes are.
    EXPECT_EQ(Scalar("SELECT count(*) FROM audit_log"), 0);
    db->Execute("UPDATE ma SET manager = 'Changed' WHERE managed_area_id = 1");
    EXPECT_EQ(Scalar("SELECT count(*) FROM audit_log WHERE column_name = 'manager'"), 1);

    const std::string before = Dump();
    EXPECT_THROW(WriteSampleData(*db, 10, 7), ComError);
    EXPECT_EQ(Dump(), before);
}

// A seed gives the same database from one version to the next: names, people, codes, outlines
// and their measures, in every table the generator fills. A change meant to alter the sample
// data changes the fingerprint here; any other change must leave it.
TEST(SampleDataFingerprint, ASeedKeepsGivingTheSameData) {
    if (zelk::testing::OnPostgres()) GTEST_SKIP() << "the file database carries the check";
    SqliteDataService lite(":memory:");
    WriteSampleData(lite, 300, 7);
    std::uint64_t fingerprint = 14695981039346656037ull; // FNV-1a
    auto add = [&](const std::string& text) {
        for (unsigned char ch : text) {
            fingerprint ^= ch;
            fingerprint *= 1099511628211ull;
        }
    };
    for (const std::string sql :
         {"SELECT * FROM shape", "SELECT * FROM ma", "SELECT * FROM managed_area_owner",
          "SELECT * FROM managed_area_alias", "SELECT * FROM managed_area_county",
          "SELECT * FROM managed_area_local_juris", "SELECT * FROM managed_area_mapsheet",
          "SELECT * FROM managed_area_site", "SELECT * FROM managed_area_reference",
          "SELECT * FROM managed_area_keyword", "SELECT * FROM element_managed_area",
          "SELECT shape_id, hex(geom) FROM shape_geometry",
          "SELECT * FROM rtree_shape_geometry_geom"}) {
        auto rs = lite.Query(sql + " ORDER BY 1");
        add(sql);
        for (; !rs->EOF(); rs->MoveNext())
            for (long c = 0; c < rs->GetFields().Count(); ++c) {
                Variant v = rs->GetFields().Item(static_cast<std::size_t>(c)).Value();
                add((v.IsNull() ? "~" : CStr(v)) + "|");
            }
    }
    auto first = lite.Query("SELECT managed_area_name, total_area_acres FROM ma WHERE "
                            "managed_area_id = 1");
    EXPECT_EQ(CStr(first->Value("managed_area_name")), "Otter Gap State Park");
    EXPECT_EQ(CStr(first->Value("total_area_acres")), "43.54");
    EXPECT_EQ(fingerprint, 0x1bb4307fdf7ea1c6ull) << std::hex << fingerprint;
}

} // namespace
} // namespace zelk::host::test
