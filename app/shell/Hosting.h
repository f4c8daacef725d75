#pragma once

#include "platform/ui/Control.h"

#include <memory>
#include <string>

namespace zelk::host {
class HostWindow;
class ReferenceHost;
} // namespace zelk::host

namespace zelk::view {

inline constexpr const char* kDetailsProgId = "ZELK_ManagedArea.ManagedAreaDetails";
inline constexpr const char* kSearchProgId = "ZELK_ManagedArea.ManagedAreaSearch";

// A module control created by its programmatic identifier inside a new hosting window of the
// model, sized to the control.
struct HostedControl {
    std::shared_ptr<host::HostWindow> window;
    ControlPtr control;
};

// Null control when nothing is registered under the identifier yet.
HostedControl CreateHosted(const std::string& progId, const std::string& windowName);

// The framed initialisations: the host's working list, application manager, view, window
// manager and views; then the record to show (LoadData), or a new one (NewData, id < 0).
void InitDetailsWindow(HostedControl& hosted, host::ReferenceHost& host, long id);
void InitSearchWindow(HostedControl& hosted, host::ReferenceHost& host);

} // namespace zelk::view
