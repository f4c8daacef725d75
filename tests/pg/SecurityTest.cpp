// Who is signed in and what they may do: rights the server enforces, checked through libpq
// directly as well as through the host; the users' administration on both backends.
#include "pg/Backends.h"

#include "common/bo/Shape.h"
#include "host/ReferenceHost.h"
#include "host/security/Users.h"
#include "platform/Conv.h"
#include "platform/ProgIdRegistry.h"

#include <libpq-fe.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace zelk::testing {
namespace {

using host::PgDataService;
using host::security::Access;
using host::security::UserDirectory;

// Roles are the whole server's: this run's names start with a prefix of its own.
std::string Prefix() {
    return "zsec" + std::to_string(getpid()) + "_";
}

// Drops the roles named at the end of the test, whatever happened.
struct RolesToDrop {
    std::vector<std::string> names;
    ~RolesToDrop() {
        for (const auto& n : names) {
            try {
                PgDataService::Administer(PgServerUrl(), "DO $zelk$ BEGIN EXECUTE format('DROP "
                                                         "ROLE IF EXISTS %I', " +
                                                             SqlLiteral(n) + "); END $zelk$");
            } catch (const ComError&) {
                // Left behind, it goes with the throw-away cluster.
            }
        }
    }
};

// A bare libpq connection, as psql would make.
struct Psql {
    PGconn* conn = nullptr;
    explicit Psql(const std::string& url, const char* password = nullptr) {
        const char* keys[] = {"dbname", "password", nullptr};
        const char* values[] = {url.c_str(), password, nullptr};
        conn = PQconnectdbParams(keys, values, 1);
    }
    ~Psql() { PQfinish(conn); }
    bool Connected() const { return PQstatus(conn) == CONNECTION_OK; }
    // "" when the statement ran, else its SQLSTATE.
    std::string Run(const std::string& sql) {
        PGresult* r = PQexec(conn, sql.c_str());
        auto st = PQresultStatus(r);
        std::string state;
        if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) {
            const char* s = PQresultErrorField(r, PG_DIAG_SQLSTATE);
            state = s ? s : "?";
        }
        PQclear(r);
        return state;
    }
    std::string Value(const std::string& sql) {
        PGresult* r = PQexec(conn, sql.c_str());
        std::string v = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) > 0
                            ? PQgetvalue(r, 0, 0)
                            : "<error>";
        PQclear(r);
        return v;
    }
};

constexpr const char* kRefused = "42501";

class ServerRights : public ::testing::Test {
protected:
    void SetUp() override {
        ZELK_SKIP_WITHOUT_PG();
        scratch = std::make_unique<ScratchDatabase>(true);
        // Made by the superuser of the test server: its first administrator.
        owner = host::ReferenceHost::Open({scratch->path, "", 12, 7, true, false});
        reader = Prefix() + "reader";
        editor = Prefix() + "editor";
        roles.names = {reader, editor};
        UserDirectory users(*owner->Db());
        users.Add(reader, Access::Read, "EAST");
        users.Add(editor, Access::Edit, "");
        auto rs = owner->Db()->Query("SELECT MIN(managed_area_id) AS a, MAX(managed_area_id) AS "
                                     "b FROM ma");
        first = CLng(rs->Value("a"));
        last = CLng(rs->Value("b"));
    }
    std::string As(const std::string& user) const {
        return PgDataService::WithUser(scratch->path, user);
    }
    // The record's shape, loaded through the current host's business objects.
    std::shared_ptr<bo::IShape> ShapeOf(long id) {
        auto shape =
            std::dynamic_pointer_cast<bo::IShape>(CreateObject("ZELK_ManagedAreaClient.CShape"));
        shape->Load(CStr(owner->Db()
                             ->Query("SELECT shape_id AS s FROM ma WHERE managed_area_id = ?",
                                     {Variant(static_cast<int>(id))})
                             ->Value("s")));
        return shape;
    }
    std::string Name(long id) {
        return CStr(owner->Db()
                        ->Query("SELECT managed_area_name AS n FROM ma WHERE managed_area_id = ?",
                                {Variant(static_cast<int>(id))})
                        ->Value("n"));
    }

