#pragma once

#include "platform/ui/Control.h"

#include <string>
#include <string_view>
#include <vector>

namespace zelk::host::help {

// The help pages built into the program (from docs/help), by file name ("search.html").
std::vector<std::string> PageNames();
// The page's HTML; empty for a page that does not exist. The messages page carries the table
// of every coded message with what to do about it.
std::string PageText(std::string_view name);
// The title of a page, as its <title> gives it.
std::string PageTitle(std::string_view name);

// Help contexts: the number F1 hands the help window for a page.
long TopicOfPage(std::string_view name);
// The page of a help context; the contents page for 0 or one that is unknown.
std::string PageOfTopic(long topic);

// The help context for a control the user is in: the window it belongs to, and within the
// record editor the page on show, or the field with the focus where that has a page of its
// own (coordinates, areas).
long TopicFor(const Control* control);

} // namespace zelk::host::help
