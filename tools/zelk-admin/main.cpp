// zelk-admin: the users of a managed area database, on a file or a server.
//   zelk-admin [--db FILE|URL] users
//   zelk-admin [--db FILE|URL] add NAME --access read|edit|admin [--org CODE] [--password]
//   zelk-admin [--db FILE|URL] set NAME [--access LEVEL] [--org CODE] [--password]
//   zelk-admin [--db FILE|URL] remove NAME
//   zelk-admin [--db FILE|URL] init [--areas N]
#include "CommandLine.h"
#include "Terminal.h"

#include "host/ReferenceHost.h"
#include "host/data/PgDataService.h"
#include "host/data/SqliteDataService.h"
#include "host/sample/SampleData.h"
#include "host/security/Users.h"
#include "platform/Error.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace {

using zelk::host::PgDataService;
namespace security = zelk::host::security;

constexpr const char* kUsage =
    "usage: zelk-admin [--db FILE|URL] COMMAND\n"
    "  users                         list the users and what each may do\n"
    "  add NAME --access LEVEL [--org CODE] [--password]\n"
    "                                a new user; LEVEL is read, edit or admin\n"
    "  set NAME [--access LEVEL] [--org CODE] [--password]\n"
    "                                change what is given, keep the rest\n"
    "  remove NAME                   the user goes (on a server, the login too)\n"
    "  init [--areas N]              set up an empty database (reference data and N sample\n"
    "                                areas, default 0); you become its first administrator\n"
    "  --db       the database file or postgresql:// URL (default: $ZELK_DB)\n"
    "  --password read the user's password: asked on the terminal without echo, or the\n"
    "             first line of standard input when that is no terminal. Server logins only.\n"
    "The connection's own password comes from the URL, PGPASSWORD, the password file\n"
    "(PGPASSFILE, ~/.pgpass) or a prompt on the terminal.\n";

struct Command {
    std::string db, verb, name, org;
    std::optional<security::Access> access;
    bool orgGiven = false, password = false;
    long areas = 0;
};

// Empty when the tool goes on, else its exit status (usage shown, or an argument refused).
std::optional<int> Parse(int argc, char** argv, Command& c) {
    zelk::cli::CommandLine cli("zelk-admin", kUsage);
    std::string level;
    cli.Text("--db", "FILE|URL", c.db);
    cli.Text("--access", "LEVEL", level, [](const std::string& v) {
        try {
            security::ParseAccess(v);
            return std::string();
        } catch (const zelk::ComError&) {
            return std::string("is read, edit or admin, not '") + v + "'";
        }
    });
    cli.Text("--org", "CODE", c.org, [&c](const std::string&) {
        c.orgGiven = true;
        return std::string();
    });
    cli.Flag("--password", c.password);
    cli.Number("--areas", "N", 0, 100000000, c.areas);
    cli.Operand("COMMAND", c.verb, true, [](const std::string& v) {
        return v == "users" || v == "init" || v == "add" || v == "set" || v == "remove"
                   ? std::string()
                   : std::string("is no command (users, add, set, remove, init)");
    });
    cli.Operand("NAME", c.name, false);
    if (auto status = cli.Parse(argc, argv)) return status;
    if (!level.empty()) c.access = security::ParseAccess(level);
    if (c.db.empty())
        if (const char* env = std::getenv("ZELK_DB"); env && *env) c.db = env;
    if (c.db.empty()) return cli.Refuse("--db", "no database: give --db FILE|URL or set ZELK_DB");
    const bool named = c.verb == "add" || c.verb == "set" || c.verb == "remove";
    if (named && c.name.empty()) return cli.Refuse(c.verb, "needs a NAME");
    if (!named && !c.name.empty()) return cli.Refuse(c.name, c.verb + " takes no NAME");
    if (c.verb == "add" && !c.access)
        return cli.Refuse("--access", "add needs read, edit or admin");
    return std::nullopt;
}

std::shared_ptr<zelk::host::DataService> Open(const Command& c) {
    if (PgDataService::IsUrl(c.db)) {
        PgDataService::SetPasswordPrompt([](const std::string& shown) {
            return zelk::admin::AskOnTerminal("Password for " + shown + ": ");
        });
        return std::make_shared<PgDataService>(c.db, c.verb == "init"
                                                         ? zelk::host::OpenMode::CreateIfMissing
                                                         : zelk::host::OpenMode::ExistingOnly);
    }
    if (c.verb != "init" && !std::filesystem::exists(c.db))
        throw zelk::ComError(zelk::err::InvalidArgument, "There is no database file " + c.db + ".");
    return std::make_shared<zelk::host::SqliteDataService>(
        c.db, c.verb == "init" ? zelk::host::OpenMode::CreateIfMissing
                               : zelk::host::OpenMode::ExistingOnly);
}

int Run(const Command& c) {
    auto db = Open(c);
    security::UserDirectory users(*db);
    const std::string me = security::SignedInUser(*db, "");
    if (c.verb == "init") {
        zelk::host::WriteSampleData(*db, static_cast<int>(c.areas), 1);
        users.RegisterCreator(me);
        std::printf("%s is set up; %s administers it.\n", PgDataService::Redacted(c.db).c_str(),
                    me.c_str());
        return 0;
    }
    if (c.verb == "users") {
        for (const auto& u : users.List())
            std::printf("%s\t%s\t%s\n", u.name.c_str(), security::AccessName(u.access),
                        u.orgUnit.c_str());
        return 0;
    }
    std::optional<std::string> password;
    if (c.password) password = zelk::admin::ReadPassword("Password for " + c.name + ": ", true);
    std::optional<std::string> org;
    if (c.orgGiven) org = c.org;
    if (c.verb == "add")
        users.Add(c.name, *c.access, c.org, password);
    else if (c.verb == "set")
        users.Set(c.name, c.access, org, password);
    else
        users.Remove(c.name);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Command c;
    if (auto status = Parse(argc, argv, c)) return *status;
    try {
        return Run(c);
    } catch (const zelk::ComError& e) {
        std::fprintf(stderr, "zelk-admin: %s\n", e.Description().c_str());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zelk-admin: %s\n", e.what());
        return 1;
    }
}
