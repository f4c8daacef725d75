#pragma once

#include "platform/ReportDocument.h"
#include "view/QtUiDriver.h"

#include <memory>

namespace zelk::view {

// For runs nobody watches (screenshots): every question gets its default answer and is
// printed to standard error; modal forms are closed at once.
class UnattendedUiDriver : public QtUiDriver {
public:
    int MsgBox(const std::string& prompt, int flags, const std::string& title) override;
    std::string InputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;
    void ShowModal(Form& form) override;
    void PopupMenu(Form& form, Control& menu, long x, long y) override;
    void ShowHelp(const std::string& helpFile, int command, long context) override;
    // Kept, not shown: the screenshots render it.
    void PrintReport(const ReportDocument& document) override;
    const ReportDocument* LastReport() const { return last_.get(); }

private:
    std::unique_ptr<ReportDocument> last_;
};

} // namespace zelk::view
