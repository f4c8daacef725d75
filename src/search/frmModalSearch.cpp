#include "search/frmModalSearch.h"
#include "dialogs/HostedKeys.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"
#include "platform/ui/UiDriver.h"

namespace zelk::search {

namespace {
constexpr int kHelpContext = 1;
} // namespace

frmModalSearch::frmModalSearch() : Form("frmModalSearch") {
    SetCaption("Search");
    SetKeyPreview(true); // F1 and F9 reach the window before the hosted control
    commonDialog1_ = Add<CommonDialog>("CommonDialog1");
    On("Activate", [this](Args&) {
        if (hosted_) hosted_->SetVisible(true);
    });
    On("KeyDown", [this](Args& a) { OnKeyDown(a); });
    On("QueryUnload", [this](Args& a) { OnQueryUnload(a); });
    On("Unload", [this](Args&) { Release(); });
}

frmModalSearch::~frmModalSearch() {
    if (hosted_ && cookie_) hosted_->Unadvise(cookie_);
}

bool frmModalSearch::InitDialog(const std::string& strProgId, const ObjectPtr& objAppManager,
                                RecordsetPtr& rsTemp, const std::string& strExtraInfo) {
    try {
        retired_.reset();
        app_ = objAppManager;
        if (!app_) Raise(err::ObjectNotSet, "Object variable not set");
        serverType_ = CLng(app_->Call("GetServerType"));
        serverName_ = CStr(app_->Call("GetServerName"));

        // Shown when the window is first activated, as a control added at run time is.
        hosted_ = AddControl(strProgId, "ModalSearch", this);
        hosted_->SetVisible(false);
        cookie_ = hosted_->Advise([this](std::string_view event, Args&) { OnHostedEvent(event); });

        SetWidth(hosted_->Width() + 100);
        SetHeight(hosted_->Height() + 750);
        DoEvents();

        Args init{Variant(app_), Variant(rsTemp), Variant(strExtraInfo)};
        hosted_->Invoke("InitModalSearch", CallKind::Method, init);
        const Variant& back = init[1];
        rsTemp = back.IsObject() ? std::dynamic_pointer_cast<Recordset>(back.Obj()) : nullptr;

        commonDialog1_->SetHelpFile(CStr(app_->Get("HelpFile")));
        commonDialog1_->SetHelpCommand(kHelpContext);
        return true;
    } catch (const ComError& e) {
        Ui().MsgBox(e.Description(), vb::OKOnly, Caption());
        return false;
    } catch (const std::exception& e) {
        Ui().MsgBox(e.what(), vb::OKOnly, Caption());
        return false;
    }
}

Variant frmModalSearch::Forward(std::string_view member, Args args) {
    if (!hosted_) Raise(err::ObjectNotSet, "Object variable or With block variable not set");
    return hosted_->Invoke(member, CallKind::Method, args);
}

void frmModalSearch::UseSelectedRecordset(bool blnUseRecordset) {
    Forward("UseSelectedRecordset", {Variant(blnUseRecordset)});
}

Variant frmModalSearch::SetSelectedItems(std::shared_ptr<Collection>& aCollection) {
    if (!hosted_) Raise(err::ObjectNotSet, "Object variable or With block variable not set");
    Args a{Variant(aCollection)};
    hosted_->Invoke("SetSelectedItems", CallKind::Method, a);
    aCollection = a[0].IsObject() ? std::dynamic_pointer_cast<Collection>(a[0].Obj()) : nullptr;
    return {};
}

void frmModalSearch::SetSingleSelect() {
    try {
        Forward("SetSingleSelect", {});
    } catch (const ComError&) {
        // Not every module's search can be limited to one row.
    }
}

Variant frmModalSearch::SetMutliSelect(bool blnMultiSelect) {
    Forward("SetMutliSelect", {Variant(blnMultiSelect)});
    return {};
}

bool frmModalSearch::GetMutliSelect() {
    return CBool(Forward("GetMultiSelect", {}));
}

Variant frmModalSearch::SetNameType(std::int16_t intNameType, bool blnValue,
                                    const std::string& strValue) {
    if (!strValue.empty())
        Forward("SetNameType", {Variant(intNameType), Variant(blnValue), Variant(strValue)});
    else
        Forward("SetNameType", {Variant(intNameType), Variant(blnValue)});
    return {};
}

Variant frmModalSearch::SetIdEnabled(bool blnEnabled) {
    Forward("SetIdEnabled", {Variant(blnEnabled)});
    return {};
}

void frmModalSearch::OnHostedEvent(std::string_view event) {
    if (!IEquals(event, "quit")) return;
    ++eventDepth_;
    Unload();
    --eventDepth_;
}

void frmModalSearch::OnKeyDown(Args& a) {
    dialogs::HandleHostedKey(static_cast<int>(CLng(Arg(a, 0))), hosted_, app_, *commonDialog1_,
                             Caption());
}

void frmModalSearch::OnQueryUnload(Args& a) {
    if (!hosted_) return;
    try {
        if (!CBool(hosted_->Call("CanClose"))) a[0] = Variant(1);
    } catch (const ComError& e) {
        // A search that cannot answer keeps its window: closing could lose the user's work.
        Ui().MsgBox("An error occurred while closing the search.\n\n" + e.Description(),
                    vb::Exclamation, Caption());
        a[0] = Variant(1);
    }
}

void frmModalSearch::Release() {
    if (hosted_) {
        if (cookie_) hosted_->Unadvise(cookie_);
        cookie_ = 0;
        ControlPtr control = std::move(hosted_);
        RemoveControl(*control);
        if (eventDepth_ > 0) retired_ = std::move(control);
    }
    app_.reset();
}

} // namespace zelk::search
