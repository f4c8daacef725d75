#pragma once

#include <QObject>

#include <memory>

namespace zelk {
class ScriptedUiDriver;
}

namespace zelk::view::testing {

class GridViewTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void cellsShowTheModel();
    void anEditRunsTheModelsEvents();
    void aRefusedEditKeepsTheOldValue();
    void listBoxMultiSelectReachesTheModel();
    void aDoubleClickReachesTheModel();
    void aLargeGridIsReadInPlace();

private:
    std::shared_ptr<ScriptedUiDriver> ui_;
};

} // namespace zelk::view::testing