    RolesToDrop roles;
    std::unique_ptr<ScratchDatabase> scratch;
    std::unique_ptr<host::ReferenceHost> owner;
    std::string reader, editor;
    long first = 0, last = 0;
};

TEST_F(ServerRights, AReaderReadsButTheServerRefusesEveryChangeAndProcedure) {
    Psql psql(As(reader));
    ASSERT_TRUE(psql.Connected()) << PQerrorMessage(psql.conn);
    EXPECT_EQ(psql.Value("SELECT session_user"), reader);
    EXPECT_EQ(psql.Run("SELECT count(*) FROM ma"), "");
    EXPECT_EQ(psql.Run("SELECT count(*) FROM managed_area_wl_vw"), "");
    const std::string id = std::to_string(first), other = std::to_string(last);
    EXPECT_EQ(psql.Run("INSERT INTO shape (has_shape_ind) VALUES ('N')"), kRefused);
    EXPECT_EQ(psql.Run("UPDATE ma SET managed_area_name = 'x' WHERE managed_area_id = " + id),
              kRefused);
    EXPECT_EQ(psql.Run("DELETE FROM managed_area_alias"), kRefused);
    EXPECT_EQ(psql.Run("SELECT delete_ma_data(" + id + ")"), kRefused);
    EXPECT_EQ(psql.Run("SELECT copy_ma(" + id + ", " + other + ")"), kRefused);
    EXPECT_EQ(psql.Run("SELECT nextval(pg_get_serial_sequence('ma', 'managed_area_id'))"), "")
        << "a sequence alone changes nothing";
    // Nor may a reader make themself an editor, or write the audit trail.
    EXPECT_EQ(psql.Run("UPDATE app_user SET access_level = 'F'"), kRefused);
    EXPECT_EQ(psql.Run("SELECT zelk_add_user('x', 'A', NULL, NULL)"), kRefused);
    EXPECT_EQ(psql.Run("INSERT INTO audit_log (user_name) VALUES ('x')"), kRefused);
    EXPECT_EQ(psql.Run("UPDATE security_role SET role_name = 'x'"), kRefused);
    EXPECT_NE(Name(first), "x");
    // A reader keeps options of their own, and only their own.
    const std::string mine = "(SELECT user_id FROM app_user WHERE user_name = '" + reader + "')";
    const std::string theirs = "(SELECT user_id FROM app_user WHERE user_name = '" + editor + "')";
    const std::string add = "INSERT INTO user_option (user_option_category_id, user_id, "
                            "option_name, option_value) VALUES (1, ";
    EXPECT_EQ(psql.Run(add + mine + ", 'mine', 'x')"), "");
    EXPECT_EQ(psql.Run(add + theirs + ", 'theirs', 'x')"), kRefused);
    EXPECT_EQ(owner->Db()->Execute("INSERT INTO user_option (user_option_category_id, user_id, "
                                   "option_name, option_value) SELECT 1, user_id, 'set', 'y' "
                                   "FROM app_user WHERE user_name = ?",
                                   {Variant(editor)}),
              1);
    EXPECT_EQ(psql.Run("UPDATE user_option SET option_value = 'changed'"), "");
    EXPECT_EQ(psql.Value("SELECT string_agg(option_name || '=' || option_value, ',' ORDER BY "
                         "option_name) FROM user_option WHERE option_name IN ('mine', 'set')"),
              "mine=changed,set=y")
        << "reads every row, changes only its own";
    EXPECT_EQ(psql.Run("DELETE FROM user_option WHERE option_name = 'set'"), "");
    EXPECT_EQ(psql.Value("SELECT count(*) FROM user_option WHERE option_name = 'set'"), "1");

    // The host says the same: every field locked, and a save that reaches the server anyway
    // is refused there with its own code, nothing half written.
    auto host = host::ReferenceHost::Open({As(reader), "", 0, 1, false, false});
    EXPECT_EQ(host->UserName(), reader);
    EXPECT_EQ(CStr(host->App()->Call("GetControlAccess",
                                     {Variant("ManagedAreaDetails"), Variant("mnuFileSave")})),
              "N");
    EXPECT_FALSE(host->App()->IsAdministrator());
    EXPECT_EQ(
        host->App()->GetOrgUnitCode(Variant(static_cast<int>(host->App()->GetSystemOrgUnitID()))),
        "EAST");
    const std::string before = Name(first);
    auto shape = ShapeOf(first);
    shape->ManagedArea(1)->SetProperty("ManagedAreaName", Variant("Not Mine"));
    shape->ManagedArea(1)->SetProperty("ManagedAreaDesc", Variant("Not mine either"));
    EXPECT_FALSE(shape->Save());
    EXPECT_EQ(shape->LastErrorCode(), "MGA902") << shape->LastError();
    EXPECT_EQ(Name(first), before);
    EXPECT_THROW(host->App()->Delete("delete_ma_data", first, reader), ComError);
    EXPECT_EQ(Name(first), before);
}

