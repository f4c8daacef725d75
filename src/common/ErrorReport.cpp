#include "common/ErrorReport.h"

#include "platform/ui/Form.h"
#include "platform/ui/UiDriver.h"

namespace zelk::common {

void ReportError(const std::string& context, const ComError& e, const std::string& separator) {
    Screen::Instance().SetMousePointer(mouse::Default);
    Ui().MsgBox(context + separator + e.Description(), vb::Exclamation, kModuleTitle);
}

void ReportError(const std::string& context, const std::exception& e,
                 const std::string& separator) {
    Screen::Instance().SetMousePointer(mouse::Default);
    Ui().MsgBox(context + separator + e.what(), vb::Exclamation, kModuleTitle);
}

} // namespace zelk::common
