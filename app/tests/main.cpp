// The workbench's view tests; each class is one group, all run on the offscreen platform.
#include "ControlViewsTest.h"
#include "DriverTest.h"
#include "FlowTest.h"
#include "FocusTest.h"
#include "GridViewTest.h"
#include "ShellTest.h"

#include <QApplication>
#include <QTest>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
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
    return failed == 0 ? 0 : 1;
}
