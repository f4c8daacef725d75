#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zelk {
class Control;
class Form;
class Menu;
class VSFlexGrid;
} // namespace zelk

namespace zelk::script {

// A control of the form or of any user control inside it, by name ("optState(1)" names a
// member of a control array); null when there is none.
Control* FindControl(Form& root, std::string_view name);
// The control whose caption reads `caption` (access-key marker and a trailing "..." ignored,
// case-insensitive), preferring one that is on show; buttons, check and option boxes only.
Control* FindByCaption(Form& root, std::string_view caption);
// The menu item at the end of a path of captions: "File>Save", "Edit>Goto>Next Record".
Menu* FindMenu(Form& root, std::string_view path);

// The grid a control shows: the control itself, or the grid inside one of the maker's grid
// controls (a bound edit grid, the element grid). Null when there is none.
VSFlexGrid* GridOf(Control& c);

// A caption as the user reads it: without its access-key marker.
std::string PlainCaption(std::string_view caption);
// The text the user sees in the control: a box's or combo's text, a caption, a check box's
// value (0, 1, 2), the current cell of a grid, the current page of a tab control.
std::string SeenText(Control& c);
// A description of the control as the user sees it, for print: grids as their rows, tab
// controls as their pages, lists with their entries; states that differ from the default.
std::string Describe(Control& c);
// The states that differ from the default: " hidden", " disabled", " locked", " focus".
std::string States(Control& c);
// The names of controls of the window whose name starts like `name`, to suggest.
std::vector<std::string> SimilarNames(Form& root, std::string_view name);

} // namespace zelk::script
