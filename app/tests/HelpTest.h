#pragma once

#include <QObject>

namespace zelk::view::testing {

// F1 in each window opens the help page of that window, and the pages hold together.
class HelpTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void f1OpensThePageOfTheWindowAndOfTheRecordPage();
    void everyLinkOfEveryPageOpensAPage();
};

} // namespace zelk::view::testing
