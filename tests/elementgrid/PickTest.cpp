#include "ElementGridFixture.h"

#include "elementgrid/ElementPicker.h"
#include "platform/ui/StdControls.h"

namespace zelk::elementgrid::test {
namespace {

// The user finds `text` in the search the window hosts and double-clicks the row of `id`.
void PickInSearch(Form& dialog, const std::string& text, const std::string& id) {
    auto& search = dialog.Get<Form>("ModalSearch");
    search.Get<TextBox>("txtName").UserType(text);
    search.Get<CommandButton>("cmdFindNow").UserClick();
    auto& results = search.Get<VSFlexGrid>("flexResults");
    long row = results.FindRow(Variant(id), 1, 0);
    ASSERT_GT(row, 0) << text;
    results.UserSelect(row, 0);
    results.UserDblClick();
}

TEST_F(ElementGridTest, ElementsAndReferencesArePickedInTheModalSearch) {
    grid->SetRecordPicker(ShowModalSearch);
    grid->SetSearchFormCaption("Elk Meadow Preserve");
    grid->SetSearchFormIcon("icoManagedArea");
    const std::string sci = Scalar("SELECT scientific_name FROM element_wl_vw WHERE id = 2");
    std::string caption, icon;
    G().UserSelect(4, 6);
    ui->QueueModal("frmModalSearch", [&](Form& dlg) {
        caption = dlg.Caption();
        icon = dlg.Icon();
        PickInSearch(dlg, sci, "2");
    });
    Click("cmdSelectElement");
    EXPECT_EQ(caption, "Element Search - Elk Meadow Preserve");
    EXPECT_EQ(icon, "icoManagedArea");
    EXPECT_EQ(CellOf(4, "element_id"), "2");
    EXPECT_EQ(CellOf(4, "element_global_id"), "2");
    EXPECT_EQ(CellOf(4, "geo_level"), "Global");
    EXPECT_EQ(CellOf(4, "scientific_name"), sci);
    EXPECT_EQ(G().Rows(), 6);

    const std::string code = Scalar("SELECT reference_code FROM reference WHERE reference_id = 1");
    ui->QueueModal("frmModalSearch", [&](Form& dlg) {
        caption = dlg.Caption();
        PickInSearch(dlg, code, "1");
    });
    Click("cmdSelectReference");
    EXPECT_EQ(caption, "Reference Search - Elk Meadow Preserve");
    EXPECT_EQ(CellOf(4, "reference_id"), "1");
    EXPECT_EQ(Ctl<TextBox>("txtReferenceCode").Text(), code);

    // Cancel in the search changes nothing.
    G().UserSelect(1, 6);
    ui->QueueModal("frmModalSearch", [](Form& dlg) {
        dlg.Get<Form>("ModalSearch").Get<CommandButton>("cmdCancel").UserClick();
    });
    Click("cmdSelectReference");
    EXPECT_EQ(CellOf(1, "reference_id"), "7001");
    EXPECT_EQ(State(1), rowstate::Unchanged);

    ASSERT_TRUE(grid->IsValid());
    ASSERT_TRUE(grid->StoreToCollection());
    ASSERT_TRUE(shape->Save()) << shape->LastError();
    grid->PostSave();
    Load(kArea);
    ASSERT_EQ(G().Rows(), 6);
    EXPECT_EQ(CellOf(4, "element_id"), "2");
    EXPECT_EQ(CellOf(4, "reference_code"), code);
    EXPECT_EQ(CellOf(4, "display_order"), "4");
}

} // namespace
} // namespace zelk::elementgrid::test
