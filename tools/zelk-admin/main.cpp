// zelk-admin: the users of a managed area database, on a file or a server.
//   zelk-admin [--db FILE|URL] users
//   zelk-admin [--db FILE|URL] add NAME --access read|edit|admin [--org CODE] [--password]
//   zelk-admin [--db FILE|URL] set NAME [--access LEVEL] [--org CODE] [--password]
//   zelk-admin [--db FILE|URL] remove NAME
//   zelk-admin [--db FILE|URL] init [--areas N]
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
#include <stdexcept>
#include <string>
#include <vector>

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

int Usage(const std::string& why) {
    std::fprintf(stderr, "zelk-admin: %s\n%s", why.c_str(), kUsage);
    return 2;
}

struct Command {
    std::string db, verb, name, org;
    std::optional<security::Access> access;
    bool orgGiven = false, password = false;
    long areas = 0;
};

// Answers "" when the command line is fine, else what is wrong with it.
std::string Parse(int argc, char** argv, Command& c) {
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) throw std::invalid_argument(a + " needs a value");
            into = argv[++i];
        };
        if (a == "--db") {
            value(c.db);
        } else if (a == "--access") {
            std::string level;
            value(level);
            c.access = security::ParseAccess(level);
        } else if (a == "--org") {
            value(c.org);
            c.orgGiven = true;
        } else if (a == "--password") {
            c.password = true;
        } else if (a == "--areas") {
            std::string n;
            value(n);
            char* end = nullptr;
            c.areas = std::strtol(n.c_str(), &end, 10);
            if (!end || *end || n.empty() || c.areas < 0) return "--areas needs a whole number";
        } else if (a == "--help" || a == "-h") {
            return "help";
        } else if (a.rfind("--", 0) == 0) {
            return "unknown option " + a;
        } else {
            words.push_back(a);
        }
    }
    if (c.db.empty())
        if (const char* env = std::getenv("ZELK_DB"); env && *env) c.db = env;
    if (c.db.empty()) return "no database: give --db FILE|URL or set ZELK_DB";
    if (words.empty()) return "no command";
    c.verb = words[0];
    const bool named = c.verb == "add" || c.verb == "set" || c.verb == "remove";
    if (!named && c.verb != "users" && c.verb != "init") return "unknown command " + c.verb;
    if (words.size() != (named ? 2U : 1U))
        return named ? c.verb + " takes one NAME" : c.verb + " takes no NAME";
    if (named) c.name = words[1];
    if (c.verb == "add" && !c.access) return "add needs --access read|edit|admin";
    return "";
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
    try {
        std::string why = Parse(argc, argv, c);
        if (why == "help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (!why.empty()) return Usage(why);
        return Run(c);
    } catch (const std::invalid_argument& e) {
        return Usage(e.what());
    } catch (const zelk::ComError& e) {
        std::fprintf(stderr, "zelk-admin: %s\n", e.Description().c_str());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zelk-admin: %s\n", e.what());
        return 1;
    }
}
