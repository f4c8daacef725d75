#pragma once

#include "platform/ui/Control.h"

#include <QMdiSubWindow>

#include <functional>
#include <memory>

namespace zelk::host {
class HostWindow;
}

namespace zelk::view {

class FormWidget;

// A window of the workbench's MDI area hosting one of the module's controls (the editor or
// the search) in a hosting window of the model. Before it closes it asks the control's
// CanClose; when it closes it calls Deactivate and lets the control go. The control's events
// become signals.
class RecordWindow : public QMdiSubWindow, public ControlObserver {
    Q_OBJECT
public:
    RecordWindow(std::shared_ptr<host::HostWindow> window, ControlPtr control,
                 QWidget* parent = nullptr);
    ~RecordWindow() override;

    const ControlPtr& HostedControl() const { return control_; }
    host::HostWindow& Window() const { return *window_; }
    FormWidget* View() const { return view_; }
    // Asks the control; true when it agrees (or cannot be asked).
    bool CanClose();
    // Closes without asking again (after CanClose agreed, or when the control asked to quit).
    void CloseAgreed();
    // The control was let go (the window is closing).
    bool IsReleased() const { return released_; }

    void PropertyChanged(Control& control, std::string_view property) override;

    // Called once, just before the control is let go, while its state can still be read.
    std::function<void(RecordWindow&)> releasing;

signals:
    // The control changed, added or removed a row of the working list ("UpdateList" or
    // "RemoveItem").
    void workingListChanged(const QString& event, long id);
    // The user asked for a new record.
    void newItemRequested();
    // The hosting window suspends (false) or resumes (true) drawing of the working list.
    void mainGridRedraw(bool on);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void OnEvent(std::string_view name, const Args& args);
    void Release();

    std::shared_ptr<host::HostWindow> window_;
    ControlPtr control_;
    FormWidget* view_ = nullptr;
    int cookie_ = 0;
    bool agreed_ = false;
    bool released_ = false;
};

} // namespace zelk::view
