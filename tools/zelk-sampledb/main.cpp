// zelk-sampledb: writes a sample managed area database.
//   zelk-sampledb [--areas N] [--seed S] [--out FILE | --db postgresql://...] [--force]
#include "CommandLine.h"
#include "host/ReferenceHost.h"
#include "host/data/PgDataService.h"
#include "host/data/SqliteDataService.h"
#include "host/sample/SampleData.h"
#include "host/security/Users.h"
#include "platform/Error.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>

namespace {

constexpr const char* kUsage =
    "usage: zelk-sampledb [--areas N] [--seed S] [--out FILE | --db URL] [--force]\n"
    "  --areas N   managed areas to generate, 0 to 100000000 (default 500)\n"
    "  --seed S    seed of the generator, 0 to 4294967295 (default 1); equal seeds, equal data\n"
    "  --out FILE  database file to write (default zelk-sample.db)\n"
    "  --db URL    write into an empty PostgreSQL database instead, given by its\n"
    "              connection URL (postgresql://user@host/db)\n"
    "  --force     replace FILE when it exists\n";

// Why FILE cannot be written, or "" when it can; a trial file is removed again, so a refused
// command line leaves nothing behind.
std::string CannotWrite(const std::string& file, bool force) {
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec)) return file + " is a folder";
    if (std::filesystem::exists(file, ec)) {
        if (!force) return file + " exists; use --force to replace it";
        int fd = ::open(file.c_str(), O_WRONLY);
        if (fd < 0) return "cannot write " + file + ": " + std::strerror(errno);
        ::close(fd);
        return "";
    }
    int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) return "cannot write " + file + ": " + std::strerror(errno);
    ::close(fd);
    ::unlink(file.c_str());
    return "";
}

void RemoveDatabase(const std::string& file) {
    std::error_code ec;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        std::filesystem::remove(file + suffix, ec);
}

void Done(const std::string& shown, long areas, long seed,
          std::chrono::steady_clock::time_point start) {
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s: %ld managed areas (seed %ld) in %.1f s\n", shown.c_str(), areas, seed,
                seconds);
}

} // namespace

int main(int argc, char** argv) {
    long areas = 500, seed = 1;
    std::string out = "zelk-sample.db", url;
    bool force = false;
    zelk::cli::CommandLine cli("zelk-sampledb", kUsage);
    cli.Number("--areas", "N", 0, 100000000, areas);
    cli.Number("--seed", "S", 0, 4294967295L, seed);
    cli.Text("--out", "FILE", out, [](const std::string& v) {
        return v.empty() ? std::string("needs a file name") : std::string();
    });
    cli.Text("--db", "URL", url, [](const std::string& v) {
        return zelk::host::PgDataService::IsUrl(v) ? std::string()
                                                   : "'" + v + "' is no postgresql:// URL";
    });
    cli.Flag("--force", force);
    if (auto status = cli.Parse(argc, argv)) return *status;

    auto start = std::chrono::steady_clock::now();
    if (!url.empty()) {
        const std::string shown = zelk::host::PgDataService::Redacted(url);
        try {
            zelk::host::PgDataService db(url, zelk::host::OpenMode::CreateIfMissing);
            zelk::host::WriteSampleData(db, static_cast<int>(areas), static_cast<unsigned>(seed));
            // Whoever makes the database administers it.
            zelk::host::security::UserDirectory(db).RegisterCreator(
                zelk::host::security::SignedInUser(db, ""));
        } catch (const zelk::ComError& e) {
            std::fprintf(stderr, "zelk-sampledb: %s\n", e.Description().c_str());
            return 1;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "zelk-sampledb: %s\n", e.what());
            return 1;
        }
        Done(shown, areas, seed, start);
        return 0;
    }
    if (std::string problem = CannotWrite(out, force); !problem.empty())
        return cli.Refuse("--out", problem);
    RemoveDatabase(out);
    std::string failure;
    try {
        zelk::host::SqliteDataService db(out, zelk::host::OpenMode::CreateIfMissing);
        // The file is new and removed again on failure: a journal in memory and no syncs
        // until the end keep a large load from writing every page twice; the indexes, built at
        // the end, sort on two threads. Every generated row refers to rows written before it,
        // so the foreign keys are not looked up row by row (a quarter of the writing).
        db.ExecScript("PRAGMA foreign_keys = OFF; PRAGMA journal_mode = MEMORY; "
                      "PRAGMA synchronous = OFF; PRAGMA cache_size = -262144; PRAGMA threads = 2;");
        zelk::host::WriteSampleData(db, static_cast<int>(areas), static_cast<unsigned>(seed));
        zelk::host::security::UserDirectory(db).RegisterCreator(zelk::host::OsUserName());
        db.ExecScript("PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL;");
    } catch (const zelk::ComError& e) {
        failure = e.Description();
    } catch (const std::exception& e) {
        failure = e.what();
    }
    if (!failure.empty()) {
        std::fprintf(stderr, "zelk-sampledb: %s\n", failure.c_str());
        RemoveDatabase(out);
        return 1;
    }
    Done(out, areas, seed, start);
    return 0;
}
