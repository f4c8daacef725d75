#pragma once

#include "common/ErrorReport.h"
#include "platform/Dispatch.h"
#include "platform/ui/Menu.h"

#include <string>

namespace zelk::editor {

// An event handler that traps run-time errors and reports them with its context message, so
// no failure escapes into the host's event loop.
template <class F> Control::Handler Guarded(const char* context, F f) {
    return [context, f](Args& a) {
        try {
            f(a);
        } catch (const ComError& e) {
            common::ReportError(context, e);
        }
    };
}

// A menu item's handler that acts only while the item itself is enabled, so a toolbar button
// routed to a switched-off item does nothing.
template <class F> Control::Handler WhenEnabled(Menu* m, F f) {
    return [m, f](Args& a) {
        if (m->Enabled()) f(a);
    };
}

} // namespace zelk::editor
