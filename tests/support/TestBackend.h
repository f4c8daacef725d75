#pragma once

#include "host/ReferenceHost.h"
#include "host/data/DataService.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace zelk::testing {

// The database the headless tests build their hosts and data services on: SQLite in memory,
// or, with ZELK_TEST_BACKEND=postgresql, a database of its own for every test on the server
// named by ZELK_TEST_PG.
bool OnPostgres();

// The server the PostgreSQL tests use: ZELK_TEST_PG names a database the tests may create
// other databases from (./test starts a throw-away cluster and sets it).
std::string PgServerUrl();
// Empty when the server can be used; otherwise why not, for the skip message.
const std::string& PgUnavailable();

// The options with a private database on the test backend in place of ":memory:". On
// PostgreSQL that database is a copy of a template holding the schema, the sample data of that
// size and seed, and the user (each template is written once per test program); without
// sample data it is an empty database the host creates as it would a file. It is dropped when
// the test (or the suite that made it) ends. Other paths are left alone.
host::HostOptions OnTestBackend(host::HostOptions options);
// On a server database the server's session user is the signed-in user: a fixture's user
// name becomes a login of its own on the test server (a superuser, so fixtures may write as
// before), named in the URL. Files and options without a name are left alone.
host::HostOptions SignedInAs(host::HostOptions options);
// The login `user` on the test server, made when missing (a superuser); answers the name.
std::string EnsureLogin(const std::string& user);
// A text as an SQL string literal, for trusted test statements.
std::string SqlLiteral(const std::string& s);

// Who the audit trail and the procedures' stamps name when the client says `claimed`: on a
// server its session user, on a file the claimed name.
std::string ActingUser(host::DataService& db, const std::string& claimed);
// On a server the procedures run inside the server, out of reach of the statement hook: a
// trigger fails every `op` ("INSERT", "UPDATE", "DELETE") on `table` there, as a full disk
// would, until StopFailingOnServer.
void FailOnServer(host::DataService& db, const std::string& table, const std::string& op);
void StopFailingOnServer(host::DataService& db, const std::string& table);

// A data service on a private database of the test backend holding the schema and, with
// `areas` > 0, the sample data of that size and seed.
std::shared_ptr<host::DataService> NewTestDataService(int areas = 0, unsigned seed = 1);

// Rows a fixture wrote with their keys given: on PostgreSQL the key generators move past them,
// as the next insert by the code under test expects.
void KeysWritten(host::DataService& db);
// The hook either data service calls with every statement about to run (a test throws from it
// to fail that statement); nullptr removes it.
void SetStatementHook(host::DataService& db, std::function<void(const std::string&)> hook);

// For gtest's main: drops the databases at the end of the test, suite or program that made
// them.
void InstallTestBackendCleanup();

} // namespace zelk::testing

// For the tests about SQLite itself (its dialect's text, files, locks, hooks).
#define ZELK_SQLITE_ONLY(why)                                                                      \
    do {                                                                                           \
        if (::zelk::testing::OnPostgres()) GTEST_SKIP() << "SQLite only: " << why;                 \
    } while (0)
