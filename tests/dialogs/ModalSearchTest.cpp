#include "DialogsFixture.h"

#include "platform/Collection.h"
#include "search/frmModalSearch.h"
#include "search/frmSQL.h"

namespace zelk::testing {
namespace {

using search::frmModalSearch;
using search::frmSQL;

const std::vector<std::string> kSearchMembers = {"InitModalSearch",  "UseSelectedRecordset",
                                                 "SetSelectedItems", "SetSingleSelect",
                                                 "SetMutliSelect",   "GetMultiSelect",
                                                 "SetNameType",      "SetIdEnabled",
                                                 "CanClose",         "Deactivate"};

class ModalSearchTest : public DialogsTest {
protected:
    void SetUp() override {
        DialogsTest::SetUp();
        RegisterControl("ZELKTest.RecordingSearch", 9750, 9825, kSearchMembers);
    }
    std::shared_ptr<frmModalSearch> Init(RecordsetPtr& rs) {
        auto dlg = std::make_shared<frmModalSearch>();
        EXPECT_TRUE(dlg->InitDialog("ZELKTest.RecordingSearch", app, rs, ""));
        return dlg;
    }
};

TEST_F(ModalSearchTest, InitDialogSizesAroundTheControlAndHandsBackTheCallersRecordset) {
    RecordsetPtr mine = NewRecordset();
    RecordsetPtr theirs = NewRecordset();
    RecordsetPtr rs = mine;
    auto dlg = std::make_shared<frmModalSearch>();
    registered.push_back("ZELKTest.SwappingSearch");
    ProgIdRegistry::Instance().Register("ZELKTest.SwappingSearch", [&] {
        auto c = std::make_shared<RecordingControl>(9750, 9825, kSearchMembers);
        c->replaceRecordset = Variant(theirs);
        created.push_back(c);
        return c;
    });
    ASSERT_TRUE(dlg->InitDialog("ZELKTest.SwappingSearch", app, rs, ""));
    EXPECT_EQ(dlg->Width(), 9850);
    EXPECT_EQ(dlg->Height(), 10575);
    ASSERT_EQ(dlg->HostedControl().get(), &Last());
    EXPECT_EQ(dlg->HostedControl()->Name(), "ModalSearch");
    EXPECT_EQ(dlg->Find("ModalSearch"), &Last());
    auto init = Last().CallsOf("InitModalSearch");
    ASSERT_EQ(init.size(), 1u);
    ASSERT_EQ(init[0].args.size(), 3u);
    EXPECT_EQ(init[0].args[0].Obj(), app);
    EXPECT_EQ(init[0].args[1].Obj(), mine);
    EXPECT_EQ(CStr(init[0].args[2]), "");
    EXPECT_EQ(rs, theirs) << "the caller's variable receives what the control left there";
    EXPECT_EQ(dlg->ServerType(), 2);
    EXPECT_EQ(dlg->ServerName(), "wayfold-test");
    EXPECT_EQ(dlg->CommonDialog1().HelpFile(), "wayfold.hlp");
    EXPECT_EQ(dlg->CommonDialog1().HelpCommand(), 1);

    // The control shows with the window.
    EXPECT_FALSE(Last().Visible());
    ui->QueueModal("frmModalSearch", [&](Form& f) {
        EXPECT_TRUE(Last().Visible());
        Last().RaiseEvent("Quit");
        EXPECT_FALSE(f.IsLoaded());
    });
    dlg->Show(true);

    // An unknown search is reported and answered with false.
    auto bad = std::make_shared<frmModalSearch>();
    EXPECT_FALSE(bad->InitDialog("ZELK_Nowhere.NoSearch", app, rs, ""));
    ASSERT_EQ(ui->Messages().size(), 1u);
    EXPECT_NE(ui->Messages()[0].find("ZELK_Nowhere.NoSearch"), std::string::npos);
}

TEST_F(ModalSearchTest, ForwardsEachSettingWithExactlyItsArguments) {
    RecordsetPtr rs = NewRecordset();
    auto dlg = Init(rs);
    RecordingControl& ctl = Last();
    ctl.calls.clear();

    dlg->UseSelectedRecordset(true);
    dlg->SetSingleSelect();
    dlg->SetMutliSelect(false);
    EXPECT_TRUE(dlg->GetMutliSelect()) << "the control's answer 1 converts to True";
    dlg->SetNameType(2, true, "");
    dlg->SetNameType(1, false, "Quercus");
    dlg->SetIdEnabled(false);

    std::vector<std::pair<std::string, std::size_t>> seen;
    for (const auto& c : ctl.calls)
        seen.emplace_back(c.member, c.args.size());
    std::vector<std::pair<std::string, std::size_t>> want = {
        {"UseSelectedRecordset", 1}, {"SetSingleSelect", 0}, {"SetMutliSelect", 1},
        {"GetMultiSelect", 0},       {"SetNameType", 2},     {"SetNameType", 3},
        {"SetIdEnabled", 1}};
    EXPECT_EQ(seen, want);
    EXPECT_TRUE(CBool(ctl.calls[0].args[0]));
    EXPECT_EQ(CLng(ctl.calls[4].args[0]), 2);
    EXPECT_EQ(CStr(ctl.calls[5].args[2]), "Quercus");

    // The caller's collection variable gets whatever the control left in the argument.
    auto mine = std::make_shared<Collection>();
    auto replaced = std::make_shared<Collection>();
    ctl.replaceCollection = Variant(replaced);
    auto items = mine;
    dlg->SetSelectedItems(items);
    EXPECT_EQ(ctl.CallsOf("SetSelectedItems").back().args[0].Obj(), mine);
    EXPECT_EQ(items, replaced);

    // Only SetSingleSelect forgives a search without the member.
    RegisterControl("ZELKTest.PlainSearch", 4000, 3000, {"InitModalSearch", "CanClose"});
    auto plain = std::make_shared<frmModalSearch>();
    ASSERT_TRUE(plain->InitDialog("ZELKTest.PlainSearch", app, rs, "x"));
    EXPECT_EQ(plain->Width(), 4100);
    EXPECT_EQ(plain->Height(), 3750);
    EXPECT_NO_THROW(plain->SetSingleSelect());
    EXPECT_THROW(plain->UseSelectedRecordset(true), ComError);
    EXPECT_THROW(plain->SetIdEnabled(true), ComError);
    EXPECT_TRUE(ui->Messages().empty());
}

TEST_F(ModalSearchTest, ClosesOnQuitInAnyCaseAndOnlyWhenTheSearchAgrees) {
    RecordsetPtr rs = NewRecordset();
    auto dlg = Init(rs);
    auto ctl = created.back();
    ctl->canClose = false;
    ui->QueueModal("frmModalSearch", [&](Form& f) {
        ctl->RaiseEvent("NewItem");
        ctl->RaiseEvent("Quitting");
        EXPECT_TRUE(f.Visible()) << "other events leave the window open";
        EXPECT_FALSE(f.Unload(0)) << "the close box asks the search first";
        EXPECT_TRUE(f.Visible());
        ctl->canClose = true;
        ctl->RaiseEvent("qUIT");
        EXPECT_FALSE(f.IsLoaded());
    });
    dlg->Show(true);
    EXPECT_EQ(ctl->CallsOf("CanClose").size(), 2u);
    // Released on unload: the control is off the form and no longer heard.
    EXPECT_EQ(dlg->HostedControl(), nullptr);
    EXPECT_EQ(dlg->Find("ModalSearch"), nullptr);
    ctl->RaiseEvent("Quit");
    EXPECT_TRUE(dlg->Unload());
    EXPECT_EQ(ctl->CallsOf("CanClose").size(), 2u);
}

TEST_F(ModalSearchTest, F1ShowsHelpOnlyForATopicAndF9OpensTheSystemEntry) {
    RecordsetPtr rs = NewRecordset();
    auto dlg = Init(rs);
    auto ctl = created.back();
    auto helpShown = [&] {
        int n = 0;
        for (const auto& e : ui->Log())
            if (e.kind == "Help") ++n;
        return n;
    };
    ui->QueueModal("frmModalSearch", [&](Form& f) {
        f.UserKeyDownFocused(112);
        EXPECT_EQ(helpShown(), 0) << "no topic, no help";
        EXPECT_EQ(dlg->CommonDialog1().HelpContext(), 0);
        app->helpTopic = 4711;
        f.UserKeyDownFocused(112);
        f.UserKeyDownFocused(120);
        ctl->RaiseEvent("Quit");
    });
    dlg->Show(true);
    ASSERT_EQ(helpShown(), 1);
    for (const auto& e : ui->Log())
        if (e.kind == "Help") {
            EXPECT_EQ(e.text, "wayfold.hlp");
            EXPECT_EQ(e.flags, 1);
            EXPECT_EQ(e.title, "4711");
        }
    EXPECT_EQ(app->helpAsks, (std::vector<std::size_t>{2, 2}));
    ASSERT_EQ(app->systemEntries.size(), 1u);
    EXPECT_EQ(app->systemEntries[0], ctl.get());
}

TEST_F(ModalSearchTest, ViewSqlShowsTheTextReadOnlyAndCopiesTheSelection) {
    // What the managed-area search builds when no criterion is set.
    const std::string sql =
        "SELECT UNIQUE * FROM managed_area_wl_vw ORDER BY managed_area_wl_vw.id";
    auto frm = std::make_shared<frmSQL>();
    frm->txtSQL().SetText(sql);
    EXPECT_TRUE(frm->txtSQL().MultiLine());
    EXPECT_FALSE(frm->txtSQL().UserType("DELETE FROM ma"));
    EXPECT_EQ(frm->cmdOK().Caption(), "O&K");
    EXPECT_EQ(frm->mnuEditCopy().Caption(), "&Copy");
    EXPECT_EQ(frm->mnuEditCopy().Container(), frm->Find("mnuEdit"));
    ui->QueueModal("frmSQL", [&](Form& f) {
        auto& txt = f.Get<TextBox>("txtSQL");
        EXPECT_EQ(txt.Text(), sql);
        txt.SetSelStart(0);
        txt.SetSelLength(13);
        f.Get<Menu>("mnuEditCopy").UserClick();
        f.Get<CommandButton>("cmdOK").UserClick();
    });
    frm->Show(true);
    EXPECT_EQ(ui->ClipboardText(), "SELECT UNIQUE");
    EXPECT_FALSE(frm->Visible());
    EXPECT_TRUE(frm->Unload());
}

} // namespace
} // namespace zelk::testing
