#include "support/TestBackend.h"

#include "host/data/PgDataService.h"
#include "host/data/SqliteDataService.h"
#include "host/sample/SampleData.h"
#include "host/schema/PgSchema.h"
#include "platform/Conv.h"
#include "platform/Error.h"

#include <cstdlib>
#include <map>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

#include <unistd.h>

namespace zelk::testing {
namespace {

using host::PgDataService;

// Databases made on the server, by who owns them: the running test, the running suite (made
// in its SetUpTestSuite), or the program (the templates).
struct Registry {
    std::mutex mutex;
    std::map<std::string, std::string> templates; // key -> database
    std::vector<std::string> ofTest, ofSuite, ofProgram;
    bool inTest = false, inSuite = false;
    int counter = 0;
};
Registry& Made() {
    static Registry r;
    return r;
}

std::string NewName(Registry& r, const std::string& kind) {
    return "zelk_" + std::to_string(getpid()) + "_" + kind + std::to_string(++r.counter);
}

void Drop(std::vector<std::string>& names) {
    for (const auto& n : names) {
        try {
            PgDataService::Administer(PgServerUrl(),
                                      "DROP DATABASE IF EXISTS " + n + " WITH (FORCE)");
        } catch (const ComError&) {
            // One left behind goes with the throw-away cluster.
        }
    }
    names.clear();
}

// A template with the schema and, for areas >= 0, the sample data of that size and seed;
// `user` (when given) is in it as the host puts the user into a database it creates.
std::string Template(Registry& r, int areas, unsigned seed, const std::string& user) {
    std::string key =
        (areas < 0 ? "schema" : std::to_string(areas) + "_" + std::to_string(seed)) + "/" + user;
    auto it = r.templates.find(key);
    if (it != r.templates.end()) return it->second;
    std::string name = NewName(r, "tmpl");
    PgDataService::Administer(PgServerUrl(), "CREATE DATABASE " + name);
    r.ofProgram.push_back(name);
    {
        PgDataService db(PgDataService::WithDatabase(PgServerUrl(), name));
        if (areas >= 0) host::WriteSampleData(db, areas, seed);
        if (!user.empty())
            db.Execute("INSERT INTO app_user (user_name, org_unit_id, access_level) VALUES (?, "
                       "(SELECT MIN(org_unit_id) FROM org_unit), 'F')",
                       {Variant(user)});
    } // a template takes no copies while connected
    r.templates.emplace(key, name);
    return name;
}

// A copy of the template for the running test (or suite); its URL.
std::string CopyOf(int areas, unsigned seed, const std::string& user = "") {
    auto& r = Made();
    std::lock_guard lock(r.mutex);
    std::string from = Template(r, areas, seed, user);
    std::string name = NewName(r, "t");
    // A file copy needs no WAL of the whole database; with fsync off its checkpoint is cheap.
    PgDataService::Administer(PgServerUrl(), "CREATE DATABASE " + name + " TEMPLATE " + from +
                                                 " STRATEGY FILE_COPY");
    (r.inTest ? r.ofTest : r.inSuite ? r.ofSuite : r.ofProgram).push_back(name);
    return PgDataService::WithDatabase(PgServerUrl(), name);
}

class Cleanup : public ::testing::EmptyTestEventListener {
    void OnTestSuiteStart(const ::testing::TestSuite&) override { Made().inSuite = true; }
    void OnTestStart(const ::testing::TestInfo&) override { Made().inTest = true; }
    // The fixture (and its connections) is gone by now.
    void OnTestEnd(const ::testing::TestInfo&) override {
        std::lock_guard lock(Made().mutex);
        Made().inTest = false;
        Drop(Made().ofTest);
    }
    void OnTestSuiteEnd(const ::testing::TestSuite&) override {
        std::lock_guard lock(Made().mutex);
        Made().inSuite = false;
        Drop(Made().ofSuite);
    }
    void OnTestProgramEnd(const ::testing::UnitTest&) override {
        std::lock_guard lock(Made().mutex);
        Drop(Made().ofTest);
        Drop(Made().ofSuite);
        Drop(Made().ofProgram);
        Made().templates.clear();
    }
};

} // namespace

bool OnPostgres() {
    static const bool pg = [] {
        const char* v = std::getenv("ZELK_TEST_BACKEND");
        return v && std::string(v) == "postgresql";
    }();
    return pg;
}

std::string PgServerUrl() {
    const char* v = std::getenv("ZELK_TEST_PG");
    return v ? v : "";
}

const std::string& PgUnavailable() {
    static const std::string why = [] {
        std::string url = PgServerUrl();
        if (url.empty())
            return std::string("no PostgreSQL server for the tests: set "
                               "ZELK_TEST_PG=postgresql://... (./test starts one)");
        try {
            PgDataService::Administer(url, "SELECT 1");
        } catch (const ComError& e) {
            return "the PostgreSQL server in ZELK_TEST_PG cannot be used: " + e.Description();
        }
        return std::string();
    }();
    return why;
}

// An empty database of its own, for a host that creates the schema itself.
std::string EmptyDatabase() {
    auto& r = Made();
    std::lock_guard lock(r.mutex);
    std::string name = NewName(r, "t");
    PgDataService::Administer(PgServerUrl(), "CREATE DATABASE " + name);
    (r.inTest ? r.ofTest : r.inSuite ? r.ofSuite : r.ofProgram).push_back(name);
    return PgDataService::WithDatabase(PgServerUrl(), name);
}

std::string SqlLiteral(const std::string& s) {
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

std::string EnsureLogin(const std::string& user) {
    static std::mutex m;
    static std::set<std::string> made;
    std::lock_guard lock(m);
    if (made.insert(user).second) {
        // Several test programs at once may make the same login; the first one wins.
        PgDataService::Administer(
            PgServerUrl(),
            "DO $zelk$ BEGIN IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = " +
                SqlLiteral(user) + ") THEN EXECUTE format('CREATE ROLE %I LOGIN SUPERUSER', " +
                SqlLiteral(user) +
                "); END IF; EXCEPTION WHEN duplicate_object OR unique_violation THEN NULL; END "
                "$zelk$");
    }
    return user;
}

host::HostOptions SignedInAs(host::HostOptions options) {
    if (!host::PgDataService::IsUrl(options.dbPath) || options.userName.empty()) return options;
    options.dbPath = host::PgDataService::WithUser(options.dbPath, EnsureLogin(options.userName));
    options.userName.clear();
    return options;
}

host::HostOptions OnTestBackend(host::HostOptions options) {
    if (!OnPostgres() || options.dbPath != ":memory:") return SignedInAs(options);
    if (options.userName.empty()) options.userName = host::OsUserName();
    if (!options.sampleData)
        // As in memory, the host finds nothing and writes the schema (cheap without data).
        options.dbPath = EmptyDatabase();
    else
        options.dbPath = CopyOf(options.sampleData ? options.sampleAreas : -1, options.sampleSeed,
                                options.userName);
    return SignedInAs(options);
}

std::shared_ptr<host::DataService> NewTestDataService(int areas, unsigned seed) {
    if (OnPostgres())
        return std::make_shared<PgDataService>(CopyOf(areas > 0 ? areas : -1, seed),
                                               host::OpenMode::ExistingOnly);
    auto db = std::make_shared<host::SqliteDataService>(":memory:");
    if (areas > 0) host::WriteSampleData(*db, areas, seed);
    return db;
}

std::string ActingUser(host::DataService& db, const std::string& claimed) {
    if (db.Dialect() != host::sql::Dialect::PostgreSQL) return claimed;
    return CStr(db.Query("SELECT session_user::text AS u")->Value("u"));
}

void FailOnServer(host::DataService& db, const std::string& table, const std::string& op) {
    db.ExecScript("CREATE OR REPLACE FUNCTION zelk_test_fail() RETURNS trigger LANGUAGE plpgsql "
                  "AS $zelk$ BEGIN RAISE EXCEPTION 'The disk is full; the change was not saved.' "
                  "USING ERRCODE = '53100'; END $zelk$; DROP TRIGGER IF EXISTS zelk_test_fail ON " +
                  table + "; CREATE TRIGGER zelk_test_fail BEFORE " + op + " ON " + table +
                  " FOR EACH ROW EXECUTE FUNCTION zelk_test_fail();");
}

void StopFailingOnServer(host::DataService& db, const std::string& table) {
    db.ExecScript("DROP TRIGGER IF EXISTS zelk_test_fail ON " + table + ";");
}

void KeysWritten(host::DataService& db) {
    if (db.Dialect() == host::sql::Dialect::PostgreSQL) host::SyncPgKeyGenerators(db);
}

void SetStatementHook(host::DataService& db, std::function<void(const std::string&)> hook) {
    if (auto* pg = dynamic_cast<PgDataService*>(&db))
        pg->SetStatementHook(std::move(hook));
    else
        dynamic_cast<host::SqliteDataService&>(db).SetStatementHook(std::move(hook));
}

void InstallTestBackendCleanup() {
    if (OnPostgres()) ::testing::UnitTest::GetInstance()->listeners().Append(new Cleanup);
}

} // namespace zelk::testing