TEST_F(ServerRights, AnEditorsSaveIsAuditedUnderTheSessionUserWhateverTheClientClaims) {
    // A name of the client's own is refused on a server.
    try {
        host::ReferenceHost::Open({As(editor), "mallory", 0, 1, false, false});
        ADD_FAILURE() << "a client-supplied name was taken";
    } catch (const ComError& e) {
        EXPECT_NE(e.Description().find("--user"), std::string::npos) << e.Description();
        EXPECT_NE(e.Description().find(editor), std::string::npos) << e.Description();
    }

    auto host = host::ReferenceHost::Open({As(editor), "", 0, 1, false, false});
    EXPECT_EQ(host->UserName(), editor);
    EXPECT_EQ(host->App()->AccessLevel(), "F");
    EXPECT_FALSE(host->App()->IsAdministrator());
    host->Db()->SetSessionUser("mallory", -1); // what a client could claim
    auto shape = ShapeOf(first);
    shape->ManagedArea(1)->SetProperty("ManagedAreaName", Variant("Edited Marsh"));
    ASSERT_TRUE(shape->Save()) << shape->LastError();
    EXPECT_EQ(Name(first), "Edited Marsh");
    auto audit = owner->Db()->Query("SELECT DISTINCT user_name FROM audit_log WHERE record_id = ? "
                                    "AND column_name = 'managed_area_name'",
                                    {Variant(static_cast<int>(first))});
    ASSERT_EQ(audit->RecordCount(), 1);
    EXPECT_EQ(CStr(audit->Value("user_name")), editor);

    // Even from psql with the setting the old triggers read.
    Psql psql(As(editor));
    ASSERT_EQ(psql.Run("SELECT set_config('zelk.user', 'mallory', false)"), "");
    ASSERT_EQ(psql.Run("UPDATE ma SET managed_area_desc = 'by psql' WHERE managed_area_id = " +
                       std::to_string(last)),
              "");
    EXPECT_EQ(psql.Value("SELECT string_agg(DISTINCT user_name, ',') FROM audit_log WHERE "
                         "column_name = 'managed_area_desc' AND record_id = " +
                         std::to_string(last)),
              editor);
    // Editors run the procedures, but administer nothing.
    EXPECT_EQ(
        psql.Value("SELECT copy_ma(" + std::to_string(first) + ", " + std::to_string(last) + ")"),
        "t");
    EXPECT_EQ(psql.Value("SELECT delete_ma_data(" + std::to_string(last) + ")"), "t");
    EXPECT_EQ(psql.Run("INSERT INTO app_user (user_name) VALUES ('x')"), kRefused);
    EXPECT_EQ(psql.Run("SELECT zelk_set_user(" + SqlLiteral(reader) + ", 'A', NULL, NULL)"),
              kRefused);
}

