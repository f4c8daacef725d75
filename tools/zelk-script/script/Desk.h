#pragma once

#include "platform/Dispatch.h"
#include "platform/ui/Control.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zelk::host {
class HostWindow;
class ReferenceHost;
} // namespace zelk::host

namespace zelk::script {

// One window of the desk: a hosting window and the module control shown in it.
struct DeskWindow {
    std::shared_ptr<host::HostWindow> window;
    ControlPtr control;
    int cookie = 0;
    bool closed = false;

    bool IsSearch() const;
    // The record on show (GetID); -1 for a search window.
    long RecordId() const;
    std::string Caption() const;
};

// The host's windows without a display. It opens the module's controls in hosting windows
// and initialises them as the workbench does, opens record windows when the window manager
// is asked to, and acts on the controls' events: Quit closes the window, UpdateList and
// RemoveItem tell the other record windows that the working list changed, NewItem opens a
// new record. What the events ask for runs once the user action that raised them has
// returned (Settle), as a window system would run it.
class Desk {
public:
    // `app` is what the controls are handed as their application manager; `notice` hears
    // what happens to the windows as it happens.
    Desk(host::ReferenceHost& host, ObjectPtr app, std::function<void(const std::string&)> notice);
    ~Desk();
    Desk(const Desk&) = delete;
    Desk& operator=(const Desk&) = delete;

    // The search window (the open one when there is one). Null when it could not be opened;
    // the reason is among the notices.
    DeskWindow* OpenSearch();
    // The record's window (the open one when it shows that record already).
    DeskWindow* OpenDetails(long id);
    DeskWindow* NewDetails();
    // Asks the control's CanClose; closes and releases it when it agrees.
    bool Close(DeskWindow& w);
    // Asks every window, newest first; stops at the first that refuses.
    bool CloseAll();

    DeskWindow* Current() const { return current_; }
    void SetCurrent(DeskWindow* w) { current_ = w; }
    // Open windows, oldest first.
    std::vector<DeskWindow*> Windows() const;

    void Settle();

private:
    DeskWindow* Host(const std::string& progId, const std::string& windowName,
                     const std::function<void(DeskWindow&)>& init);
    void OnEvent(DeskWindow* w, std::string_view name, const Args& args);
    void Release(DeskWindow& w);
    void Notice(const std::string& text) {
        if (notice_) notice_(text);
    }

    host::ReferenceHost& host_;
    ObjectPtr app_;
    std::vector<std::unique_ptr<DeskWindow>> windows_;
    DeskWindow* current_ = nullptr;
    std::vector<std::function<void()>> pending_;
    std::function<void(const std::string&)> notice_;
    int serial_ = 0;
};

} // namespace zelk::script
