#pragma once

#include "shell/Startup.h"

namespace zelk::view {

// Opens the host on the database (creating it with a progress dialog on first start), shows
// the main window and runs until it closes; or renders the screenshots and returns.
int RunWorkbench(const StartupOptions& options);

} // namespace zelk::view
