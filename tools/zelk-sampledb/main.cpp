// zelk-sampledb: writes a sample managed area database.
//   zelk-sampledb [--areas N] [--seed S] [--out FILE | --db postgresql://...] [--force]
#include "host/ReferenceHost.h"
#include "host/data/PgDataService.h"
#include "host/data/SqliteDataService.h"
#include "host/sample/SampleData.h"
#include "host/security/Users.h"
#include "platform/Error.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

int Usage(const char* why) {
    std::fprintf(stderr,
                 "zelk-sampledb: %s\n"
                 "usage: zelk-sampledb [--areas N] [--seed S] [--out FILE | --db URL] [--force]\n"
                 "  --areas N   managed areas to generate (default 500)\n"
                 "  --seed S    seed of the generator (default 1); equal seeds, equal data\n"
                 "  --out FILE  database file to write (default zelk-sample.db)\n"
                 "  --db URL    write into an empty PostgreSQL database instead, given by its\n"
                 "              connection URL (postgresql://user@host/db)\n"
                 "  --force     replace FILE when it exists\n",
                 why);
    return 2;
}

bool ParseCount(const char* text, long max, long& out) {
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (!end || *end || end == text || v < 0 || v > max) return false;
    out = v;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    long areas = 500, seed = 1;
    std::string out = "zelk-sample.db";
    bool force = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        bool hasValue = i + 1 < argc;
        if (a == "--areas" && hasValue) {
            if (!ParseCount(argv[++i], 100000000, areas))
                return Usage("--areas needs a whole number");
        } else if (a == "--seed" && hasValue) {
            if (!ParseCount(argv[++i], 4294967295L, seed))
                return Usage("--seed needs a whole number");
        } else if (a == "--out" && hasValue) {
            out = argv[++i];
        } else if (a == "--db" && hasValue) {
            out = argv[++i];
            if (!zelk::host::PgDataService::IsUrl(out))
                return Usage("--db needs a postgresql:// URL");
        } else if (a == "--force") {
            force = true;
        } else {
            return Usage(("unknown argument " + a).c_str());
        }
    }

    auto start = std::chrono::steady_clock::now();
    if (zelk::host::PgDataService::IsUrl(out)) {
        const std::string shown = zelk::host::PgDataService::Redacted(out);
        try {
            zelk::host::PgDataService db(out, zelk::host::OpenMode::CreateIfMissing);
            zelk::host::WriteSampleData(db, static_cast<int>(areas), static_cast<unsigned>(seed));
            // Whoever makes the database administers it.
            zelk::host::security::UserDirectory(db).RegisterCreator(
                zelk::host::security::SignedInUser(db, ""));
        } catch (const zelk::ComError& e) {
            std::fprintf(stderr, "zelk-sampledb: %s\n", e.Description().c_str());
            return 1;
        }
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("%s: %ld managed areas (seed %ld) in %.1f s\n", shown.c_str(), areas, seed,
                    seconds);
        return 0;
    }
    std::error_code ec;
    if (std::filesystem::exists(out, ec)) {
        if (!force) {
            std::fprintf(stderr, "zelk-sampledb: %s exists; use --force to replace it.\n",
                         out.c_str());
            return 1;
        }
        for (const char* suffix : {"", "-wal", "-shm"})
            std::filesystem::remove(out + suffix, ec);
    }
    try {
        zelk::host::SqliteDataService db(out, zelk::host::OpenMode::CreateIfMissing);
        // The file is new and removed again on failure: a journal in memory and no syncs
        // until the end keep a large load from writing every page twice.
        db.ExecScript("PRAGMA journal_mode = MEMORY; PRAGMA synchronous = OFF; "
                      "PRAGMA cache_size = -262144;");
        zelk::host::WriteSampleData(db, static_cast<int>(areas), static_cast<unsigned>(seed));
        zelk::host::security::UserDirectory(db).RegisterCreator(zelk::host::OsUserName());
        db.ExecScript("PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL;");
    } catch (const zelk::ComError& e) {
        std::fprintf(stderr, "zelk-sampledb: %s\n", e.Description().c_str());
        for (const char* suffix : {"", "-wal", "-shm"})
            std::filesystem::remove(out + suffix, ec);
        return 1;
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s: %ld managed areas (seed %ld) in %.1f s\n", out.c_str(), areas, seed, seconds);
    return 0;
}
