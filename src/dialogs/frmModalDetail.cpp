#include "dialogs/frmModalDetail.h"
#include "dialogs/HostedKeys.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"
#include "platform/ui/UiDriver.h"

namespace zelk::dialogs {

namespace {
constexpr int kHelpContext = 1;
} // namespace

frmModalDetail::frmModalDetail() : Form("frmModalDetail") {
    SetCaption("Modal Details");
    commonDialog1_ = Add<CommonDialog>("CommonDialog1");
    On("Activate", [this](Args&) {
        if (hosted_) hosted_->SetVisible(true);
        SetKeyPreview(true);
    });
    On("KeyDown", [this](Args& a) { OnKeyDown(a); });
    On("QueryUnload", [this](Args& a) { OnQueryUnload(a); });
    On("Unload", [this](Args&) { Release(); });
}

frmModalDetail::~frmModalDetail() {
    if (hosted_ && cookie_) hosted_->Unadvise(cookie_);
}

bool frmModalDetail::InitDialog(const std::string& strProgId, const ObjectPtr& objAppManager,
                                const std::string& strExtraInfo) {
    try {
        SetKeyPreview(false);
        app_ = objAppManager;
        if (!app_) Raise(err::ObjectNotSet, "Object variable not set");
        hosted_ = AddControl(strProgId, "ModalDetail", this);
        hosted_->SetVisible(false);
        cookie_ = hosted_->Advise([this](std::string_view event, Args&) { OnHostedEvent(event); });
        DoEvents();
        SetWidth(hosted_->Width() + 100);
        SetHeight(hosted_->Height() + 750);
        hosted_->Call("InitModalDetails", {Variant(app_), Variant(strExtraInfo)});
        commonDialog1_->SetHelpFile(CStr(app_->Get("HelpFile")));
        commonDialog1_->SetHelpCommand(kHelpContext);
        return true;
    } catch (const std::exception&) {
        // The caller is told by the answer alone; it must not show the window.
        Release();
        if (IsLoaded()) Unload();
        return false;
    }
}

Control& frmModalDetail::Hosted() const {
    if (!hosted_) Raise(err::ObjectNotSet, "Object variable or With block variable not set");
    return *hosted_;
}

void frmModalDetail::LoadData(std::int32_t lngID) {
    Hosted().Call("LoadData", {Variant(lngID)});
}

std::int32_t frmModalDetail::NewData(std::int32_t lngID) {
    return CLng(Hosted().Call("NewData", {Variant(lngID)}));
}

void frmModalDetail::OnHostedEvent(std::string_view event) {
    if (LCase(std::string(event)) == "quit") Hide();
}

void frmModalDetail::OnKeyDown(Args& a) {
    dialogs::HandleHostedKey(static_cast<int>(CLng(Arg(a, 0))), hosted_, app_, *commonDialog1_,
                             Caption());
}

void frmModalDetail::OnQueryUnload(Args& a) {
    if (!hosted_ || !hosted_->Visible()) return;
    try {
        if (!CBool(hosted_->Call("CanClose"))) a[0] = Variant(1);
    } catch (const ComError& e) {
        // Closing on an unanswered question could drop the user's unsaved edits.
        Ui().MsgBox("An error occurred while closing the details.\n\n" + e.Description(),
                    vb::Exclamation, Caption());
        a[0] = Variant(1);
    }
}

void frmModalDetail::Release() {
    if (hosted_) {
        try {
            hosted_->Call("Deactivate");
        } catch (const ComError&) {
            // Releasing goes on whatever the control says.
        }
        if (cookie_) hosted_->Unadvise(cookie_);
        cookie_ = 0;
        ControlPtr control = std::move(hosted_);
        RemoveControl(*control);
    }
    app_.reset();
}

} // namespace zelk::dialogs
