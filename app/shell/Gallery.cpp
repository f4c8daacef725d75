#include "shell/Gallery.h"

#include "platform/ui/DataCombo.h"
#include "platform/ui/Form.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/Menu.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TabControl.h"
#include "platform/ui/Toolbar.h"

namespace zelk::view {

std::shared_ptr<Form> MakeGalleryForm() {
    auto form = std::make_shared<Form>("frmGallery");
    form->SetCaption("Controls");
    form->Move(0, 0, 9000, 6600);

    auto file = form->Add<Menu>("mnuFile");
    file->SetCaption("&File");
    auto save = form->Add<Menu>("mnuFileSave", file.get());
    save->SetCaption("&Save");
    save->SetShortcut("Ctrl+S");
    form->Add<Menu>("mnuFileSep", file.get())->SetCaption("-");
    auto close = form->Add<Menu>("mnuFileClose", file.get());
    close->SetCaption("&Close");
    auto edit = form->Add<Menu>("mnuEdit");
    edit->SetCaption("&Edit");
    form->Add<Menu>("mnuEditCopy", edit.get())->SetCaption("&Copy");

    auto images = form->Add<ImageList>("imlToolbar");
    for (const char* key : {"New", "Open", "Save", "Delete", "Find", "Audit", "Help"})
        images->Add(key);
    auto tb = form->Add<Toolbar>("tbGallery");
    tb->Move(0, 0, 9000, 420);
    tb->SetImageList("imlToolbar");
    for (const char* key : {"New", "Open", "Save", "Delete", "Find", "Audit", "Help"})
        tb->AddButton(key, key, key);
    tb->Button("Delete").SetEnabled(false);

    auto tab = form->Add<vaTabPro>("tabGallery");
    tab->Move(120, 540, 8760, 5880);
    tab->SetTabCount(2);
    tab->SetTabCaption(0, "Identifiers");
    tab->SetTabCaption(1, "Lists");

    auto fra = form->Add<Frame>("fraName", tab.get());
    fra->SetTabPage(0);
    fra->SetCaption("Name");
    fra->Move(120, 540, 8400, 1800);
    auto lbl = form->Add<Label>("lblName", fra.get());
    lbl->SetCaption("Managed area &name:");
    lbl->Move(180, 360, 2000, 285);
    lbl->SetTabIndex(0);
    auto txt = form->Add<TextBox>("txtManagedAreaName", fra.get());
    txt->Move(2280, 300, 5900, 315);
    txt->SetText("Oak Hollow State Park");
    txt->SetTabIndex(1);
    auto lblCode = form->Add<Label>("lblCode", fra.get());
    lblCode->SetCaption("&Code:");
    lblCode->Move(180, 840, 2000, 285);
    lblCode->SetTabIndex(2);
    auto code = form->Add<TextBox>("txtMACode", fra.get());
    code->Move(2280, 780, 2000, 315);
    code->SetText("MA.00123");
    code->SetTabIndex(3);
    auto locked = form->Add<TextBox>("txtShapeID", fra.get());
    locked->Move(4500, 780, 1200, 315);
    locked->SetText("4711");
    locked->SetLocked(true);
    locked->SetTabIndex(4);
    auto chk = form->Add<CheckBox>("chkMultiJuris", fra.get());
    chk->SetCaption("&Multiple jurisdictions");
    chk->Move(2280, 1260, 2600, 315);
    chk->SetValue(1);
    chk->SetTabIndex(5);
    auto grey = form->Add<CheckBox>("chkContiguous", fra.get());
    grey->SetCaption("Con&tiguous");
    grey->Move(5000, 1260, 2000, 315);
    grey->SetValue(2);
    grey->SetTabIndex(6);

    auto opt1 = form->Add<OptionButton>("optAcres", tab.get());
    opt1->SetTabPage(0);
    opt1->SetCaption("&Acres");
    opt1->Move(240, 2520, 1400, 315);
    opt1->SetValue(true);
    opt1->SetTabIndex(7);
    auto opt2 = form->Add<OptionButton>("optHectares", tab.get());
    opt2->SetTabPage(0);
    opt2->SetCaption("&Hectares");
    opt2->Move(1800, 2520, 1400, 315);
    opt2->SetTabIndex(8);
    auto notes = form->Add<TextBox>("txtComments", tab.get());
    notes->SetTabPage(0);
    notes->SetMultiLine(true);
    notes->Move(240, 3000, 8280, 1500);
    notes->SetText("Managed jointly with the county.\nBoundaries surveyed in 1998.");
    notes->SetTabIndex(9);
    auto pic = form->Add<PictureBox>("picWait", tab.get());
    pic->SetTabPage(0);
    pic->Move(240, 4680, 2700, 720);
    pic->SetPicture("PleaseWait");

    auto cmd = form->Add<CommandButton>("cmdSave");
    cmd->SetCaption("&Save");
    cmd->SetDefault(true);
    cmd->Move(6120, 4800, 1200, 375);
    cmd->SetContainer(tab.get());
    cmd->SetTabPage(0);
    cmd->SetTabIndex(10);
    auto cancel = form->Add<CommandButton>("cmdCancel", tab.get());
    cancel->SetTabPage(0);
    cancel->SetCaption("Cancel");
    cancel->SetCancel(true);
    cancel->Move(7440, 4800, 1200, 375);
    cancel->SetTabIndex(11);

    auto lst = form->Add<ListBox>("lstCounties", tab.get());
    lst->SetTabPage(1);
    lst->Move(240, 540, 3000, 2400);
    for (const char* c : {"Adams", "Brown", "Clark", "Dane", "Iowa"})
        lst->AddItem(c);
    lst->SetListIndex(2);
    auto cbo = form->Add<ComboBox>("cboType", tab.get());
    cbo->SetTabPage(1);
    cbo->SetStyle(2);
    cbo->Move(3600, 540, 3000, 315);
    for (const char* c : {"State Park", "National Wildlife Refuge", "Easement"})
        cbo->AddItem(c);
    cbo->SetListIndex(0);
    auto dc = form->Add<DataCombo>("dcboProtection", tab.get());
    dc->SetTabPage(1);
    dc->Move(3600, 1020, 3000, 315);
    return form;
}

} // namespace zelk::view
