#include "view/KeyMap.h"

#include "platform/ui/Control.h"

#include <array>
#include <utility>

namespace zelk::view {

namespace {
// Keys whose codes differ between the two worlds.
constexpr std::array<std::pair<int, int>, 17> kKeys{{
    {Qt::Key_Backspace, key::Back},
    {Qt::Key_Tab, key::Tab},
    {Qt::Key_Backtab, key::Tab},
    {Qt::Key_Return, key::Return},
    {Qt::Key_Enter, key::Return},
    {Qt::Key_Escape, key::Escape},
    {Qt::Key_Space, 32},
    {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},
    {Qt::Key_Home, 36},
    {Qt::Key_Left, 37},
    {Qt::Key_Up, 38},
    {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},
    {Qt::Key_Insert, 45},
    {Qt::Key_Delete, key::Delete},
}};
} // namespace

int VbKeyCode(int qtKey) {
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey; // the same codes in both
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return key::F1 + (qtKey - Qt::Key_F1);
    for (auto [q, vb] : kKeys)
        if (q == qtKey) return vb;
    return 0;
}

int VbShift(Qt::KeyboardModifiers m) {
    int shift = 0;
    if (m & Qt::ShiftModifier) shift |= key::ShiftMask;
    if (m & Qt::ControlModifier) shift |= key::CtrlMask;
    if (m & Qt::AltModifier) shift |= key::AltMask;
    return shift;
}

int QtKeyFor(int vb) {
    if ((vb >= 'A' && vb <= 'Z') || (vb >= '0' && vb <= '9')) return vb;
    if (vb >= key::F1 && vb < key::F1 + 12) return Qt::Key_F1 + (vb - key::F1);
    for (auto [q, code] : kKeys)
        if (code == vb) return q;
    return Qt::Key_unknown;
}

} // namespace zelk::view
