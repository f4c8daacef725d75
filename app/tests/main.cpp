// The workbench's view tests; each class is one group, all run on the offscreen platform.
#include "ControlViewsTest.h"
#include "DriverTest.h"
#include "ExchangeWindowsTest.h"
#include "FlowTest.h"
#include "FocusTest.h"
#include "GridViewTest.h"
#include "HelpTest.h"
#include "MapWindowTest.h"
#include "MergeWindowTest.h"
#include "PrintTest.h"
#include "ShellTest.h"
#include "TabOrderTest.h"
#include "UsersTest.h"

#include "ViewTestSupport.h"
#include "host/data/PgDataService.h"
#include "platform/Error.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <string>

namespace {

// Why the PostgreSQL run cannot go ahead; empty when it can.
std::string PgUnusable() {
    const char* url = std::getenv("ZELK_TEST_PG");
    if (!url || !*url)
        return "no PostgreSQL server for the tests: set ZELK_TEST_PG=postgresql://... (./test "
               "starts one)";
    try {
        zelk::host::PgDataService::Administer(url, "SELECT 1");
    } catch (const zelk::ComError& e) {
        return "the PostgreSQL server in ZELK_TEST_PG cannot be used: " + e.Description();
    }
    return {};
}

} // namespace

int main(int argc, char** argv) {
    if (zelk::view::testing::WorkbenchOnPostgres()) {
        if (const std::string why = PgUnusable(); !why.empty()) {
            std::printf("Skipped on PostgreSQL: %s\n", why.c_str());
            return 77; // the skip code CTest is told of
        }
    }
    QApplication app(argc, argv);
    // The windows keep their layout in the settings: never in the real user's.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    int failed = 0;
    {
        zelk::view::testing::ControlViewsTest t;
        failed += QTest::qExec(&t, argc, argv);
    }
    {
        zelk::view::testing::FocusTest t;
        failed += QTest::qExec(&t, argc, argv);
    }
    {
        zelk::view::testing::HelpTest t;
        failed += QTest::qExec(&t, argc, argv);
    }
    {
        zelk::view::testing::PrintTest t;
        failed += QTest::qExec(&t, argc, argv);
    }
    {
        zelk::view::testing::DriverTest t;
        failed += QTest::qExec(&t, argc, argv);
    }
    {
        zelk::view::testing::GridViewTest t;
        failed += QTest::qExec(&t, argc, argv);
    }
    {
        zelk::view::testing::ShellTest t;
        failed += QTest::qExec(&t, argc, argv);
    }
    {
        zelk::view::testing::FlowTest t;
        failed += QTest::qExec(&t, argc, argv);
    }
    {
        zelk::view::testing::TabOrderTest t;
        failed += QTest::qExec(&t, argc, argv);
    }
    {
        zelk::view::testing::UsersTest t;
        failed += QTest::qExec(&t, argc, argv);
    }
    {
        zelk::view::testing::MapWindowTest t;
        failed += QTest::qExec(&t, argc, argv);
    }
    {
        zelk::view::testing::MergeWindowTest t;
        failed += QTest::qExec(&t, argc, argv);
    }
    {
        zelk::view::testing::ExchangeWindowsTest t;
        failed += QTest::qExec(&t, argc, argv);
    }
    return failed == 0 ? 0 : 1;
}
