#pragma once

#include <QObject>

namespace zelk::view::testing {

class ShellTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void workingListShowsTheRecordsetRows();
    void recordWindowsAskCanCloseBeforeClosing();
    void formsShowAsDialogsAndWindows();
};

} // namespace zelk::view::testing
