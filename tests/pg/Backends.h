#pragma once

#include "host/data/PgDataService.h"
#include "platform/Error.h"
#include "support/TestBackend.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace zelk::testing {

#define ZELK_SKIP_WITHOUT_PG()                                                                     \
    do {                                                                                           \
        if (!::zelk::testing::PgUnavailable().empty())                                             \
            GTEST_SKIP() << ::zelk::testing::PgUnavailable();                                      \
    } while (0)

// A database of its own for one test: a file, or a new database on the server; removed at the
// end. `path` is what HostOptions.dbPath takes.
class ScratchDatabase {
public:
    explicit ScratchDatabase(bool postgres) : postgres_(postgres) {
        static std::atomic<int> counter{0};
        std::string name = "zelk_t" + std::to_string(getpid()) + "_" + std::to_string(++counter);
        if (postgres_) {
            name_ = name;
            host::PgDataService::Administer(PgServerUrl(), "CREATE DATABASE " + name_);
            path = host::PgDataService::WithDatabase(PgServerUrl(), name_);
        } else {
            path = (std::filesystem::temp_directory_path() / (name + ".db")).string();
        }
    }
    ~ScratchDatabase() {
        try {
            if (postgres_)
                host::PgDataService::Administer(PgServerUrl(), "DROP DATABASE IF EXISTS " + name_ +
                                                                   " WITH (FORCE)");
        } catch (const ComError&) {
            // A database left behind goes with the throw-away cluster.
        }
        std::error_code ec;
        if (!postgres_)
            for (const char* suffix : {"", "-wal", "-shm"})
                std::filesystem::remove(path + suffix, ec);
    }
    ScratchDatabase(const ScratchDatabase&) = delete;
    ScratchDatabase& operator=(const ScratchDatabase&) = delete;

    std::string path;

private:
    bool postgres_;
    std::string name_;
};

inline std::string BackendName(const ::testing::TestParamInfo<bool>& info) {
    return info.param ? "PostgreSQL" : "SQLite";
}

} // namespace zelk::testing
