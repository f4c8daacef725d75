#include "view/UserAction.h"

#include "platform/Error.h"
#include "platform/ui/UiDriver.h"

#include <QApplication>
#include <QMessageBox>

namespace zelk::view {

namespace {
void Report(const std::string& text) {
    try {
        if (CurrentUiDriver()) {
            Ui().MsgBox(text, vb::Exclamation, "Wayfold");
            return;
        }
    } catch (...) {
        // The driver itself failed; fall back to a plain box below.
    }
    QMessageBox::warning(QApplication::activeWindow(), "Wayfold", QString::fromStdString(text));
}
} // namespace

bool RunUserAction(const std::function<void()>& action) {
    try {
        action();
        return true;
    } catch (const ComError& e) {
        Report("Run-time error " + std::to_string(e.Number()) + ":\n\n" + e.Description());
    } catch (const std::exception& e) {
        Report(e.what());
    }
    return false;
}

} // namespace zelk::view
