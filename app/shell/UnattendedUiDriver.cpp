#include "shell/UnattendedUiDriver.h"

#include "platform/ui/Form.h"

#include <iostream>

namespace zelk::view {

int UnattendedUiDriver::MsgBox(const std::string& prompt, int flags, const std::string& title) {
    int answer = MsgBoxAnswer(MsgBoxDefault(flags));
    std::cerr << "message (" << title << "): " << prompt << " -> " << answer << '\n';
    return answer;
}

std::string UnattendedUiDriver::InputBox(const std::string& prompt, const std::string&,
                                         const std::string&) {
    std::cerr << "input box: " << prompt << " -> cancelled\n";
    return {};
}

void UnattendedUiDriver::ShowModal(Form& form) {
    std::cerr << "modal form " << form.Name() << " closed unattended\n";
    form.Hide();
}

void UnattendedUiDriver::PopupMenu(Form&, Control&, long, long) {}

void UnattendedUiDriver::ShowHelp(const std::string&, int, long) {}

// Nobody is there to press Print.
void UnattendedUiDriver::PrintReport(const ReportDocument& document) {
    last_ = std::make_unique<ReportDocument>(document);
}

} // namespace zelk::view
