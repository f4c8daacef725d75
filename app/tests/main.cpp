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
    // Each suite starts from the default layout: windows a suite closed remember theirs.
    auto run = [&](QObject&& suite) {
        failed += QTest::qExec(&suite, argc, argv);
        QSettings(QSettings::IniFormat, QSettings::UserScope, "wayfold", "workbench").clear();
    };
    run(zelk::view::testing::ControlViewsTest());
    run(zelk::view::testing::FocusTest());
    run(zelk::view::testing::HelpTest());
    run(zelk::view::testing::PrintTest());
    run(zelk::view::testing::DriverTest());
    run(zelk::view::testing::GridViewTest());
    run(zelk::view::testing::ShellTest());
    run(zelk::view::testing::FlowTest());
    run(zelk::view::testing::TabOrderTest());
    run(zelk::view::testing::UsersTest());
    run(zelk::view::testing::MapWindowTest());
    run(zelk::view::testing::MergeWindowTest());
    run(zelk::view::testing::ExchangeWindowsTest());
    return failed == 0 ? 0 : 1;
}
