#pragma once

#include <QObject>

namespace zelk::view::testing {

class MapWindowTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void viewShapeOpensTheAreaOnAMap();
    void theMapPansAndZooms();
};

} // namespace zelk::view::testing
