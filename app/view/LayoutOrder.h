#pragma once

#include <vector>

namespace zelk {
class Control;
class Form;
} // namespace zelk

namespace zelk::view {

// The controls of the form that take the focus by Tab, in the order a reader meets them:
// in each container row by row from the top, left to right within a row; a container's
// controls (a frame's, a page's, a user control's) at the container's own place. A tab
// control's pages come in page order.
std::vector<Control*> TabStopsByLayout(const Form& form);

} // namespace zelk::view
