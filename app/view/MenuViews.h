#pragma once

class QMenu;

namespace zelk {
class Menu;
}

namespace zelk::view {

// The pop-up of a menu's items (for PopupMenu), built when the menu has items; null otherwise.
QMenu* PopupOf(const Menu& menu);

// While a pop-up menu runs, its items answer even though the menu they belong to is hidden
// (a menu kept only for pop-ups is invisible in the bar).
class PopupRun {
public:
    PopupRun();
    ~PopupRun();
    PopupRun(const PopupRun&) = delete;
    PopupRun& operator=(const PopupRun&) = delete;
    static bool Active();
};

} // namespace zelk::view
