#include "injection/InjectionFixture.h"

#include "editor/EditorFixture.h"

#include "controls/ctrlBindGrid.h"
#include "platform/ui/VSFlexGrid.h"

#include <cstdio>

namespace zelk::testing {
namespace {

class EditorInjection : public GridsEditorTest {
protected:
    std::string Column(long id, const std::string& column) {
        auto rs = host->Db()->Query("SELECT " + column + " FROM ma WHERE managed_area_id = ?",
                                    {Variant(static_cast<int>(id))});
        Variant v = rs->GetFields().Item(std::size_t{0}).Value();
        return v.IsNull() ? std::string() : CStr(v);
    }
    long AliasRows(long id, const std::string& alias) {
        auto rs = host->Db()->Query(
            "SELECT COUNT(*) FROM managed_area_alias WHERE managed_area_id = ? AND "
            "managed_area_alias = ?",
            {Variant(static_cast<int>(id)), Variant(alias)});
        return CLng(rs->GetFields().Item(std::size_t{0}).Value());
    }
    // Everything but what a save of this record may change: its own row and child rows,
    // and the audit trail of the save.
    std::string Others(long id) {
        const std::string own = "managed_area_id <> " + std::to_string(id);
        return DatabaseSnapshot(
            *host->Db(), {{"ma", own},
                          {"managed_area_alias", own},
                          {"shape", "shape_id <> (SELECT shape_id FROM ma WHERE " +
                                        own.substr(0, 16) + " = " + std::to_string(id) + ")"},
                          {"audit_log", "0"},
                          {"change_journal", "0"}});
    }
};

TEST_F(EditorInjection, HostileTextInFieldsThatReachSqlIsSavedLiterallyOrRefusedCleanly) {
    const long id = FindRecord("1 = 1");
    auto& ed = OpenEditor(id);
    const std::string others = Others(id);
    long saved = 0, refused = 0;
    for (const std::string& s : HostileStrings()) {
        ui->ClearLog();
        app->messages.clear();
        ed.tabManagedAreas->UserSelectTab(editor::PageIdentifiers);
        ed.txtMACodeBCD->UserType(s);
        ed.ctlMAName->UserType(s);
        ed.txtOldMACode->UserType(s);
        VSFlexGrid& g = ed.flexMAAlias->Grid();
        g.UserEdit(g.Rows() - 1, g.ColIndex("ManagedAreaAlias"), s);
        const std::string code = ed.txtMACodeBCD->Text(), name = ed.ctlMAName->Text();
        const std::string alias = g.TextMatrix(g.Rows() - 2, g.ColIndex("ManagedAreaAlias"));
        ed.mnuFileSave->UserClick();
        for (const auto& m : ui->Messages())
            EXPECT_FALSE(ShowsSql(m, s)) << Shown(s) << ": " << m;
        if (ui->Messages().empty()) {
            ++saved;
            EXPECT_EQ(Column(id, "macode_bcd"), Trim(code).empty() ? "" : code) << Shown(s);
            EXPECT_EQ(Column(id, "managed_area_name"), Trim(name).empty() ? "" : name) << Shown(s);
            if (!Trim(alias).empty()) {
                EXPECT_GE(AliasRows(id, alias), 1) << Shown(s);
            }
        } else {
            ++refused;
            // The user was told; what is on screen stays for them to correct.
            EXPECT_EQ(ed.txtMACodeBCD->Text(), code) << Shown(s);
            // Drop the edits so the next text starts from the stored record.
            ed.LoadData(id);
        }
        ASSERT_EQ(Others(id), others) << "another record changed after " << Shown(s);
    }
    std::printf("[ injection ] editor: %zu strings, %ld saved, %ld refused with a message\n",
                HostileStrings().size(), saved, refused);
    EXPECT_GT(saved, 150);
}

} // namespace
} // namespace zelk::testing
