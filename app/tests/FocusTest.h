#pragma once

#include <QObject>

namespace zelk::view::testing {

class FocusTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void validateCancelKeepsTheFocusInTheField();
    void keysGoThroughTheModel();
};

} // namespace zelk::view::testing
