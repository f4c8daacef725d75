// The host tells a record window that the working list changed: what the window holds is never
// thrown away, whether it is a new record or one with edits not saved yet.
#include "editor/WorkingListSupport.h"

#include "host/app/MessageCatalog.h"
#include "host/procs/ServerProcedures.h"
#include "platform/ui/UiDriver.h"

namespace zelk::testing {
namespace {

class ListChangesTest : public WorkingListTest {
protected:
    void TearDown() override {
        if (other) other->Deactivate();
        other.reset();
        otherWindow.reset();
        WorkingListTest::TearDown();
    }
    // A second record window on the host's working list, showing the list's first record.
    editor::ManagedAreaDetails& OpenOther() {
        otherWindow = std::make_shared<host::HostWindow>("frmManagedArea2");
        other = std::dynamic_pointer_cast<editor::ManagedAreaDetails>(
            otherWindow->AddControl("ZELK_ManagedArea.ManagedAreaDetails", "ctlDetails"));
        other->InitDetails(host->WorkingList(), host->App(), host->ManagedAreaViewId(),
                           host->WinMan(), host->Views(), "");
        other->LoadData(IdAt(1));
        return *other;
    }
    std::string Name(long id) {
        return Db1("SELECT managed_area_name FROM ma WHERE managed_area_id = " +
                   std::to_string(id));
    }
    std::string Navigator() {
        return editor->txtCurrentRecord->Text() + " of " + editor->lblTotalRecords->Caption();
    }

    std::shared_ptr<host::HostWindow> otherWindow;
    std::shared_ptr<editor::ManagedAreaDetails> other;
};

TEST_F(ListChangesTest, ANewRecordStaysWhenAnotherWindowSaves) {
    Init();
    long tempId = editor->NewData(0);
    ASSERT_TRUE(editor->ctlMAName->SetFocus());
    editor->ctlMAName->UserType("Cedar Bluff Barrens");
    const std::string shown = Navigator();
    EXPECT_NE(shown, "1 of 1");

    auto& second = OpenOther();
    ASSERT_TRUE(second.ctlMAName->SetFocus());
    second.ctlMAName->UserType("Renamed Elsewhere");
    second.mnuFileSave->UserClick();
    ASSERT_EQ(Name(second.GetID()), "Renamed Elsewhere");

    editor->NotifyListChanges("");
    EXPECT_EQ(editor->GetID(), tempId);
    EXPECT_TRUE(editor->lblNewRecord->Visible());
    EXPECT_EQ(editor->ctlMAName->Text(), "Cedar Bluff Barrens");
    EXPECT_EQ(Navigator(), shown) << "a new record is not 1 of 1";
    EXPECT_TRUE(ui->Messages().empty());

    // The window that saved shows its place as before.
    second.NotifyListChanges("");
    EXPECT_EQ(second.txtCurrentRecord->Text(), "1");
}

TEST_F(ListChangesTest, APrivateListWaitsForTheUserToMove) {
    Init();
    editor->LoadData(IdAt(1));
    OpenPrivateList({1, 2, 3});
    ASSERT_EQ(editor->WorkingList()->RecordCount(), 3);
    const long first = IdAt(1), second = IdAt(2);

    // A new record on a private list: kept whole, with its place after the list.
    editor->mnuFileNew->UserClick();
    long tempId = editor->GetID();
    ASSERT_LT(tempId, 0);
    editor->ctlMAName->UserType("Willow Slough");
    editor->NotifyListChanges("");
    EXPECT_EQ(editor->GetID(), tempId);
    EXPECT_TRUE(editor->lblNewRecord->Visible());
    EXPECT_EQ(editor->ctlMAName->Text(), "Willow Slough");
    EXPECT_EQ(Navigator(), "4 of 4");

    // Moving lets the user decide about the new record first, then goes where asked.
    ui->QueueAnswer(vb::No);
    editor->cmdNavFirst->UserClick();
    EXPECT_EQ(editor->GetID(), first);

    // An edited record that another user deleted stays on screen with the edit ...
    editor->ctlMAName->UserType("Edited Before The Delete");
    ASSERT_TRUE(host::DeleteManagedAreaData(*host->Db(), first, "bob"));
    editor->NotifyListChanges("");
    EXPECT_EQ(editor->GetID(), first);
    EXPECT_EQ(editor->ctlMAName->Text(), "Edited Before The Delete");
    EXPECT_EQ(editor->WorkingList()->RecordCount(), 3) << "the list waits";

    // ... and when the user lets it go, the list drops its row on the way to the next one,
    // here through the go-to dialog.
    ui->QueueAnswer(vb::No);
    ui->QueueModal("frmGotoRecord", [](Form& f) {
        f.Get<VSFlexGrid>("vsgRecords").UserSelect(2, 0);
        f.Get<CommandButton>("cmdOK").UserClick();
    });
    editor->mnuEditGotoRecord->UserClick();
    EXPECT_EQ(editor->WorkingList()->RecordCount(), 2);
    EXPECT_EQ(IdAt(1), second);
    EXPECT_NE(editor->GetID(), first);
    EXPECT_EQ(editor->lblTotalRecords->Caption(), "2");

    // With nothing held back, a change is taken at once.
    ASSERT_TRUE(host::DeleteManagedAreaData(*host->Db(), editor->GetID(), "bob"));
    editor->NotifyListChanges("");
    EXPECT_EQ(editor->WorkingList()->RecordCount(), 1);
    EXPECT_EQ(editor->GetID(), IdAt(1));
}

} // namespace
} // namespace zelk::testing
