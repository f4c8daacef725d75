#pragma once

#include <Qt>

namespace zelk::view {

// The model's key code for a Qt key (0 when the model has none), and its shift state.
int VbKeyCode(int qtKey);
int VbShift(Qt::KeyboardModifiers modifiers);
// The Qt key for a model key code (Qt::Key_unknown when none).
int QtKeyFor(int vbKeyCode);

} // namespace zelk::view
