#pragma once

#include <QObject>

namespace zelk::view::testing {

// Tab walks each page of the editor and the search in the order of their layout; a larger
// window gives its room to the pages and their grids.
class TabOrderTest : public QObject {
    Q_OBJECT
private slots:
    void tabFollowsTheLayoutOnEveryPage();
    void pagesAndGridsGrowWithTheirWindow();
};

} // namespace zelk::view::testing
