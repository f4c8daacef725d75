#pragma once

#include "platform/Dispatch.h"
#include "platform/ui/Control.h"
#include "platform/ui/TabControl.h"

#include <string>

namespace zelk::dialogs {

// The keys a window hosting another control answers itself: F1 shows the hosted control's help
// topic (nothing when it has none), F9 the host's system-control entry. Errors are reported
// with the window's caption as title.
void HandleHostedKey(int keyCode, const ControlPtr& hosted, const ObjectPtr& app,
                     CommonDialog& help, const std::string& title);

} // namespace zelk::dialogs
