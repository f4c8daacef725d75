#include "shell/StoppableDialog.h"

#include <QCloseEvent>

namespace zelk::view {

void StoppableDialog::SetWorking(bool on) {
    running_ = on;
    if (on) stop_ = false;
}

void StoppableDialog::reject() {
    if (running_) {
        stop_ = true;
        return;
    }
    QDialog::reject();
}

void StoppableDialog::closeEvent(QCloseEvent* event) {
    if (running_) {
        stop_ = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace zelk::view
