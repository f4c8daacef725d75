#pragma once

#include <QObject>

namespace zelk::view::testing {

class DriverTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void messageBoxesAnswerWithTheModelsCodes();
    void popupChoiceClicksBeforeReturning();
    void sendKeysReachTheFocusedField();
    void hourglassIsTheWaitCursor();
};

} // namespace zelk::view::testing
