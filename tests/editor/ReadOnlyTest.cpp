// A user who may only read: nothing on any page takes an edit, so nothing can be lost at close.
#include "editor/EditorFixture.h"

#include "controls/DomainSelectGrid.h"
#include "controls/ctrlBindGrid.h"
#include "platform/ui/DataCombo.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/VSFlexGrid.h"

namespace zelk::testing {
namespace {

class ReadOnlyTest : public GridsEditorTest {
protected:
    // Every control of the form and of the user controls inside it that would take an edit.
    void CollectEditable(const Form& form, std::vector<std::string>& out) {
        for (const auto& ptr : form.Controls()) {
            Control* c = ptr.get();
            if (auto* inner = dynamic_cast<Form*>(c)) {
                CollectEditable(*inner, out);
                continue;
            }
            if (c == editor->txtCurrentRecord || c == editor->cmdNavFirst ||
                c == editor->cmdNavPrev || c == editor->cmdNavNext || c == editor->cmdNavLast)
                continue;
            const bool clickable = dynamic_cast<CheckBox*>(c) || dynamic_cast<OptionButton*>(c) ||
                                   dynamic_cast<CommandButton*>(c);
            const bool typeable = dynamic_cast<TextBox*>(c) || dynamic_cast<ComboBox*>(c) ||
                                  dynamic_cast<DataCombo*>(c) || dynamic_cast<ListBox*>(c) ||
                                  dynamic_cast<VSFlexGrid*>(c);
            if ((clickable && c->Enabled()) || (typeable && c->Enabled() && !c->Locked()))
                out.push_back(form.Name() + "." + c->Name());
        }
    }
};

TEST_F(ReadOnlyTest, EveryPageIsLockedAndTheCloseNeverAsks) {
    long id = FindRecord(Has("managed_area_owner") + " AND " + Has("managed_area_county") +
                         " AND " + Has("element_managed_area"));
    host->Db()->Execute("UPDATE app_user SET access_level = 'R' WHERE user_name = 'ann'");
    auto& ed = OpenEditor(id);
    for (int p = 0; p < editor::PageCount; ++p)
        ShowPage(p);
    std::vector<std::string> editable;
    CollectEditable(ed, editable);
    EXPECT_TRUE(editable.empty()) << ::testing::PrintToString(editable);

    // What a user would try, page by page: nothing reaches the record.
    ShowPage(editor::PageIdentifiers);
    EXPECT_FALSE(ed.ctlMAName->UserType("Typed Anyway"));
    EXPECT_FALSE(ed.txtMACodeBCD->UserType("X-1"));
    VSFlexGrid& owners = ed.flexOwners->Grid();
    EXPECT_FALSE(owners.UserEdit(1, owners.ColIndex("OwnerName"), "Someone Else"));
    owners.UserKeyDown(key::Delete);
    ShowPage(editor::PageLocators);
    EXPECT_FALSE(ed.ctlCounty->Grid().UserToggleCheck(1, 0));
    EXPECT_FALSE(ed.txtLatitude->UserType("40-00-00N"));
    ShowPage(editor::PageDescriptors);
    const int before = ed.chkContiguous->Value();
    ed.chkContiguous->UserClick();
    EXPECT_EQ(ed.chkContiguous->Value(), before);
    ShowPage(editor::PageLegalProtection);
    EXPECT_FALSE(ed.cboProtectionLevel->UserPick(0));
    ShowPage(editor::PageManagement);
    EXPECT_FALSE(ed.cboPublicAccess->UserPick(0));

    EXPECT_FALSE(ed.ManagedAreaObject()->HasChanges());
    EXPECT_EQ(ed.ManagedAreaObject()->Children(bo::ChildList::Owners).Count(),
              LoadManagedArea(id)->Children(bo::ChildList::Owners).Count());
    EXPECT_TRUE(ed.CanClose());
    EXPECT_TRUE(ui->Messages().empty());

    // The next record is locked as its pages fill again.
    ed.LoadData(FirstId("SELECT managed_area_id FROM ma WHERE managed_area_id <> " +
                        std::to_string(id) + " LIMIT 1"));
    ShowPage(editor::PageVersionQC);
    editable.clear();
    CollectEditable(ed, editable);
    EXPECT_TRUE(editable.empty()) << ::testing::PrintToString(editable);
}

TEST_F(ReadOnlyTest, AnEditorTypesAsBefore) {
    auto& ed = OpenEditor(FirstId("SELECT managed_area_id FROM ma LIMIT 1"));
    EXPECT_TRUE(ed.ctlMAName->UserType("Typed By An Editor"));
    ShowPage(editor::PageDescriptors);
    EXPECT_TRUE(ed.chkContiguous->Enabled());
    EXPECT_FALSE(ed.txtTotalAcres->Locked());
}

} // namespace
} // namespace zelk::testing
