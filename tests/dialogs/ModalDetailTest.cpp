#include "DialogsFixture.h"
#include "support/TestBackend.h"

#include "dialogs/frmModalDetail.h"
#include "host/ReferenceHost.h"

namespace zelk::testing {
namespace {

using dialogs::frmModalDetail;

const std::vector<std::string> kDetailMembers = {"InitModalDetails", "LoadData", "NewData",
                                                 "CanClose", "Deactivate"};

class ModalDetailTest : public DialogsTest {
protected:
    void SetUp() override {
        DialogsTest::SetUp();
        RegisterControl("ZELKTest.RecordingDetails", 11000, 8000, kDetailMembers);
    }
};

TEST_F(ModalDetailTest, HostsTheDetailsControlSizedAroundItAndPassesRecordsOn) {
    auto dlg = std::make_shared<frmModalDetail>();
    dlg->SetKeyPreview(true);
    ASSERT_TRUE(dlg->InitDialog("ZELKTest.RecordingDetails", app, "extra"));
    auto ctl = created.back();
    EXPECT_FALSE(dlg->KeyPreview()) << "keys reach the window only once it is shown";
    EXPECT_EQ(dlg->Width(), 11100);
    EXPECT_EQ(dlg->Height(), 8750);
    EXPECT_EQ(dlg->Find("ModalDetail"), ctl.get());
    auto init = ctl->CallsOf("InitModalDetails");
    ASSERT_EQ(init.size(), 1u);
    ASSERT_EQ(init[0].args.size(), 2u);
    EXPECT_EQ(init[0].args[0].Obj(), app);
    EXPECT_EQ(CStr(init[0].args[1]), "extra");
    EXPECT_EQ(dlg->CommonDialog1().HelpFile(), "wayfold.hlp");
    EXPECT_EQ(dlg->CommonDialog1().HelpCommand(), 1);

    dlg->LoadData(42);
    ASSERT_EQ(ctl->CallsOf("LoadData").size(), 1u);
    EXPECT_EQ(CLng(ctl->CallsOf("LoadData")[0].args[0]), 42);
    EXPECT_EQ(dlg->NewData(-1), -7) << "the control's answer, as a 32-bit number";
    EXPECT_EQ(CLng(ctl->CallsOf("NewData")[0].args[0]), -1);
    ctl->failOn = "LoadData";
    EXPECT_THROW(dlg->LoadData(1), ComError) << "the control's errors reach the caller";

    // F1 without a topic keeps the context 0 and shows nothing; F9 opens the system entry.
    ui->QueueModal("frmModalDetail", [&](Form& f) {
        EXPECT_TRUE(f.KeyPreview());
        EXPECT_TRUE(ctl->Visible());
        f.UserKeyDownFocused(112);
        EXPECT_EQ(dlg->CommonDialog1().HelpContext(), 0);
        app->helpTopic = 12;
        f.UserKeyDownFocused(112);
        f.UserKeyDownFocused(120);
        ctl->RaiseEvent("Cancel");
        EXPECT_TRUE(f.Visible());
        ctl->RaiseEvent("QuIt");
        EXPECT_FALSE(f.Visible());
        EXPECT_TRUE(f.IsLoaded()) << "Quit hides; the caller unloads";
    });
    dlg->Show(true);
    std::vector<std::string> help;
    for (const auto& e : ui->Log())
        if (e.kind == "Help") help.push_back(e.title);
    EXPECT_EQ(help, std::vector<std::string>{"12"});
    ASSERT_EQ(app->systemEntries.size(), 1u);
    EXPECT_EQ(app->systemEntries[0], ctl.get());

    // The hidden control is not asked; unloading deactivates and releases it.
    EXPECT_TRUE(ctl->Visible());
    ctl->SetVisible(false);
    ctl->canClose = false;
    EXPECT_TRUE(dlg->Unload());
    EXPECT_TRUE(ctl->CallsOf("CanClose").empty());
    EXPECT_EQ(ctl->CallsOf("Deactivate").size(), 1u);
    EXPECT_EQ(dlg->HostedControl(), nullptr);
    EXPECT_EQ(dlg->Find("ModalDetail"), nullptr);
}

TEST_F(ModalDetailTest, TheCloseBoxWaitsForCanCloseAndAFailedInitUnloads) {
    auto dlg = std::make_shared<frmModalDetail>();
    ASSERT_TRUE(dlg->InitDialog("ZELKTest.RecordingDetails", app, ""));
    auto ctl = created.back();
    ctl->canClose = false;
    ui->QueueModal("frmModalDetail", [&](Form& f) {
        EXPECT_FALSE(f.Unload(0));
        EXPECT_TRUE(f.Visible());
        ctl->canClose = true;
        EXPECT_TRUE(f.Unload(0));
    });
    dlg->Show(true);
    EXPECT_EQ(ctl->CallsOf("CanClose").size(), 2u);
    EXPECT_EQ(ctl->CallsOf("Deactivate").size(), 1u);
    EXPECT_FALSE(dlg->IsLoaded());

    // A control that fails to start leaves no window and no message.
    RegisterControl("ZELKTest.BrokenDetails", 5000, 5000, kDetailMembers);
    ProgIdRegistry::Instance().Register("ZELKTest.BrokenDetails", [&] {
        auto c = std::make_shared<RecordingControl>(5000, 5000, kDetailMembers);
        c->failOn = "InitModalDetails";
        created.push_back(c);
        return c;
    });
    auto broken = std::make_shared<frmModalDetail>();
    broken->Load();
    EXPECT_FALSE(broken->InitDialog("ZELKTest.BrokenDetails", app, ""));
    EXPECT_FALSE(broken->IsLoaded());
    EXPECT_EQ(broken->HostedControl(), nullptr);
    EXPECT_EQ(created.back()->CallsOf("Deactivate").size(), 1u);
    auto unknown = std::make_shared<frmModalDetail>();
    EXPECT_FALSE(unknown->InitDialog("ZELK_Nowhere.NoDetails", app, ""));
    EXPECT_TRUE(ui->Messages().empty());
}

} // namespace
} // namespace zelk::testing

namespace zelk::testing {
namespace {

using ModalDetailEditorTest = ScriptedUiTest;

TEST_F(ModalDetailEditorTest, HostsTheRecordEditor) {
    auto host = host::ReferenceHost::Open(zelk::testing::OnTestBackend(host::HostOptions{}));
    auto dlg = std::make_shared<dialogs::frmModalDetail>();
    ASSERT_TRUE(dlg->InitDialog("ZELK_ManagedArea.ManagedAreaDetails", host->App(), ""));
    ASSERT_TRUE(dlg->HostedControl());
    EXPECT_EQ(dlg->Width(), dlg->HostedControl()->Width() + 100);
    EXPECT_EQ(dlg->Height(), dlg->HostedControl()->Height() + 750);
    ui->QueueModal("frmModalDetail", [&](Form& f) {
        EXPECT_TRUE(dlg->HostedControl()->Visible());
        dlg->HostedControl()->RaiseEvent("Quit");
        EXPECT_FALSE(f.Visible());
    });
    dlg->Show(true);
    EXPECT_TRUE(dlg->Unload());
    EXPECT_EQ(dlg->HostedControl(), nullptr);
}

} // namespace
} // namespace zelk::testing
