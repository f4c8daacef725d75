#pragma once

#include <QObject>

#include <memory>

namespace zelk {
class ScriptedUiDriver;
}

namespace zelk::view::testing {

class ControlViewsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void typingReachesTheModelAndKeepsTheCaret();
    void modelChangesShowInTheWidgets();
    void tabsShowTheCurrentPage();
    void disabledCommandsDoNothing();
    void commandsShowTheirIcons();
    void labelsShowTheirWholeCaption();

private:
    std::shared_ptr<ScriptedUiDriver> ui_;
};

} // namespace zelk::view::testing
