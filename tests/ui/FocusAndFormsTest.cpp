#include "support/ScriptedUi.h"

#include "platform/Conv.h"
#include "platform/ProgIdRegistry.h"
#include "platform/ui/ControlRegistry.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TabControl.h"

#include <string>
#include <vector>

namespace zelk {
namespace {

using FormsTest = testing::ScriptedUiTest;
using testing::ErrorOf;

// Records the events of the controls it is attached to, as "name:event".
struct EventLog {
    std::vector<std::string> seen;
    void Watch(Control& c, std::initializer_list<const char*> events) {
        for (const char* e : events)
            c.On(e,
                 [this, &c, ev = std::string(e)](Args&) { seen.push_back(c.Name() + ":" + ev); });
    }
};

struct Recorder : ControlObserver {
    std::vector<std::string> changes;
    void PropertyChanged(Control& c, std::string_view p) override {
        changes.push_back(c.Name() + "." + std::string(p));
    }
};

TEST_F(FormsTest, ValidateCancelKeepsTheFocusAndEventsComeInOrder) {
    auto form = std::make_shared<Form>("frmTest");
    auto txtA = form->Add<TextBox>("txtA");
    auto txtB = form->Add<TextBox>("txtB");
    auto lbl = form->Add<Label>("lblA");
    EventLog log;
    log.Watch(*txtA, {"GotFocus", "LostFocus", "Validate", "Change"});
    log.Watch(*txtB, {"GotFocus", "LostFocus", "Validate"});
    bool refuse = true;
    txtA->On("Validate", [&](Args& a) { a[0] = refuse; });

    EXPECT_TRUE(txtA->UserType("abc"));
    EXPECT_EQ(form->ActiveControl(), txtA.get());
    EXPECT_FALSE(txtB->SetFocus()) << "Validate cancelled: the focus stays";
    EXPECT_TRUE(txtA->HasFocus());
    refuse = false;
    EXPECT_TRUE(txtB->SetFocus());
    EXPECT_EQ(form->ActiveControl(), txtB.get());
    EXPECT_EQ(log.seen,
              (std::vector<std::string>{"txtA:GotFocus", "txtA:Change", "txtA:Validate",
                                        "txtA:Validate", "txtA:LostFocus", "txtB:GotFocus"}));

    // Labels, hidden and disabled controls cannot take the focus.
    EXPECT_NE(ErrorOf([&] { lbl->SetFocus(); }), 0);
    txtA->SetEnabled(false);
    EXPECT_NE(ErrorOf([&] { txtA->SetFocus(); }), 0);
    EXPECT_FALSE(txtA->UserType("x"));
    txtB->SetLocked(true);
    EXPECT_FALSE(txtB->UserType("x"));
    EXPECT_EQ(txtB->Text(), "");
}

TEST_F(FormsTest, UserControlsNestFocusAndFixTheirSize) {
    auto host = std::make_shared<Form>("frmHost");
    auto fra = host->Add<Frame>("fraOuter");
    auto uc = host->Add<UserControl>("ctlInner", fra.get());
    auto inner = uc->Add<TextBox>("txtInner");
    auto outer = host->Add<TextBox>("txtOuter");
    Recorder rec;
    host->AddObserver(&rec);

    inner->SetText("x");
    EXPECT_EQ(rec.changes, (std::vector<std::string>{"txtInner.Text"})) << "changes bubble up";
    EXPECT_TRUE(inner->SetFocus());
    EXPECT_EQ(host->ActiveControl(), uc.get());
    EXPECT_EQ(uc->ActiveControl(), inner.get());
    EXPECT_EQ(host->FocusedControl(), inner.get());
    EXPECT_TRUE(outer->SetFocus());
    EXPECT_EQ(uc->ActiveControl(), nullptr);
    fra->SetVisible(false);
    EXPECT_FALSE(inner->IsShowing());

    uc->SetFixedSize(12090, 8430);
    uc->SetWidth(5000);
    uc->SetHeight(100);
    EXPECT_EQ(uc->Width(), 12090);
    EXPECT_EQ(uc->Height(), 8430);
    host->RemoveObserver(&rec);
}

TEST_F(FormsTest, ModalShowReturnsWhenTheScriptHidesTheForm) {
    auto dlg = std::make_shared<Form>("frmPick");
    auto cmdOK = dlg->Add<CommandButton>("cmdOK");
    std::string picked;
    cmdOK->On("Click", [&](Args&) {
        picked = "ok";
        dlg->Hide();
    });
    int loads = 0;
    dlg->On("Load", [&](Args&) { ++loads; });
    ui->QueueModal("frmPick", [](Form& f) { f.Get<CommandButton>("cmdOK").UserClick(); });
    dlg->Show(true);
    EXPECT_EQ(picked, "ok");
    EXPECT_FALSE(dlg->Visible());
    EXPECT_FALSE(dlg->IsModal());

    // Unload can be refused by QueryUnload; Load runs again after a real unload.
    bool keep = true;
    dlg->On("QueryUnload", [&](Args& a) { a[0] = keep ? 1 : 0; });
    EXPECT_FALSE(dlg->Unload());
    EXPECT_TRUE(dlg->IsLoaded());
    keep = false;
    EXPECT_TRUE(dlg->Unload());
    ui->QueueModal("", [](Form& f) { f.Unload(); });
    dlg->Show(true);
    EXPECT_EQ(loads, 2);
    EXPECT_EQ(ui->Log().size(), 2u);
    EXPECT_EQ(ui->Log()[0].kind, "Modal");
}

TEST_F(FormsTest, ScriptedDriverAnswersInOrderAndFailsLoudlyWhenAnAnswerIsMissing) {
    ui->QueueAnswer(vb::No);
    EXPECT_EQ(Ui().MsgBox("Save changes?", vb::YesNoCancel | vb::Question, "MA"), vb::No);
    EXPECT_EQ(Ui().MsgBox("Saved.", vb::OKOnly | vb::Information, "MA"), vb::OK)
        << "an OK-only box needs no queued answer";
    ASSERT_NE(ui->LastMessage(), nullptr);
    EXPECT_EQ(ui->LastMessage()->flags, vb::Information);
    EXPECT_EQ(ui->Messages(), (std::vector<std::string>{"Save changes?", "Saved."}));

    // A missing answer is reported and answered with Cancel; a form left open is closed.
    std::vector<std::string> failures;
    ui->SetFailureHandler([&](const std::string& w) { failures.push_back(w); });
    EXPECT_EQ(Ui().MsgBox("Delete?", vb::OKCancel, ""), vb::Cancel);
    auto f = std::make_shared<Form>("frmStuck");
    ui->QueueModal("frmStuck", [](Form&) {});
    f->Show(true);
    EXPECT_FALSE(f->Visible());
    EXPECT_EQ(failures.size(), 2u);
    EXPECT_EQ(ui->Failures().size(), 2u);
}

TEST_F(FormsTest, ControlsAddedByProgIdAreReachableByName) {
    RegisterControls(ProgIdRegistry::Instance());
    auto form = std::make_shared<Form>("frmRuntime");
    auto tab = form->Add<vaTabPro>("tabMain");
    tab->SetTabCount(2);
    ControlPtr added = form->AddControl("VB.TextBox", "txtAdded", tab.get());
    added->SetTabPage(1);
    EXPECT_EQ(form->Find("TXTADDED"), added.get());
    EXPECT_EQ(added->Container(), tab.get());
    EXPECT_FALSE(added->IsShowing()) << "page 1 is not current";
    tab->SetActiveTab(1);
    EXPECT_TRUE(added->IsShowing());
    EXPECT_EQ(ErrorOf([&] { form->AddControl("VB.TextBox", "txtAdded"); }),
              err::InvalidProcedureCall);
    EXPECT_EQ(ErrorOf([&] { form->AddControl("No.Such", "x"); }), err::CannotCreateObject);

    // Security walks the controls late-bound and locks them by name.
    ObjectPtr controls = form->ControlsObject();
    int n = CLng(controls->Get("Count"));
    ASSERT_EQ(n, 2);
    for (int i = 0; i < n; ++i) {
        ObjectPtr c = RequireObject(controls->Call("Item", {Variant(i)}));
        if (CStr(c->Get("Name")) == "txtAdded") c->Let("Locked", Variant(true));
    }
    EXPECT_TRUE(added->Locked());
    RequireObject(controls->Call("Item", {Variant("txtAdded")}))->Let("Text", Variant("typed"));
    EXPECT_EQ(static_cast<TextBox&>(*added).Text(), "typed");
    EXPECT_EQ(ErrorOf([&] { added->Get("NoSuchMember"); }), err::MemberNotFound);
}

TEST_F(FormsTest, TabSwitchCanBeCancelledAndCheckAndOptionValuesRaiseClick) {
    auto form = std::make_shared<Form>("frmTabs");
    auto tab = form->Add<vaTabPro>("tabPages");
    tab->SetTabCount(3);
    tab->SetTabEnabled(2, false);
    std::vector<int> clicks;
    bool cancel = false;
    tab->On("BeforeSwitch", [&](Args& a) { a[2] = cancel; });
    tab->On("Click", [&](Args& a) { clicks.push_back(CLng(a[0])); });
    EXPECT_TRUE(tab->UserSelectTab(1));
    EXPECT_FALSE(tab->UserSelectTab(2)) << "disabled tab";
    cancel = true;
    EXPECT_FALSE(tab->UserSelectTab(0));
    EXPECT_EQ(tab->ActiveTab(), 1);
    EXPECT_EQ(clicks, (std::vector<int>{1}));

    auto chk = form->Add<CheckBox>("chkY");
    auto opt1 = form->Add<OptionButton>("optA");
    auto opt2 = form->Add<OptionButton>("optB");
    int chkClicks = 0;
    chk->On("Click", [&](Args&) { ++chkClicks; });
    chk->SetValue(1);
    chk->UserClick();
    EXPECT_EQ(chk->Value(), 0);
    EXPECT_EQ(chkClicks, 2);
    EXPECT_NE(ErrorOf([&] { chk->SetValue(3); }), 0);
    opt1->UserClick();
    opt2->UserClick();
    EXPECT_FALSE(opt1->Value());
    EXPECT_TRUE(opt2->Value());
}

} // namespace
} // namespace zelk
