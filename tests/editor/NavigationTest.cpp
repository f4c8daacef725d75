#include "editor/WorkingListSupport.h"

#include "host/app/MessageCatalog.h"
#include "host/procs/ServerProcedures.h"
#include "platform/ui/UiDriver.h"

namespace zelk::testing {
namespace {

std::string Text(const std::string& code, const std::vector<std::string>& args = {}) {
    return host::MessageCatalog::Default().Format(code, args);
}

class NavigationTest : public WorkingListTest {
protected:
    void Start() {
        Init();
        editor->LoadData(IdAt(1));
    }
    long Count() { return editor->WorkingList()->RecordCount(); }
    std::string Name(long id) {
        return Db1("SELECT managed_area_name FROM ma WHERE managed_area_id = " +
                   std::to_string(id));
    }
    void Enter(const std::string& position) {
        editor->txtCurrentRecord->UserType(position);
        editor->txtCurrentRecord->UserKeyDown(key::Return);
    }
    void Shows(long position) {
        EXPECT_EQ(editor->GetID(), IdAt(position));
        EXPECT_EQ(editor->txtCurrentRecord->Text(), std::to_string(position));
        EXPECT_EQ(editor->lblTotalRecords->Caption(), std::to_string(Count()));
        EXPECT_EQ(editor->txtSummaryMAName->Text(), Name(IdAt(position)));
    }
};

TEST_F(NavigationTest, ButtonsAndMenusWalkTheList) {
    Start();
    Shows(1);
    sent.clear();
    editor->cmdNavPrev->UserClick();
    EXPECT_TRUE(sent.empty()) << "nothing before the first row";
    editor->cmdNavNext->UserClick();
    Shows(2);
    EXPECT_TRUE(editor->PageFilled(editor::PageIdentifiers));
    EXPECT_FALSE(editor->PageFilled(editor::PageLocators));
    editor->cmdNavLast->UserClick();
    Shows(Count());
    sent.clear();
    editor->cmdNavNext->UserClick();
    EXPECT_TRUE(sent.empty()) << "nothing after the last row";
    editor->mnuEditGotoPrevious->UserClick();
    Shows(Count() - 1);
    editor->mnuEditGotoFirst->UserClick();
    Shows(1);
    editor->mnuEditGotoNext->UserClick();
    Shows(2);
    editor->mnuEditGotoLast->UserClick();
    Shows(Count());
    EXPECT_TRUE(ui->Messages().empty());
    EXPECT_FALSE(editor->picActivityWait->Visible());
    EXPECT_EQ(Screen::Instance().MousePointer(), mouse::Default);
}

TEST_F(NavigationTest, TypedPositionsMoveOrAreRefused) {
    Start();
    Enter("7");
    Shows(7);
    Enter("0");
    EXPECT_EQ(ui->LastMessage()->text, Text("APP003"));
    EXPECT_EQ(editor->txtCurrentRecord->Text(), "7");
    Enter(std::to_string(Count() + 5));
    EXPECT_EQ(editor->txtCurrentRecord->Text(), std::to_string(Count() + 1));
    EXPECT_EQ(editor->GetID(), IdAt(7));
    ui->ClearLog();

    // Text that is no number keeps the focus in the box; Enter on it moves nothing.
    editor->txtCurrentRecord->UserType("seven");
    EXPECT_FALSE(editor->cmdNavFirst->SetFocus());
    EXPECT_TRUE(editor->txtCurrentRecord->HasFocus());
    editor->txtCurrentRecord->UserKeyDown(key::Return);
    ASSERT_EQ(ui->Messages().size(), 1u);
    EXPECT_EQ(ui->Messages()[0].rfind("Unable to goto record.", 0), 0u);
    EXPECT_EQ(editor->GetID(), IdAt(7));

    // Leaving the box moves to the number typed, and leaving it unchanged reloads nothing.
    editor->txtCurrentRecord->UserType("3");
    EXPECT_TRUE(editor->txtMACodeBCD->SetFocus());
    Shows(3);
    editor->txtCurrentRecord->SetFocus();
    sent.clear();
    EXPECT_TRUE(editor->txtMACodeBCD->SetFocus());
    EXPECT_TRUE(sent.empty());
}

TEST_F(NavigationTest, AChangedRecordIsOfferedForSavingBeforeAMove) {
    Start();
    long first = IdAt(1);
    std::string before = Name(first);
    editor->ctlMAName->UserType("Edited Once");

    ui->QueueAnswer(vb::Cancel);
    editor->cmdNavNext->UserClick();
    EXPECT_EQ(ui->LastMessage()->text, Text("MGA001"));
    EXPECT_EQ(editor->GetID(), first);
    EXPECT_EQ(editor->ctlMAName->Text(), "Edited Once") << "the edit is kept";
    EXPECT_EQ(editor->txtCurrentRecord->Text(), "1");

    ui->QueueAnswer(vb::No);
    editor->cmdNavNext->UserClick();
    Shows(2);
    EXPECT_EQ(Name(first), before) << "No discards";

    editor->ctlMAName->UserType("Edited Twice");
    ui->QueueAnswer(vb::Yes);
    editor->cmdNavNext->UserClick();
    Shows(3);
    EXPECT_EQ(Name(IdAt(2)), "Edited Twice");

    // Yes with a save that fails stays on the record.
    host->Db()->Execute("UPDATE ma SET macode_bcd = 'TAKEN-1' WHERE managed_area_id = " +
                        std::to_string(first));
    editor->txtMACodeBCD->UserType("TAKEN-1");
    ui->QueueAnswer(vb::Yes);
    editor->cmdNavPrev->UserClick();
    EXPECT_EQ(ui->LastMessage()->text, Text("MGA012", {std::to_string(first)}));
    EXPECT_EQ(editor->GetID(), IdAt(3));
    EXPECT_EQ(editor->txtMACodeBCD->Text(), "TAKEN-1");
}

TEST_F(NavigationTest, RowsWithoutARecordAreRefusedAndANewRecordStandsAfterTheList) {
    auto list = host->WorkingList();
    list->MoveFirst();
    list->Move(3);
    long missing = CLng(list->Value("ID"));
    ASSERT_TRUE(host::DeleteManagedAreaData(*host->Db(), missing, "ann"));
    Start();
    editor->cmdNavNext->UserClick();
    editor->cmdNavNext->UserClick();
    Shows(3);
    editor->cmdNavNext->UserClick();
    EXPECT_EQ(ui->LastMessage()->text, Text("APP046"));
    Shows(3);
    Enter("5");
    Shows(5);

    // A new record is not in the list yet: count + 1 of count + 1, and leaving the box with
    // that number stays on it.
    editor->NewData(0);
    std::string after = std::to_string(Count() + 1);
    EXPECT_EQ(editor->txtCurrentRecord->Text(), after);
    EXPECT_EQ(editor->lblTotalRecords->Caption(), after);
    editor->txtCurrentRecord->SetFocus();
    EXPECT_TRUE(editor->txtMACodeBCD->SetFocus());
    EXPECT_LT(editor->GetID(), 0);
    EXPECT_EQ(ui->Messages().size(), 1u);
}

TEST_F(NavigationTest, TheSearchDialogReplacesTheListOnlyWithRowsChosen) {
    Start();
    long count = Count();
    // Cancel: the list and the record stay.
    QueuePick({});
    editor->mnuToolsFind->UserClick();
    EXPECT_EQ(editor->WorkingList(), host->WorkingList());
    EXPECT_EQ(editor->GetID(), IdAt(1));
    EXPECT_TRUE(Sent("select * from MANAGED_AREA_WL_VW WHERE 1=0"));

    // The record's changes are offered for saving first; Cancel opens nothing.
    editor->ctlMAName->UserType("Kept Here");
    ui->QueueAnswer(vb::Cancel);
    editor->mnuToolsFind->UserClick();
    EXPECT_EQ(editor->ctlMAName->Text(), "Kept Here");

    ui->QueueAnswer(vb::No);
    std::string caption;
    ui->QueueModal("frmModalSearch", [&](Form& f) {
        caption = f.Caption();
        auto* s = dynamic_cast<Form*>(f.Find("ModalSearch"));
        s->Get<TextBox>("txtName").UserType("");
        s->Get<CommandButton>("cmdFindNow").UserClick();
        s->Get<VSFlexGrid>("flexResults").UserSelectRows({2, 4, 6});
        s->Get<CommandButton>("cmdOK").UserClick();
    });
    editor->tbManagedAreas->UserClickButton("Find");
    EXPECT_EQ(caption.rfind("Managed Area Search - ", 0), 0u) << caption;
    ASSERT_NE(editor->WorkingList(), host->WorkingList());
    EXPECT_EQ(Count(), 3);
    Shows(1);
    EXPECT_EQ(host->WorkingList()->RecordCount(), count) << "the host's list is only read";
    editor->cmdNavLast->UserClick();
    Shows(3);
}

TEST_F(NavigationTest, TheGotoDialogMovesToThePickedRow) {
    Start();
    ui->QueueModal("frmGotoRecord", [](Form& f) {
        f.Get<VSFlexGrid>("vsgRecords").UserSelect(4, 0);
        f.Get<CommandButton>("cmdOK").UserClick();
    });
    editor->txtCurrentRecord->UserDblClick();
    Shows(4);
    // Cancelled, or the row already shown: no move, the position is shown again.
    ui->QueueModal("frmGotoRecord", [](Form& f) { f.Get<CommandButton>("cmdCancel").UserClick(); });
    editor->txtCurrentRecord->SetText("9");
    editor->mnuEditGotoRecord->UserClick();
    EXPECT_EQ(editor->txtCurrentRecord->Text(), "4");
    ui->QueueModal("frmGotoRecord", [](Form& f) {
        f.Get<VSFlexGrid>("vsgRecords").UserSelect(4, 0);
        f.Get<CommandButton>("cmdOK").UserClick();
    });
    sent.clear();
    editor->tbManagedAreas->UserClickButton("Goto");
    EXPECT_TRUE(sent.empty());
    Shows(4);
}

} // namespace
} // namespace zelk::testing
