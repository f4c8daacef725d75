#pragma once

class QMenu;

namespace zelk {
class Menu;
}

namespace zelk::view {

// The pop-up of a menu's items (for PopupMenu), built when the menu has items; null otherwise.
QMenu* PopupOf(const Menu& menu);

} // namespace zelk::view
