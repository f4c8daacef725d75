#pragma once

#include <QDialog>

namespace zelk::view {

// A dialog whose work runs on the window's own thread, hearing events between its steps.
// While the work runs, Cancel, Esc and the title bar's close button ask it to stop and leave
// the dialog open; once it has stopped they close the dialog as usual.
class StoppableDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

protected:
    bool Running() const { return running_; }
    // Asked by the work between steps: false once the user wants it stopped.
    bool KeepGoing() const { return !stop_; }
    // The work starts (an earlier wish to stop is forgotten) or has ended.
    void SetWorking(bool on);

    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool running_ = false;
    bool stop_ = false;
};

} // namespace zelk::view
