// A user who may only read: nothing on any page takes an edit, so nothing can be lost at close.
#include "editor/EditorFixture.h"

#include "controls/DomainSelectGrid.h"
#include "controls/ctrlBindGrid.h"
#include "host/data/PgDataService.h"
#include "host/security/Users.h"
#include "platform/ui/DataCombo.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/VSFlexGrid.h"

#include <optional>
#include <unistd.h>

namespace zelk::testing {
namespace {

class ReadOnlyTest : public GridsEditorTest {
protected:
    // The fixture's user may only read from now on. On a server that is a login of its own
    // (the fixture's user is a superuser there), added by the administrator and signed in
    // with a host of its own; its name carries this run's prefix and goes at the end.
    void BecomeReader() {
        if (!OnPostgres()) {
            host::security::UserDirectory(*host->Db())
                .Set("ann", host::security::Access::Read, std::nullopt);
            return;
        }
        reader = "zro" + std::to_string(getpid()) + "_reader";
        host::security::UserDirectory(*host->Db()).Add(reader, host::security::Access::Read, "");
        const std::string url = CStr(host->App()->Call("GetServerName"));
        host = host::ReferenceHost::Open(
            {host::PgDataService::WithUser(url, reader), "", 0, 1, false, true});
        ASSERT_EQ(host->App()->AccessLevel(), "R");
    }
    void TearDown() override {
        GridsEditorTest::TearDown();
        if (reader.empty()) return;
        try {
            host::PgDataService::Administer(PgServerUrl(), "DROP ROLE IF EXISTS " + reader);
        } catch (const ComError&) {
            // Left behind, it goes with the throw-away cluster.
        }
    }
    std::string reader;

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
    BecomeReader();
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
