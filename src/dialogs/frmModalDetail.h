#pragma once

#include "platform/ui/Form.h"
#include "platform/ui/TabControl.h"

#include <cstdint>
#include <memory>
#include <string>

namespace zelk::dialogs {

// A modal window around any module's details control, created by programmatic identifier,
// so that one record's editor can be shown in a window of its own.
//
// Typical use: InitDialog (do not show the window when it answers false: it has unloaded
// itself), LoadData with an ID or NewData with -1, Show(true), Unload.
class frmModalDetail : public Form {
public:
    frmModalDetail();
    ~frmModalDetail() override;

    // Creates the control under the name "ModalDetail", sizes the window around it and starts
    // it with InitModalDetails. On failure the window unloads itself and answers false.
    bool InitDialog(const std::string& strProgId, const ObjectPtr& objAppManager,
                    const std::string& strExtraInfo);
    // Passed on to the hosted control; its errors reach the caller.
    void LoadData(std::int32_t lngID);
    std::int32_t NewData(std::int32_t lngID);

    // The control added by InitDialog; null before and after unload.
    const ControlPtr& HostedControl() const { return hosted_; }
    CommonDialog& CommonDialog1() { return *commonDialog1_; }

private:
    Control& Hosted() const;
    void OnHostedEvent(std::string_view event);
    void OnKeyDown(Args& a);
    void OnQueryUnload(Args& a);
    void Release();

    std::shared_ptr<CommonDialog> commonDialog1_;
    ObjectPtr app_;
    ControlPtr hosted_;
    int cookie_ = 0;
};

} // namespace zelk::dialogs
