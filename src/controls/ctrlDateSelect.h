#pragma once

#include "platform/ui/StdControls.h"

#include <string>

namespace zelk::controls {

// A date field. Text takes any text; leaving the field with text that is neither empty nor a
// date ("yyyy-mm-dd", "m/d/yyyy") shows a message and keeps the focus.
//
// Late-bound members: Text, IsValidDate (Boolean, the current text).
class ctrlDateSelect : public TextBox {
public:
    explicit ctrlDateSelect(std::string name);
    bool IsValidDate() const;
};

} // namespace zelk::controls
