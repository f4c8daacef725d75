#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/Form.h"
#include "platform/ui/ScriptedUiDriver.h"
#include "view/ControlView.h"
#include "view/FormWidget.h"

#include <QApplication>
#include <QTest>

#include <cstdlib>
#include <memory>
#include <string_view>

namespace zelk::view::testing {

// The flow tests' databases are on the ZELK_TEST_PG server instead of in memory.
inline bool WorkbenchOnPostgres() {
    const char* b = std::getenv("ZELK_TEST_BACKEND");
    return b && std::string_view(b) == "postgresql";
}

// The Qt widget showing a model control, cast to the expected kind.
template <class W> W* WidgetOf(const Control& c) {
    ControlView* v = ControlView::Of(c);
    return v ? qobject_cast<W*>(v->Widget()) : nullptr;
}

// Shows the form's view as an active window, so focus moves and shortcuts behave as on a
// desktop. The offscreen platform activates a shown window without any waiting.
inline void ShowActive(QWidget& w) {
    w.show();
    w.activateWindow();
    QApplication::processEvents();
}

// A scripted person for message boxes; every test starts with an empty log.
inline std::shared_ptr<ScriptedUiDriver> InstallScriptedUi() {
    auto ui = std::make_shared<ScriptedUiDriver>();
    SetUiDriver(ui);
    return ui;
}

} // namespace zelk::view::testing
