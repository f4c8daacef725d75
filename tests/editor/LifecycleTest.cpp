#include "editor/EditorFixture.h"

#include "host/app/MessageCatalog.h"
#include "platform/ui/UiDriver.h"

#include <algorithm>

namespace zelk::testing {
namespace {

std::string Text(const std::string& code) {
    return host::MessageCatalog::Default().Format(code, {});
}

using Lifecycle = EditorTest;

TEST_F(Lifecycle, LoadShowsTheRecordOnItsFirstPageOnly) {
    Init();
    long id = FirstId("SELECT managed_area_id FROM ma ORDER BY managed_area_id LIMIT 1 OFFSET 4");
    sent.clear();
    editor->LoadData(id);
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.front(), "Select Shape_ID from MA where managed_area_id=" + std::to_string(id));
    EXPECT_EQ(editor->GetID(), id);
    EXPECT_EQ(std::to_string(editor->ShapeID()),
              Db1("SELECT shape_id FROM ma WHERE managed_area_id = " + std::to_string(id)));
    std::string name =
        Db1("SELECT managed_area_name FROM ma WHERE managed_area_id = " + std::to_string(id));
    EXPECT_EQ(editor->txtSummaryMAName->Text(), name);
    EXPECT_EQ(editor->txtSummaryMAName->ToolTipText(), name);
    EXPECT_EQ(window->Caption(), "MA - " + name + " (Managed Area)");
    EXPECT_EQ(editor->lblShapeID->Caption(), std::to_string(editor->ShapeID()));
    EXPECT_NE(editor->lblUniversalKey->Caption().find("-" + std::to_string(id)), std::string::npos);
    EXPECT_EQ(editor->ctlMAName->Text(), name);
    EXPECT_EQ(editor->ctlMAName->Tag(), "MA_ManagedArea.ManagedAreaName");
    EXPECT_EQ(
        editor->txtMACodeBCD->Text(),
        Db1("SELECT IFNULL(macode_bcd, '') FROM ma WHERE managed_area_id = " + std::to_string(id)));
    EXPECT_FALSE(editor->lblNewRecord->Visible());
    EXPECT_TRUE(editor->PageFilled(editor::PageIdentifiers));
    for (int p = 1; p < editor::PageCount; ++p)
        EXPECT_FALSE(editor->PageFilled(p)) << p;
    // The navigator shows where the record stands in the host's list.
    EXPECT_EQ(editor->lblTotalRecords->Caption(),
              std::to_string(host->WorkingList()->RecordCount()));
    EXPECT_EQ(Screen::Instance().MousePointer(), mouse::Default);
    EXPECT_FALSE(editor->picActivityWait->Visible());
}

TEST_F(Lifecycle, EveryPageFillsOnceWhenFirstShown) {
    Init();
    long id = FirstId("SELECT managed_area_id FROM ma WHERE nation_id IS NOT NULL AND "
                      "d_state_id IS NOT NULL ORDER BY managed_area_id LIMIT 1");
    ASSERT_GT(id, 0);
    editor->LoadData(id);
    for (int p = 1; p < editor::PageCount; ++p) {
        ASSERT_TRUE(editor->tabManagedAreas->UserSelectTab(p)) << p;
        EXPECT_TRUE(editor->PageFilled(p)) << p;
        EXPECT_EQ(editor->tabManagedAreas->ActiveTab(), p);
    }
    EXPECT_TRUE(ui->Messages().empty()) << ui->Messages().front();
    std::string where = " FROM ma WHERE managed_area_id = " + std::to_string(id);
    EXPECT_EQ(editor->cboNation->BoundText(), Db1("SELECT nation_id" + where));
    EXPECT_EQ(editor->cboState->BoundText(), Db1("SELECT d_state_id" + where));
    EXPECT_GT(editor->cboState->ListCount(), 0);
    EXPECT_EQ(editor->cboNation->Tag(), "MA_ManagedArea.NationId");
    EXPECT_EQ(editor->txtLatitude->Text(), Db1("SELECT IFNULL(latitude, '')" + where));
    EXPECT_EQ(editor->chkMultiJuris->Value(),
              Db1("SELECT UPPER(IFNULL(multi_juris_ind, 'N'))" + where) == "Y" ? 1 : 0);
    EXPECT_EQ(editor->ctlManager->Text(), Db1("SELECT IFNULL(manager, '')" + where));
    EXPECT_EQ(editor->ctlQCComments->Tag(), "MA_Shape.QCCom");
    // The nation list is ordered by its shown text.
    for (int i = 1; i < editor->cboNation->ListCount(); ++i)
        EXPECT_LE(editor->cboNation->ListText(i - 1), editor->cboNation->ListText(i));

    // Showing a page again does not fill it again: an edit made there survives.
    editor->tabManagedAreas->UserSelectTab(editor::PageManager);
    editor->ctlManager->UserType("Harriet Lane");
    editor->tabManagedAreas->UserSelectTab(editor::PageIdentifiers);
    sent.clear();
    editor->tabManagedAreas->UserSelectTab(editor::PageManager);
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(editor->ctlManager->Text(), "Harriet Lane");
    EXPECT_EQ(CStr(Field("Manager")), "Harriet Lane");
}

TEST_F(Lifecycle, EditsReachTheObjectsAndClosingAsksToSave) {
    Init();
    long id = FirstId("SELECT managed_area_id FROM ma ORDER BY managed_area_id LIMIT 1");
    editor->LoadData(id);
    EXPECT_TRUE(editor->CanClose()) << "nothing changed: no question";
    EXPECT_TRUE(ui->Messages().empty());

    editor->tabManagedAreas->UserSelectTab(editor::PageDescriptors);
    editor->chkContiguous->UserClick();
    std::string expect = editor->chkContiguous->Value() == 1 ? "Y" : "N";
    EXPECT_EQ(CStr(Field("ContiguousInd")), expect);
    editor->tabManagedAreas->UserSelectTab(editor::PageIdentifiers);
    ASSERT_TRUE(editor->ctlMAName->SetFocus());
    editor->ctlMAName->UserType("Quail Hollow Preserve");

    ui->QueueAnswer(vb::Cancel);
    EXPECT_FALSE(editor->CanClose());
    EXPECT_EQ(ui->LastMessage()->text, Text("MGA001"));
    EXPECT_EQ(CStr(Field("ManagedAreaName")), "Quail Hollow Preserve") << "Cancel keeps the edit";

    ui->QueueAnswer(vb::No);
    EXPECT_TRUE(editor->CanClose());
    EXPECT_NE(Db1("SELECT managed_area_name FROM ma WHERE managed_area_id = " + std::to_string(id)),
              "Quail Hollow Preserve");

    ui->QueueAnswer(vb::Yes);
    EXPECT_TRUE(editor->CanClose());
    EXPECT_EQ(Db1("SELECT managed_area_name FROM ma WHERE managed_area_id = " + std::to_string(id)),
              "Quail Hollow Preserve");
    EXPECT_EQ(Db1("SELECT contiguous_ind FROM ma WHERE managed_area_id = " + std::to_string(id)),
              expect);
}

TEST_F(Lifecycle, ANewRecordGetsATemporaryIdAndTheDomainDefaults) {
    Init();
    int newItems = 0;
    editor->On("NewItem", [&](Args&) { ++newItems; });
    long id = editor->NewData(0);
    EXPECT_EQ(newItems, 0) << "the host asked for the record; it is not asked for another";
    EXPECT_LT(id, 0);
    EXPECT_EQ(editor->GetID(), id);
    EXPECT_TRUE(editor->lblNewRecord->Visible());
    EXPECT_EQ(editor->txtCurrentRecord->Text(),
              std::to_string(host->WorkingList()->RecordCount() + 1));
    EXPECT_EQ(CStr(Field("RecCreateUser")), "ann");
    editor->tabManagedAreas->UserSelectTab(editor::PageLocators);
    EXPECT_FALSE(editor->cboNation->BoundText().empty()) << "the default nation";
    EXPECT_EQ(CStr(Field("NationId")), editor->cboNation->BoundText());
    editor->tabManagedAreas->UserSelectTab(editor::PageVersionQC);
    EXPECT_FALSE(editor->cboDataQCStatus->BoundText().empty());
    EXPECT_FALSE(editor->cboMapQCStatus->BoundText().empty());
    // A new record always counts as changed.
    ui->QueueAnswer(vb::Cancel);
    EXPECT_FALSE(editor->CanClose());
}

TEST_F(Lifecycle, DeactivateReleasesTheRecordAndTheHost) {
    Init();
    editor->LoadData(FirstId("SELECT managed_area_id FROM ma LIMIT 1"));
    for (int p = 0; p < editor::PageCount; ++p)
        editor->tabManagedAreas->UserSelectTab(p);
    std::weak_ptr<bo::IShape> shape = editor->ShapeObject();
    std::weak_ptr<bo::IManagedArea> ma = editor->ManagedAreaObject();
    ASSERT_FALSE(shape.expired());
    editor->Deactivate();
    EXPECT_TRUE(shape.expired()) << "the shape object is destroyed";
    EXPECT_TRUE(ma.expired()) << "the managed area object is destroyed";
    EXPECT_FALSE(editor->WorkingList());
    EXPECT_NO_THROW(editor->Deactivate()) << "twice does no harm";
    // Typing after the release reaches no object and does not fail.
    EXPECT_FALSE(editor->ManagedAreaObject());
    editor->ctlMAName->SetText("After Deactivate");
    EXPECT_FALSE(editor->ManagedAreaObject());
    EXPECT_TRUE(ui->Messages().empty());
}

TEST_F(Lifecycle, ModalUseSwitchesOffTheListCommands) {
    editor->InitModalDetails(host->App(), "");
    EXPECT_FALSE(editor->cmdNavNext->Enabled());
    EXPECT_FALSE(editor->mnuEditDelete->Enabled());
    EXPECT_FALSE(editor->tbManagedAreas->Button("Find").Enabled());
    EXPECT_TRUE(editor->mnuFileSave->Enabled());
    editor->LoadData(FirstId("SELECT managed_area_id FROM ma LIMIT 1"));
    EXPECT_EQ(editor->txtCurrentRecord->Text(), "1");
    EXPECT_EQ(editor->lblTotalRecords->Caption(), "1");
}

TEST_F(Lifecycle, HostMessagesAndTheWithdrawnClone) {
    Init();
    editor->DisplayMessage("APP003");
    EXPECT_EQ(ui->LastMessage()->text, Text("APP003"));
    EXPECT_EQ(editor->CloneData(5), -1);
    EXPECT_EQ(ui->LastMessage()->text, "This method has been depracated!");
    // Late-bound, as a host calls it.
    EXPECT_EQ(CLng(editor->Call("GetID")), -1);
}

TEST_F(Lifecycle, AnIdWithoutARecordLoadsNothingAndTellsTheHost) {
    Init();
    sent.clear();
    // No shape row: the shape ID is -1 without a message, and the failed load is the call's
    // error, which the host reports.
    EXPECT_THROW(editor->LoadData(987654), ComError);
    EXPECT_TRUE(ui->Messages().empty());
    EXPECT_EQ(sent.front(), "Select Shape_ID from MA where managed_area_id=987654");
    EXPECT_EQ(editor->ShapeID(), -1);
    EXPECT_EQ(Screen::Instance().MousePointer(), mouse::Default);
    editor->LoadData(FirstId("SELECT managed_area_id FROM ma LIMIT 1"));
    EXPECT_TRUE(editor->ManagedAreaObject());
}

} // namespace
} // namespace zelk::testing
