#include "search/frmUserSearchSaveOpen.h"

#include "platform/Collection.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ProgIdRegistry.h"
#include "platform/Strings.h"
#include "platform/ui/UiDriver.h"

namespace zelk::search {

SearchNameBox::SearchNameBox(std::string name) : TextBox(std::move(name)) {
    DefineProperty(
        "BackColor", [this](Args&) { return Variant(static_cast<double>(backColor_)); },
        [this](const Variant& v, Args&) { SetBackColor(static_cast<long>(CDbl(v))); });
}

void SearchNameBox::SetBackColor(long c) {
    if (backColor_ == c) return;
    backColor_ = c;
    NotifyChanged("BackColor");
}

frmUserSearchSaveOpen::frmUserSearchSaveOpen() : Form("frmUserSearchSaveOpen") {
    SetCaption("Save User Search");
    Move(0, 0, 4680, 4140);
    auto lbl = Add<Label>("lblUserSearches");
    lbl->SetCaption("User Searches");
    lbl->Move(120, 120, 4320, 255);
    lstUserSearches_ = Add<ListBox>("lstUserSearches");
    lstUserSearches_->Move(120, 400, 4320, 2400);
    auto lblName = Add<Label>("lblSearchName");
    lblName->SetCaption("Search Name:");
    lblName->Move(120, 2900, 1200, 255);
    txtSearchName_ = Add<SearchNameBox>("txtSearchName");
    txtSearchName_->Move(1380, 2880, 3060, 315);
    cmdSave_ = Add<CommandButton>("cmdSave");
    cmdSave_->SetCaption("Save");
    cmdSave_->Move(2040, 3360, 1140, 375);
    cmdSave_->SetDefault(true);
    cmdCancel_ = Add<CommandButton>("cmdCancel");
    cmdCancel_->SetCaption("Cancel");
    cmdCancel_->Move(3300, 3360, 1140, 375);
    cmdCancel_->SetCancel(true);

    On("Load", [this](Args&) { OnLoad(); });
    lstUserSearches_->On("Click", [this](Args&) { ListClick(); });
    lstUserSearches_->On("DblClick", [this](Args&) {
        ListClick();
        Hide();
    });
    txtSearchName_->On("Change", [this](Args&) {
        if (mode_ == 1) cmdSave_->SetEnabled(!Trim(txtSearchName_->Text()).empty());
    });
    cmdSave_->On("Click", [this](Args&) { Hide(); });
    cmdCancel_->On("Click", [this](Args&) {
        cancelled_ = true;
        Hide();
    });
    // Closing the window is cancelling it.
    On("QueryUnload", [this](Args& a) {
        if (CLng(Arg(a, 1)) == 0) cancelled_ = true;
    });
}

bool frmUserSearchSaveOpen::Init(const std::string& categoryName, int mode,
                                 const ObjectPtr& appManager) {
    category_ = categoryName;
    mode_ = mode;
    if (!appManager) Raise(err::ObjectNotSet, "Object variable not set: no application manager");
    userId_ = CLng(appManager->Call("GetUserID"));
    serverName_ = CStr(appManager->Call("GetServerName"));
    serverType_ = CLng(appManager->Call("GetServerType"));
    return true;
}

void frmUserSearchSaveOpen::OnLoad() {
    cancelled_ = false;
    struct ModeLook {
        const char* caption;
        const char* button;
        bool locked;
    };
    static const ModeLook looks[] = {{"Save User Search", "Save", false},
                                     {"Open User Search", "Open", true},
                                     {"Delete User Search", "Delete", true}};
    if (mode_ >= 1 && mode_ <= 3) {
        const ModeLook& look = looks[mode_ - 1];
        SetCaption(look.caption);
        cmdSave_->SetCaption(look.button);
        txtSearchName_->SetLocked(look.locked);
        txtSearchName_->SetBackColor(look.locked ? syscolor::ButtonFace
                                                 : syscolor::WindowBackground);
        cmdSave_->SetEnabled(false);
    }
    FillList();
}

void frmUserSearchSaveOpen::FillList() {
    try {
        ObjectPtr opts = CreateObject("ClientFramework.ComponentCollection");
        opts->Call("Initialize", {Variant("ZELK_UserOptClient.UserOptClient"), Variant(serverName_),
                                  Variant(serverType_)});
        auto params = std::make_shared<Collection>();
        params->Add(Variant(category_));
        params->Add(Variant(std::to_string(userId_)));
        if (!CBool(opts->Call("Load", {Variant("CATEGORY_OPTIONS"), Variant(params), Variant(-1),
                                       Variant(-1), Variant(-1)})))
            Raise(err::ProviderError, "The option store could not be read");
        const long n = CLng(opts->Get("Count"));
        for (long i = 1; i <= n; ++i)
            lstUserSearches_->AddItem(
                CStr(RequireObject(opts->Call("Item", {Variant(static_cast<int>(i))}))
                         ->Get("OptionName")));
        opts->Call("Release");
    } catch (const ComError& e) {
        Ui().MsgBox("Unable to save default settings: " + e.Description(), vb::Exclamation, "");
    }
}

void frmUserSearchSaveOpen::ListClick() {
    const int i = lstUserSearches_->ListIndex();
    if (i >= 0) {
        txtSearchName_->SetText(lstUserSearches_->List(i));
        if (mode_ == 2 || mode_ == 3) cmdSave_->SetEnabled(true);
    } else if (mode_ == 2 || mode_ == 3) {
        cmdSave_->SetEnabled(false);
    }
}

} // namespace zelk::search
