#pragma once

#include <QObject>

namespace zelk::view::testing {

// Tab walks each page of the editor and the search in the order of their layout.
class TabOrderTest : public QObject {
    Q_OBJECT
private slots:
    void tabFollowsTheLayoutOnEveryPage();
};

} // namespace zelk::view::testing