TEST_F(ServerRights, ARemovedUserCannotConnectAndPasswordsNeverShow) {
    UserDirectory users(*owner->Db());
    users.Remove(reader);
    Psql gone(As(reader));
    EXPECT_FALSE(gone.Connected());
    for (const auto& u : users.List())
        EXPECT_NE(u.name, reader);
    // Nobody removes themself or takes their own administration away.
    try {
        users.Remove(host::security::SignedInUser(*owner->Db(), ""));
        ADD_FAILURE() << "removed the signed-in administrator";
    } catch (const ComError&) {
    }

    // A login with a password (the test server asks members of zelk_password_login for one).
    const std::string login = Prefix() + "pw";
    roles.names.push_back(login);
    PgDataService::Administer(PgServerUrl(), "DO $zelk$ BEGIN CREATE ROLE zelk_password_login; "
                                             "EXCEPTION WHEN duplicate_object THEN NULL; END "
                                             "$zelk$");
    const std::string secret = "s3cret 'quoted'; --";
    users.Add(login, Access::Edit, "WEST", secret);
    PgDataService::Administer(PgServerUrl(), "DO $zelk$ BEGIN EXECUTE format('GRANT "
                                             "zelk_password_login TO %I', " +
                                                 SqlLiteral(login) + "); END $zelk$");
    EXPECT_EQ(CLng(owner->Db()
                       ->Query("SELECT count(*) AS n FROM pg_authid WHERE rolpassword LIKE "
                               "'%quoted%'")
                       ->Value("n")),
              0)
        << "only the verifier reaches the server";
    EXPECT_FALSE(Psql(As(login)).Connected()) << "no password, no connection";
    EXPECT_TRUE(Psql(As(login), secret.c_str()).Connected());
    try {
        host::PgDataService bad(As(login) + "&password=wrong-one", host::OpenMode::ExistingOnly);
        ADD_FAILURE() << "a wrong password was taken";
    } catch (const ComError& e) {
        EXPECT_EQ(e.Description().find("wrong-one"), std::string::npos) << e.Description();
    }
    // The prompt answers when nothing else gives the password, and is shown no password.
    std::string shown;
    PgDataService::SetPasswordPrompt([&](const std::string& url) {
        shown = url;
        return secret;
    });
    {
        auto host = host::ReferenceHost::Open({As(login), "", 0, 1, false, false});
        EXPECT_EQ(host->UserName(), login);
        EXPECT_EQ(CStr(host->App()->Call("GetServerName")).find("s3cret"), std::string::npos);
    }
    PgDataService::SetPasswordPrompt({});
    EXPECT_NE(shown.find(login), std::string::npos);
    EXPECT_EQ(PgDataService::Redacted("postgresql://ann:pw@/db?host=/s&password=pw&port=5"),
              "postgresql://ann@/db?host=/s&port=5");
    // An administrator changes the password; the old one no longer works.
    users.Set(login, std::nullopt, std::nullopt, std::string("another"));
    EXPECT_FALSE(Psql(As(login), secret.c_str()).Connected());
    EXPECT_TRUE(Psql(As(login), "another").Connected());
}

// Hostile names become literal users or are refused with a reason; none of them runs.
class HostileUserNames : public ::testing::TestWithParam<bool> {};

