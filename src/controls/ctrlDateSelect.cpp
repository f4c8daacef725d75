#include "controls/ctrlDateSelect.h"

#include "platform/Conv.h"
#include "platform/ui/UiDriver.h"

namespace zelk::controls {

ctrlDateSelect::ctrlDateSelect(std::string name) : TextBox(std::move(name), "ctrlDateSelect") {
    DefineProperty("IsValidDate", [this](Args&) { return Variant(IsValidDate()); });
    // Registered first, so the control refuses a bad date before its host's handlers run.
    On("Validate", [this](Args& a) {
        if (IsValidDate()) return;
        Ui().MsgBox("\"" + Text() + "\" is not a valid date.", vb::Exclamation, "");
        a[0] = Variant(true);
    });
}

bool ctrlDateSelect::IsValidDate() const {
    const std::string t = Trim(Text());
    return t.empty() || ParseDate(t).has_value();
}

} // namespace zelk::controls
