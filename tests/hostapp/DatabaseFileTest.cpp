#include "host/data/SqliteDataService.h"
#include "platform/Error.h"

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

} // namespace
} // namespace zelk::host
