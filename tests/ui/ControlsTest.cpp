#include "support/ScriptedUi.h"

#include "platform/Conv.h"
#include "platform/Recordset.h"
#include "platform/ui/DataCombo.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/Menu.h"
#include "platform/ui/TabControl.h"
#include "platform/ui/Toolbar.h"

#include <string>
#include <vector>

namespace zelk {
namespace {

using ControlsTest = testing::ScriptedUiTest;
using testing::ErrorOf;

RecordsetPtr Nations() {
    auto rs = NewRecordset();
    rs->GetFields().Append("Nation_ID", ad::Integer, 4);
    rs->GetFields().Append("display_value", ad::VarChar, 50);
    rs->Open();
    for (auto [id, name] :
         std::vector<std::pair<int, const char*>>{{1, "Canada"}, {2, "United States"}}) {
        rs->AddNew();
        (*rs)["Nation_ID"] = id;
        (*rs)["display_value"] = std::string(name);
    }
    rs->Update();
    return rs;
}

TEST_F(ControlsTest, DataComboShowsTheListFieldAndKeepsUnknownBoundValues) {
    auto form = std::make_shared<Form>("frm");
    auto cbo = form->Add<DataCombo>("cboNation");
    auto rs = Nations();
    rs->MoveLast();
    cbo->Let("BoundColumn", Variant("Nation_ID"));
    cbo->Let("ListField", Variant("display_value"));
    cbo->Let("RowSource", Variant(rs));
    EXPECT_EQ(rs->AbsolutePosition(), 2) << "filling must not move the caller's record";
    ASSERT_EQ(cbo->ListCount(), 2);
    int changes = 0;
    cbo->On("Change", [&](Args&) { ++changes; });

    cbo->Let("BoundText", Variant("2"));
    EXPECT_EQ(cbo->Text(), "United States");
    EXPECT_EQ(changes, 1);
    cbo->SetBoundText("99");
    EXPECT_EQ(cbo->Text(), "");
    EXPECT_EQ(CStr(cbo->Get("BoundText")), "99") << "a value outside the list is not lost";
    EXPECT_TRUE(cbo->UserPick(0));
    EXPECT_EQ(cbo->BoundText(), "1");
    EXPECT_TRUE(cbo->UserType("uni"));
    EXPECT_EQ(cbo->BoundText(), "2") << "basic matching picks by first letters";
    cbo->SetStyle(2);
    EXPECT_EQ(ErrorOf([&] { cbo->SetText("Atlantis"); }), 383);
    cbo->SetLocked(true);
    EXPECT_FALSE(cbo->UserPick(0));
    EXPECT_EQ(cbo->BoundText(), "2");
    cbo->SetRowSource(nullptr);
    EXPECT_EQ(cbo->ListCount(), 0);
    EXPECT_EQ(cbo->BoundText(), "2");
}

TEST_F(ControlsTest, ComboAndListBoxesKeepIndexAndItemData) {
    auto form = std::make_shared<Form>("frm");
    auto cbo = form->Add<ComboBox>("cboCompare");
    cbo->SetStyle(2);
    for (const char* t : {"Contains", "Begins with", "Equals"})
        cbo->AddItem(t);
    cbo->SetItemData(cbo->NewIndex(), 30);
    int clicks = 0;
    cbo->On("Click", [&](Args&) { ++clicks; });
    cbo->SetListIndex(1);
    EXPECT_EQ(cbo->Text(), "Begins with");
    cbo->SetText("equals");
    EXPECT_EQ(cbo->ListIndex(), 2);
    EXPECT_EQ(cbo->ItemData(2), 30);
    EXPECT_EQ(clicks, 2);
    cbo->RemoveItem(0);
    EXPECT_EQ(cbo->ListIndex(), 1) << "the chosen entry moves with the list";
    EXPECT_EQ(ErrorOf([&] { cbo->SetListIndex(5); }), 380);
    EXPECT_EQ(cbo->List(7), "");

    auto lst = form->Add<ListBox>("lstSorted");
    lst->SetSorted(true);
    for (const char* t : {"pear", "Apple", "fig"})
        lst->AddItem(t);
    EXPECT_EQ(lst->List(0), "Apple");
    EXPECT_EQ(lst->List(2), "pear");
}

TEST_F(ControlsTest, ToolbarAndMenusActOnlyWhileEnabled) {
    auto form = std::make_shared<UserControl>("ctlEditor");
    auto mnuFile = form->Add<Menu>("mnuFile");
    mnuFile->SetCaption("&File");
    auto mnuSave = form->Add<Menu>("mnuFileSave", mnuFile.get());
    mnuSave->SetCaption("&Save");
    mnuSave->SetShortcut("Ctrl+S");
    auto mnuOpen = form->Add<Menu>("mnuFileOpen", mnuFile.get());
    auto mnuOpenSites = form->Add<Menu>("mnuFileOpenSites", mnuOpen.get());
    auto tb = form->Add<Toolbar>("tbManagedAreas");
    tb->AddButton("Save", "Save", "Save");
    tb->AddButton("Open", "Open", "Open");
    EXPECT_EQ(ErrorOf([&] { tb->AddButton("save"); }), 35602);

    std::vector<std::string> did;
    mnuSave->On("Click", [&](Args&) { did.push_back("save"); });
    mnuOpenSites->On("Click", [&](Args&) { did.push_back("sites"); });
    tb->On("ButtonClick", [&](Args& a) {
        std::string key = CStr(RequireObject(a[0])->Get("Key"));
        if (key == "Save")
            mnuSave->UserClick();
        else
            PopupMenu(*form, *mnuOpen, 480, 370);
    });

    EXPECT_EQ(mnuSave->PlainCaption(), "Save");
    EXPECT_TRUE(tb->UserClickButton("Save"));
    EXPECT_TRUE(RunShortcut(*form, 'S', key::CtrlMask));
    mnuSave->SetEnabled(false);
    tb->UserClickButton("Save");
    EXPECT_FALSE(RunShortcut(*form, 'S', key::CtrlMask));
    RequireObject(tb->Get("Buttons", {Variant("Save")}))->Let("Enabled", Variant(false));
    EXPECT_FALSE(tb->UserClickButton("Save"));
    ui->QueuePopupChoice("mnuFileOpenSites");
    EXPECT_TRUE(tb->UserClickButton("Open"));
    mnuFile->SetEnabled(false);
    ui->QueuePopupChoice("mnuFileOpenSites");
    tb->UserClickButton("Open");
    EXPECT_EQ(did, (std::vector<std::string>{"save", "save", "sites"}))
        << "a disabled parent menu switches its items off";
    EXPECT_EQ(ui->Log().back().kind, "Popup");
    EXPECT_EQ(ui->Log().back().title, "480,370");

    auto il = form->Add<ImageList>("ilManagedAreaDetail");
    il->Add("Loading");
    EXPECT_EQ(il->Picture("loading"), "Loading");
    EXPECT_EQ(ErrorOf([&] { il->Picture("Nope"); }), 35601);
}

} // namespace
} // namespace zelk

namespace zelk {
namespace {

TEST_F(ControlsTest, ItemsOfAHiddenPopupMenuStillAct) {
    auto form = std::make_shared<UserControl>("ctlSearch");
    auto popup = form->Add<Menu>("mnuPopup");
    popup->SetVisible(false);
    auto item = form->Add<Menu>("mnuPopupOpen", popup.get());
    int clicks = 0;
    item->On("Click", [&](Args&) { ++clicks; });
    ui->QueuePopupChoice("mnuPopupOpen");
    PopupMenu(*form, *popup, 0, 0);
    EXPECT_EQ(clicks, 1);
    popup->SetEnabled(false);
    item->UserClick();
    EXPECT_EQ(clicks, 1);
}

} // namespace
} // namespace zelk
