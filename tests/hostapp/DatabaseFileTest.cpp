#include "host/data/SqliteDataService.h"
#include "host/sample/SampleData.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "support/TestBackend.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace zelk::host {
namespace {

std::string Failure(const std::string& path, OpenMode mode) {
    try {
        SqliteDataService db(path, mode);
    } catch (const ComError& e) {
        return e.what();
    }
    return "";
}

TEST(DatabaseFile, MissingOrCorruptFilesGiveAClearErrorAndNoCrash) {
    ZELK_SQLITE_ONLY("database files, their damage and their modes");
    const std::string missing = ::testing::TempDir() + "zelk-missing.db";
    std::remove(missing.c_str());
    EXPECT_NE(Failure(missing, OpenMode::ExistingOnly).find("zelk-missing.db"), std::string::npos);

    const std::string corrupt = ::testing::TempDir() + "zelk-corrupt.db";
    {
        std::ofstream f(corrupt, std::ios::binary);
        f << std::string(8192, 'x');
    }
    std::string why = Failure(corrupt, OpenMode::CreateIfMissing);
    EXPECT_FALSE(why.empty()) << "a file that is not a database is refused";
    std::remove(corrupt.c_str());

    const std::string fresh = ::testing::TempDir() + "zelk-fresh.db";
    std::remove(fresh.c_str());
    {
        SqliteDataService db(fresh);
        EXPECT_TRUE(db.WasCreated());
    }
    SqliteDataService again(fresh, OpenMode::ExistingOnly);
    EXPECT_FALSE(again.WasCreated()) << "an existing database is opened as it is";
    for (const char* suffix : {"", "-wal", "-shm"})
        std::remove((fresh + suffix).c_str());
}

void RemoveDb(const std::string& path) {
    for (const char* suffix : {"", "-wal", "-shm"})
        std::remove((path + suffix).c_str());
}

long Areas(DataService& db) {
    return CLng(db.Query("SELECT count(*) AS n FROM ma")->Value("n"));
}

// The error text of a statement, "" when it ran.
std::string Refusal(DataService& db, const std::string& sql) {
    try {
        db.Execute(sql);
    } catch (const ComError& e) {
        return e.Description();
    }
    return "";
}

TEST(DatabaseFile, ReadOnlyDamagedAndLockedDatabasesAreToldApartAndNothingIsLost) {
    ZELK_SQLITE_ONLY("file modes and the locks of database files");
    const std::string path = ::testing::TempDir() + "zelk-states.db";
    RemoveDb(path);
    {
        SqliteDataService db(path);
        WriteSampleData(db, 40, 3);
    }
    const std::string rename =
        "UPDATE ma SET managed_area_name = 'Renamed' WHERE managed_area_id = 1";

    // Opened read-only: every read works, every write is refused as such and changes nothing.
    {
        SqliteDataService ro(path, OpenMode::ReadOnly);
        EXPECT_TRUE(ro.IsReadOnly());
        EXPECT_EQ(Areas(ro), 40);
        std::string why = Refusal(ro, rename);
        EXPECT_EQ(why, "The database is read-only; changes cannot be saved.");
        EXPECT_EQ(why.find("UPDATE"), std::string::npos);
        EXPECT_EQ(Areas(ro), 40);
    }
    EXPECT_NE(Failure(::testing::TempDir() + "zelk-none.db", OpenMode::ReadOnly), "")
        << "read-only never creates a file";

    // Another program holds the write lock: the write is refused as locked, the first writer's
    // change is not disturbed, and the same write succeeds once the lock is gone.
    {
        SqliteDataService a(path, OpenMode::ExistingOnly);
        SqliteDataService b(path, OpenMode::ExistingOnly);
        a.SetBusyTimeout(20);
        b.Begin();
        b.Execute("UPDATE ma SET managed_area_name = 'Held' WHERE managed_area_id = 2");
        EXPECT_EQ(Refusal(a, rename),
                  "The database is locked by another user or program. Try again in a moment.");
        EXPECT_EQ(Areas(a), 40) << "reading goes on while another program writes";
        b.Commit();
        EXPECT_EQ(Refusal(a, rename), "");
        auto names = a.Query("SELECT managed_area_name FROM ma WHERE managed_area_id IN (1, 2) "
                             "ORDER BY managed_area_id");
        EXPECT_EQ(CStr(names->Value("managed_area_name")), "Renamed");
        names->MoveNext();
        EXPECT_EQ(CStr(names->Value("managed_area_name")), "Held");
    }

    // Pages overwritten in the middle of the file: opening or reading says the file is
    // damaged, never crashes, and never shows a statement.
    {
        std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(4096 * 4);
        f << std::string(4096 * 24, '\xA5');
    }
    std::string damaged;
    try {
        SqliteDataService db(path, OpenMode::ExistingOnly);
        for (const char* table : {"ma", "managed_area_owner", "managed_area_county", "shape"})
            db.Query(std::string("SELECT * FROM ") + table);
        db.Query("PRAGMA integrity_check");
    } catch (const ComError& e) {
        damaged = e.Description();
    }
    EXPECT_NE(damaged.find("damaged"), std::string::npos) << damaged;
    EXPECT_EQ(damaged.find("SELECT"), std::string::npos);
    RemoveDb(path);
}

} // namespace
} // namespace zelk::host