TEST_P(HostileUserNames, AreCreatedLiterallyOrRefusedClearly) {
    if (GetParam()) ZELK_SKIP_WITHOUT_PG();
    ScratchDatabase scratch(GetParam());
    auto host = host::ReferenceHost::Open({scratch.path, "", 5, 2, true, false});
    UserDirectory users(*host->Db());
    const std::string p = GetParam() ? Prefix() : "";
    RolesToDrop roles;
    const std::vector<std::string> names = {p + "o'brien",
                                            p + "x\"; DROP TABLE ma; --",
                                            p + "two words",
                                            p + "Zo\xc3\xab \xe5\x90\x8d\xe5\x89\x8d",
                                            p + "r'); DELETE FROM app_user; --",
                                            p + std::string(200, 'a')};
    roles.names = names;
    for (const auto& name : names) {
        try {
            users.Add(name, Access::Read, "");
        } catch (const ComError& e) {
            // Only the long one may be refused, and it says why.
            EXPECT_GT(name.size(), 63U) << e.Description();
            EXPECT_NE(e.Description().find("too long"), std::string::npos) << e.Description();
            continue;
        }
        bool listed = false;
        for (const auto& u : users.List())
            listed = listed || (u.name == name && u.access == Access::Read);
        EXPECT_TRUE(listed) << name;
        if (GetParam()) {
            EXPECT_EQ(CLng(host->Db()
                               ->Query("SELECT count(*) AS n FROM pg_roles WHERE rolname = ?",
                                       {Variant(name)})
                               ->Value("n")),
                      1)
                << name;
        }
        users.Set(name, Access::Edit, std::string("WEST"));
        EXPECT_EQ(users.AccessOf(name), Access::Edit);
        users.Remove(name);
    }
    EXPECT_GT(CLng(host->Db()->Query("SELECT count(*) AS n FROM ma")->Value("n")), 0);
    EXPECT_GT(CLng(host->Db()->Query("SELECT count(*) AS n FROM app_user")->Value("n")), 0);
    try {
        users.Add(" ", Access::Read, "");
        ADD_FAILURE() << "a blank name was taken";
    } catch (const ComError& e) {
        EXPECT_NE(e.Description().find("needs a name"), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, HostileUserNames, ::testing::Values(false, true), BackendName);

// Whoever makes a database administers it and may change its records; on a server that is a
// login without superuser rights that owns the database.
class Creator : public ::testing::TestWithParam<bool> {};

TEST_P(Creator, MakesANewSampleDatabaseAndMayEditAndAdministerIt) {
    if (GetParam()) ZELK_SKIP_WITHOUT_PG();
    RolesToDrop roles;
    std::string path, dbName;
    std::unique_ptr<ScratchDatabase> file;
    if (GetParam()) {
        const std::string creator = Prefix() + "creator";
        dbName = Prefix() + "db";
        roles.names = {creator, dbName + "_reader", dbName + "_editor", dbName + "_admin"};
        PgDataService::Administer(PgServerUrl(), "CREATE ROLE " + creator + " LOGIN CREATEROLE");
        PgDataService::Administer(PgServerUrl(), "CREATE DATABASE " + dbName + " OWNER " + creator);
        path = PgDataService::WithUser(PgDataService::WithDatabase(PgServerUrl(), dbName), creator);
    } else {
        file = std::make_unique<ScratchDatabase>(false);
        path = file->path;
    }
    {
        auto host = host::ReferenceHost::Open({path, "", 8, 2, true, false});
        EXPECT_TRUE(host->WasCreated());
        EXPECT_TRUE(host->App()->IsAdministrator());
        EXPECT_EQ(host->App()->AccessLevel(), "F");
        auto shape =
            std::dynamic_pointer_cast<bo::IShape>(CreateObject("ZELK_ManagedAreaClient.CShape"));
        shape->Load(CStr(host->Db()->Query("SELECT MIN(shape_id) AS s FROM ma")->Value("s")));
        shape->ManagedArea(1)->SetProperty("ManagedAreaName", Variant("Creator's Own"));
        EXPECT_TRUE(shape->Save()) << shape->LastError();
        UserDirectory users(*host->Db());
        if (GetParam()) roles.names.push_back(Prefix() + "member");
        users.Add(Prefix() + "member", Access::Read, "HQ");
        EXPECT_EQ(users.AccessOf(Prefix() + "member"), Access::Read);
    }
    if (GetParam())
        PgDataService::Administer(PgServerUrl(),
                                  "DROP DATABASE IF EXISTS " + dbName + " WITH (FORCE)");
}

INSTANTIATE_TEST_SUITE_P(Backends, Creator, ::testing::Values(false, true), BackendName);

// zelk-admin, as a team's administrator runs it: a new database, a reader and an editor, the
// editor's password on standard input (never on the command line).
class AdminTool : public ::testing::TestWithParam<bool> {
protected:
    // Runs the tool with `input` on its standard input; answers its exit status and output.
    static int Run(const std::string& args, const std::string& input, std::string& out) {
        const std::string tool = "../tools/zelk-admin";
        std::string outFile = std::filesystem::temp_directory_path() /
                              ("zelk-admin-" + std::to_string(getpid()) + ".out");
        FILE* p = popen((tool + " " + args + " >" + outFile + " 2>&1").c_str(), "w");
        if (!p) return -1;
        std::fputs(input.c_str(), p);
        int rc = pclose(p);
        std::ifstream f(outFile);
        out.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
        std::filesystem::remove(outFile);
        return WEXITSTATUS(rc);
    }
};

TEST_P(AdminTool, SetsUpADatabaseAndAddsAReaderAndAnEditor) {
    if (GetParam()) ZELK_SKIP_WITHOUT_PG();
    if (!std::filesystem::exists("../tools/zelk-admin")) GTEST_SKIP() << "zelk-admin not built";
    ScratchDatabase scratch(GetParam());
    RolesToDrop roles;
    const std::string p = GetParam() ? Prefix() + "t_" : "";
    const std::string reader = p + "cy", editor = p + "bo o'neil";
    roles.names = {reader, editor};
    const std::string db = "--db '" + scratch.path + "' ";
    std::string out;
    ASSERT_EQ(Run(db + "init --areas 3", "", out), 0) << out;
    EXPECT_NE(out.find("administers it"), std::string::npos) << out;
    ASSERT_EQ(Run(db + "add " + reader + " --access read --org EAST", "", out), 0) << out;
    const int rc = Run(db + "add \"" + editor + "\" --access edit --password",
                       GetParam() ? "hunter2 two\n" : "", out);
    if (GetParam()) {
        ASSERT_EQ(rc, 0) << out;
    } else {
        // A file has no passwords; the editor comes without one.
        EXPECT_EQ(rc, 1);
        EXPECT_NE(out.find("file permissions"), std::string::npos) << out;
        ASSERT_EQ(Run(db + "add \"" + editor + "\" --access edit", "", out), 0) << out;
    }
    EXPECT_EQ(Run(db + "add x --access owner", "", out), 2);
    EXPECT_NE(out.find("read, edit or admin"), std::string::npos) << out;
    EXPECT_EQ(Run(db + "add x --password hunter2", "", out), 2)
        << "no password on the command line";
    ASSERT_EQ(Run(db + "users", "", out), 0) << out;
    EXPECT_NE(out.find(reader + "\tread\tEAST"), std::string::npos) << out;
    EXPECT_NE(out.find(editor + "\tedit\t"), std::string::npos) << out;
    EXPECT_EQ(out.find("hunter2"), std::string::npos);

    auto open = [&](const std::string& user) {
        return GetParam() ? host::ReferenceHost::Open({PgDataService::WithUser(scratch.path, user),
                                                       "", 0, 1, false, false})
                          : host::ReferenceHost::Open({scratch.path, user, 0, 1, false, false});
    };
    auto shapeOf = [](host::ReferenceHost& h) {
        auto s =
            std::dynamic_pointer_cast<bo::IShape>(CreateObject("ZELK_ManagedAreaClient.CShape"));
        s->Load(CStr(h.Db()->Query("SELECT MIN(shape_id) AS s FROM ma")->Value("s")));
        return s;
    };
    {
        auto h = open(reader);
        EXPECT_EQ(h->App()->AccessLevel(), "R");
        if (GetParam()) {
            auto s = shapeOf(*h);
            s->ManagedArea(1)->SetProperty("ManagedAreaName", Variant("By The Reader"));
            EXPECT_FALSE(s->Save());
            EXPECT_EQ(s->LastErrorCode(), "MGA902");
        }
    }
    {
        auto h = open(editor);
        EXPECT_EQ(h->App()->AccessLevel(), "F");
        auto s = shapeOf(*h);
        s->ManagedArea(1)->SetProperty("ManagedAreaName", Variant("By The Editor"));
        EXPECT_TRUE(s->Save()) << s->LastError();
    }
    ASSERT_EQ(Run(db + "remove " + reader, "", out), 0) << out;
    if (GetParam()) {
        Psql gone(PgDataService::WithUser(scratch.path, reader));
        EXPECT_FALSE(gone.Connected());
    }
    ASSERT_EQ(Run(db + "users", "", out), 0) << out;
    EXPECT_EQ(out.find(reader + "\t"), std::string::npos) << out;
}

INSTANTIATE_TEST_SUITE_P(Backends, AdminTool, ::testing::Values(false, true), BackendName);

} // namespace
} // namespace zelk::testing
