#include "ControlsFixture.h"

#include "controls/RichTextControl.h"
#include "controls/ctrlDateSelect.h"
#include "platform/ui/StdControls.h"

#include <cstdlib>

namespace zelk::testing {

using controls::ctrlDateSelect;
using controls::RichTextControl;

TEST_F(ControlsTest, RichTextCopiesCutsAndPastesThroughTheClipboard) {
    auto rtf = AddControl<RichTextControl>("RichTextControlProject.RichTextControl", "ctlNote");
    ASSERT_TRUE(rtf);
    EXPECT_EQ(rtf->TypeName(), "RichTextControl");
    int changes = 0;
    rtf->On("Change", [&](Args&) { ++changes; });
    rtf->Let("Text", Variant("Wet meadow"));
    rtf->Let("SelStart", Variant(0));
    rtf->Let("SelLength", Variant(3));
    rtf->Call("DoCopy");
    EXPECT_EQ(ui->ClipboardText(), "Wet");
    rtf->Let("SelStart", Variant(10));
    rtf->Call("DoPaste");
    EXPECT_EQ(rtf->Text(), "Wet meadowWet");
    rtf->SetSelStart(0);
    rtf->SetSelLength(4);
    rtf->Call("DoCut");
    EXPECT_EQ(rtf->Text(), "meadowWet");
    EXPECT_EQ(ui->ClipboardText(), "Wet ");
    EXPECT_EQ(changes, 3);

    rtf->SetLocked(true);
    rtf->Call("DoPaste");
    rtf->SetSelLength(3);
    rtf->Call("DoCut");
    EXPECT_EQ(rtf->Text(), "meadowWet");

    // The editor window writes back on OK only, and never into a locked field.
    rtf->SetLocked(false);
    ui->QueueModal("frmTextEditor", [](Form& f) {
        f.Get<TextBox>("txtEditor").UserType("Dry upland");
        f.Get<CommandButton>("cmdOK").UserClick();
    });
    EXPECT_TRUE(CBool(rtf->Call("LaunchEditor", {Variant("MA_ManagedArea.Note")})));
    EXPECT_EQ(rtf->Text(), "Dry upland");
    ui->QueueModal("frmTextEditor", [](Form& f) {
        f.Get<TextBox>("txtEditor").UserType("discarded");
        f.Get<CommandButton>("cmdCancel").UserClick();
    });
    EXPECT_FALSE(CBool(rtf->Call("LaunchEditor", {Variant("MA_ManagedArea.Note")})));
    EXPECT_EQ(rtf->Text(), "Dry upland");

    // Without a dictionary the user hears that nothing was checked.
    setenv("ZELK_HUNSPELL_DICT", "/nonexistent/en_US", 1);
    rtf->Call("CheckSpelling");
    unsetenv("ZELK_HUNSPELL_DICT");
    EXPECT_NE(ui->LastMessage()->text.find("not checked"), std::string::npos);
}

TEST_F(ControlsTest, DateControlRefusesABadDateAndKeepsTheFocus) {
    auto date = AddControl<ctrlDateSelect>("VardenDateControl.ctrlDateSelect", "ctlVersionDate");
    auto other = form->Add<TextBox>("txtOther");
    ASSERT_TRUE(date);

    EXPECT_TRUE(date->UserType("13/45/2020"));
    EXPECT_FALSE(other->SetFocus());
    EXPECT_TRUE(date->HasFocus());
    ASSERT_EQ(ui->Messages().size(), 1u);
    EXPECT_NE(ui->Messages()[0].find("not a valid date"), std::string::npos);

    EXPECT_TRUE(date->UserType("3/4/2021"));
    EXPECT_TRUE(other->SetFocus());
    EXPECT_TRUE(date->UserType(""));
    EXPECT_TRUE(date->SetFocus());
    EXPECT_TRUE(other->SetFocus()); // empty is accepted
    EXPECT_EQ(ui->Messages().size(), 1u);
}

} // namespace zelk::testing
