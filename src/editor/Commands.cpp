// The editor's menus and toolbar, the clipboard and text commands, a new record and copying the
// data of another managed area into this one.
#include "editor/EventSupport.h"
#include "editor/HostCalls.h"
#include "platform/Collection.h"
#include "platform/Conv.h"
#include "platform/Strings.h"
#include "platform/ui/UiDriver.h"
#include "search/frmModalSearch.h"
#include "zelk/ManagedAreaDetails.h"

namespace zelk::editor {

namespace {
constexpr long kPopupX = 480;
constexpr long kPopupY = 370;

std::string DescriptionOf(const std::exception& e) {
    if (auto* com = dynamic_cast<const ComError*>(&e)) return com->Description();
    return e.what();
}
} // namespace

void ManagedAreaDetails::ClipboardCommand(const char* richMember, const char* keys) {
    Control* active = ActiveControl();
    if (!active) return;
    if (active->TypeName() == "RichTextControl")
        active->Call(richMember);
    else if (active->TypeName() == "TextBox")
        Ui().SendKeys(keys);
}

void ManagedAreaDetails::CopyToClipboard() {
    ClipboardCommand("DoCopy", "^C");
}
void ManagedAreaDetails::CutToClipboard() {
    ClipboardCommand("DoCut", "^X");
}
void ManagedAreaDetails::PasteFromClipboard() {
    ClipboardCommand("DoPaste", "^V");
}

void ManagedAreaDetails::OpenTextEditor() {
    ObjectPtr active = ActiveControlObject();
    if (!active) return;
    const std::string type = active->TypeName();
    if (type == "RichTextControl") {
        Form* host = TopForm();
        active->Let("ParentForm", Variant(host ? host->shared_from_this() : ObjectPtr()));
        active->Call("LaunchEditor", {active->Get("Tag")});
    } else if (type == "VSFlexGrid") {
        CallHost(appManager_, "PopupEdit", {Variant(active)});
    } else if (type == "ctrlBindGrid") {
        CallHost(appManager_, "PopupEdit", {active->Get("Grid")});
    } else if (type == "ctrlAdoGrid") {
        ObjectPtr inner = RequireObject(active->Get("object"));
        CallHost(appManager_, "PopupEdit", {inner->Get("Grid")});
    }
}

void ManagedAreaDetails::SpellCheckActiveControl() {
    Control* active = ActiveControl();
    if (active && active->TypeName() == "RichTextControl") active->Call("CheckSpelling");
}

void ManagedAreaDetails::NewRecord() {
    if (!CanClose()) return;
    try {
        Screen::Instance().SetMousePointer(mouse::Hourglass);
        ShowWaitMessage(true, WaitPleaseWait);
        loading_ = true;
        closing_ = false;
        ResetTabs();
        ClearControls();
        // The same new objects, defaults and first page as a new record the host asks for.
        NewData(-1);
        const std::string position =
            std::to_string((workingList_ ? workingList_->RecordCount() : 0) + 1);
        lblTotalRecords->SetCaption(position);
        txtCurrentRecord->SetText(position);
    } catch (const std::exception& e) {
        loading_ = false;
        ShowWaitMessage(false);
        Screen::Instance().SetMousePointer(mouse::Default);
        DisplayMessage("MGA006", {Variant(DescriptionOf(e))});
    }
}

void ManagedAreaDetails::CopyFromManagedArea() {
    std::shared_ptr<search::frmModalSearch> dlg;
    auto finish = [this, &dlg] {
        if (dlg) dlg->Unload();
        dlg.reset();
        ShowWaitMessage(false);
        Screen::Instance().SetMousePointer(mouse::Default);
    };
    try {
        if (RecordIsModified()) {
            // The copy lands in the stored record, so what is on screen must be stored first.
            bool saved = CLng(DisplayMessage("APP029")) == vb::OK && SaveData();
            if (!saved) {
                DisplayMessage("APP028");
                return;
            }
            modified_ = false;
        }
        dlg = std::make_shared<search::frmModalSearch>();
        RecordsetPtr none;
        dlg->InitDialog("ZELK_ManagedArea.ManagedAreaSearch", appManager_, none, "");
        dlg->SetIcon(HostIcon());
        auto selected = std::make_shared<Collection>();
        dlg->SetSelectedItems(selected);
        dlg->Show(true);
        if (selected && selected->Count() >= 1 && CLng(DisplayMessage("APP027")) == vb::Yes) {
            Screen::Instance().SetMousePointer(mouse::Hourglass);
            ShowWaitMessage(true, WaitCopying);
            long source = CLng(selected->Item(Variant(1)));
            bool copied =
                CBool(CallHost(appManager_, "Copy",
                               {Variant(std::string("COPY_MA")), Variant(static_cast<int>(source)),
                                Variant(static_cast<int>(currentId_)), Variant(UserName())}));
            if (copied) {
                // A modal editor has no list to walk; it reads its record again directly.
                if (workingList_)
                    GotoRecord(txtCurrentRecord->Text());
                else
                    LoadData(currentId_);
                Args id{Variant(static_cast<int>(currentId_))};
                RaiseEvent("UpdateList", id);
            }
            ShowWaitMessage(false);
            Screen::Instance().SetMousePointer(mouse::Default);
        }
        finish();
    } catch (const std::exception& e) {
        finish();
        DisplayMessage("APP036", {Variant(DescriptionOf(e))});
    }
}

void ManagedAreaDetails::WireCommandEvents() {
    auto onMenu = [](Menu* m, const char* context, auto f) {
        m->On("Click", Guarded(context, WhenEnabled(m, [f](Args&) { f(); })));
    };
    onMenu(mnuFileNew, "An error occurred while starting a new record.", [this] { NewRecord(); });
    onMenu(mnuFileSave, "An error occurred while saving the record.", [this] { SaveData(); });
    onMenu(mnuFilePrint, "An error occurred while printing the record.", [this] { PrintRecord(); });
    mnuFileClose->On("Click", WhenEnabled(mnuFileClose, [this](Args&) { RaiseEvent("Quit"); }));
    onMenu(mnuEditCut, "An error occurred while cutting.", [this] { CutToClipboard(); });
    onMenu(mnuEditCopy, "An error occurred while copying.", [this] { CopyToClipboard(); });
    onMenu(mnuEditPaste, "An error occurred while pasting.", [this] { PasteFromClipboard(); });
    mnuToolsCopy->On("Click", Guarded("An error occurred while copying data.",
                                      [this](Args&) { CopyFromManagedArea(); }));
    onMenu(mnuToolsTextEditor, "An error occurred while opening the text editor.",
           [this] { OpenTextEditor(); });
    onMenu(mnuToolsSpellCheck, "An error occurred while checking the spelling.",
           [this] { SpellCheckActiveControl(); });
    mnuHelpZELKHelp->On("Click", [](Args&) { Ui().SendKeys("{F1}"); });
    mnuHelpAbout->On("Click", Guarded("An error occurred while showing the About box.",
                                      [this](Args&) { CallHost(appManager_, "ShowAbout"); }));
    WireRelatedEvents();

    auto popupOpen = [this] { PopupMenu(*this, *mnuFileOpen, kPopupX, kPopupY); };
    const char* toolbar = "An error occurred in the toolbar.";
    tbManagedAreas->On(
        "ButtonClick", Guarded(toolbar, [this, popupOpen](Args& a) {
            std::string key = CStr(RequireObject(Arg(a, 0))->Get("Key"));
            if (IEquals(key, "Open")) return popupOpen();
            static const std::pair<const char*, Menu * ManagedAreaDetails::*> routes[] = {
                {"New", &ManagedAreaDetails::mnuFileNew},
                {"Save", &ManagedAreaDetails::mnuFileSave},
                {"Print", &ManagedAreaDetails::mnuFilePrint},
                {"Cut", &ManagedAreaDetails::mnuEditCut},
                {"Copy", &ManagedAreaDetails::mnuEditCopy},
                {"Paste", &ManagedAreaDetails::mnuEditPaste},
                {"Delete", &ManagedAreaDetails::mnuEditDelete},
                {"Find", &ManagedAreaDetails::mnuToolsFind},
                {"Goto", &ManagedAreaDetails::mnuEditGotoRecord},
                {"View Shape", &ManagedAreaDetails::mnuToolsViewShape},
                {"TextEditor", &ManagedAreaDetails::mnuToolsTextEditor},
                {"SpellCheck", &ManagedAreaDetails::mnuToolsSpellCheck},
                {"Help", &ManagedAreaDetails::mnuHelpZELKHelp}};
            for (const auto& [k, menu] : routes)
                if (IEquals(key, k)) return (this->*menu)->UserClick();
        }));
    tbManagedAreas->On("ButtonDropDown", Guarded(toolbar, [popupOpen](Args& a) {
                           if (LCase(CStr(RequireObject(Arg(a, 0))->Get("Key"))) == "open")
                               popupOpen();
                       }));
}

} // namespace zelk::editor
