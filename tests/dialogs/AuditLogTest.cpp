#include "support/ScriptedUi.h"
#include "support/TestBackend.h"

#include "dialogs/frmAuditLog.h"
#include "host/ReferenceHost.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"

namespace zelk::testing {
namespace {

using dialogs::frmAuditLog;

constexpr long kGrey = 192 + 192 * 256 + 192 * 65536;
constexpr long kWhite = 0xFFFFFF;

class AuditLogTest : public ScriptedUiTest {
protected:
    void SetUp() override {
        ScriptedUiTest::SetUp();
        host = host::ReferenceHost::Open(
            zelk::testing::OnTestBackend(host::HostOptions{":memory:", "ann", 20, 5, true, false}));
        id = CLng(host->Db()->Query("SELECT MIN(managed_area_id) AS id FROM ma")->Value("id"));
        originalName =
            CStr(host->Db()
                     ->Query("SELECT managed_area_name FROM ma WHERE managed_area_id = ?",
                             {Variant(static_cast<int>(id))})
                     ->Value("managed_area_name"));
        // An edit of two columns, as a save writes it: one audit entry per column.
        host->Db()->Execute("UPDATE ma SET managed_area_name = 'First Name', managed_area_desc = "
                            "'A long description of the area that needs more than one line "
                            "when the column wraps its text' WHERE managed_area_id = ?",
                            {Variant(static_cast<int>(id))});
        host->Db()->Execute("UPDATE ma SET managed_area_name = 'Second Name' WHERE "
                            "managed_area_id = ?",
                            {Variant(static_cast<int>(id))});
        host->Db()->Execute("UPDATE ma SET managed_area_desc = 'Short' WHERE managed_area_id = ?",
                            {Variant(static_cast<int>(id))});
    }
    std::shared_ptr<frmAuditLog> Open(const std::string& column, long recordId) {
        auto dlg = std::make_shared<frmAuditLog>();
        dlg->Load();
        dlg->LoadAuditData("MA", recordId, host->App(), column);
        return dlg;
    }
    // The data row whose Column and Old Value cells are these.
    static long RowOf(VSFlexGrid& g, const std::string& column, const std::string& oldValue) {
        for (long r = 1; r < g.Rows(); ++r)
            if (g.TextMatrix(r, 5) == column && g.TextMatrix(r, 6) == oldValue) return r;
        return -1;
    }
    std::unique_ptr<host::ReferenceHost> host;
    long id = 0;
    std::string originalName;
};

TEST_F(AuditLogTest, ListsTheHistoryGreyWithCommentsOpenOnColumnEntries) {
    auto dlg = Open("", id);
    auto& g = dlg->fgAuditLog();
    EXPECT_EQ(dlg->Caption(), "Audit Log");
    ASSERT_EQ(g.Cols(), 12);
    EXPECT_EQ(g.TextMatrix(0, 6), "Old Value");
    EXPECT_EQ(g.TextMatrix(0, 11), "Column Id");
    EXPECT_TRUE(g.ColHidden(0));
    ASSERT_EQ(g.Rows(), 5); // header, two name edits, two description edits
    // Newest first: the short description replaced the long one.
    EXPECT_EQ(g.TextMatrix(1, 5), "managed_area_desc");
    const long renamed = RowOf(g, "managed_area_name", "First Name");
    ASSERT_GT(renamed, 0);
    EXPECT_EQ(g.TextMatrix(renamed, 2), "ann");
    std::string unit = CStr(host->Db()
                                ->Query("SELECT org_unit_name FROM org_unit JOIN app_user USING "
                                        "(org_unit_id) WHERE user_name = 'ann'")
                                ->Value("org_unit_name"));
    EXPECT_EQ(g.DisplayText(renamed, 9), unit);
    EXPECT_EQ(g.ColComboList(9).back(), '|');
    EXPECT_EQ(g.CellBackColor(renamed, 1), kGrey);
    EXPECT_EQ(g.CellBackColor(renamed, 7), kWhite);
    EXPECT_TRUE(dlg->CommentCollection());

    // Only the comment cell of a column entry takes an edit.
    const long first = RowOf(g, "managed_area_name", originalName);
    ASSERT_GT(first, 0);
    EXPECT_FALSE(g.UserEdit(renamed, 6, "changed"));
    ASSERT_TRUE(g.UserEdit(renamed, 7, "Renamed after the survey"));
    ASSERT_TRUE(g.UserEdit(renamed, 7, "Renamed after the 2021 survey"));
    EXPECT_EQ(CLng(dlg->CommentCollection()->Get("Count")), 1);
    ASSERT_TRUE(g.UserEdit(first, 7, "Typo fixed"));
    EXPECT_EQ(CLng(dlg->CommentCollection()->Get("Count")), 2);

    // With a narrower column, word wrap makes the long old value take more lines.
    const long longRow = 1;
    g.SetColWidth(6, 1500);
    const long plain = g.RowHeight(longRow);
    dlg->chkWordWrap().UserClick();
    EXPECT_GT(g.RowHeight(longRow), plain);

    dlg->cmdOk().UserClick();
    EXPECT_FALSE(dlg->Visible());
    dlg->Unload();
    EXPECT_FALSE(dlg->CommentCollection());

    // The comments are stored and shown next time.
    auto again = Open("managed_area_name", id);
    auto& a = again->fgAuditLog();
    ASSERT_EQ(a.Rows(), 3);
    const long shownAgain = RowOf(a, "managed_area_name", "First Name");
    ASSERT_GT(shownAgain, 0);
    EXPECT_EQ(a.TextMatrix(shownAgain, 7), "Renamed after the 2021 survey");
    EXPECT_EQ(a.TextMatrix(RowOf(a, "managed_area_name", originalName), 7), "Typo fixed");

    // Cancel keeps nothing.
    ASSERT_TRUE(a.UserEdit(shownAgain, 7, "Never stored"));
    again->cmdCancel().UserClick();
    again->Unload();
    auto third = Open("managed_area_name", id);
    EXPECT_EQ(third->fgAuditLog().TextMatrix(shownAgain, 7), "Renamed after the 2021 survey");
    EXPECT_TRUE(ui->Messages().empty()) << ui->Messages().front();
}

TEST_F(AuditLogTest, AnEmptyHistoryShowsTheHeaderAndOkJustCloses) {
    auto dlg = Open("", 987654);
    EXPECT_EQ(dlg->fgAuditLog().Rows(), 1);
    EXPECT_EQ(dlg->fgAuditLog().TextMatrix(0, 1), "Date");
    EXPECT_FALSE(dlg->CommentCollection());
    dlg->Show();
    dlg->cmdOk().UserClick();
    EXPECT_FALSE(dlg->Visible());

    // Inserted rows carry no column: they stay grey and take no comment.
    long fresh = CLng(host->Db()->Query("SELECT MAX(managed_area_id) AS id FROM ma")->Value("id"));
    host->Db()->Execute("INSERT INTO managed_area_alias (managed_area_id, managed_area_alias) "
                        "VALUES (?, 'Old Mill')",
                        {Variant(static_cast<int>(fresh))});
    auto inserted = Open("", fresh);
    auto& g = inserted->fgAuditLog();
    ASSERT_GE(g.Rows(), 2);
    EXPECT_EQ(g.TextMatrix(1, 11), "");
    EXPECT_EQ(g.CellBackColor(1, 7), kGrey);
    EXPECT_FALSE(g.UserEdit(1, 7, "no"));

    // A comment the store refuses: told, and the window stays open for another try.
    auto tooLong = Open("managed_area_name", id);
    tooLong->Show();
    ASSERT_TRUE(tooLong->fgAuditLog().UserEdit(1, 7, std::string(4001, 'x')));
    tooLong->cmdOk().UserClick();
    ASSERT_EQ(ui->Messages().size(), 1u);
    EXPECT_EQ(ui->Messages()[0].rfind("Unable to save changes: ", 0), 0u);
    EXPECT_TRUE(tooLong->Visible());
    tooLong->cmdCancel().UserClick();
    tooLong->Unload();

    // The window keeps a usable size.
    inserted->SetWidth(1000);
    inserted->SetHeight(500);
    EXPECT_EQ(inserted->Width(), 4000);
    EXPECT_EQ(inserted->Height(), 1800);
    EXPECT_EQ(g.Left(), 75);
    EXPECT_EQ(inserted->cmdOk().Left() + inserted->cmdOk().Width() + 75,
              inserted->cmdCancel().Left());
}

// The host's application manager, except that the server cannot be named.
class NoServerApp : public Object {
public:
    explicit NoServerApp(ObjectPtr app) : app_(std::move(app)) {}
    std::string TypeName() const override { return "AppManager"; }
    Variant Invoke(std::string_view name, CallKind kind, Args& args) override {
        if (IEquals(name, "GetServerName")) Raise(err::ProviderError, "No server");
        return app_->Invoke(name, kind, args);
    }

private:
    ObjectPtr app_;
};

TEST_F(AuditLogTest, AnIdBeyond32BitsOverflowsAndAFailedLoadUnloadsTheDialog) {
    // Cut to 32 bits, 2^32 + id would be id: its history must not be shown for the other ID.
    const long beyond = (1L << 32) + id;
    EXPECT_EQ(ErrorOf([&] { host->App()->Auditing("MA", beyond, ""); }), err::Overflow);
    auto dlg = std::make_shared<frmAuditLog>();
    dlg->Load();
    EXPECT_EQ(ErrorOf([&] { dlg->LoadAuditData("MA", beyond, host->App(), ""); }), err::Overflow);
    EXPECT_FALSE(dlg->IsLoaded());
    EXPECT_EQ(dlg->fgAuditLog().Rows(), frmAuditLog().fgAuditLog().Rows()) << "nothing shown";
    EXPECT_EQ(ErrorOf([&] { dlg->LoadAuditData("MA", -beyond, host->App(), ""); }), err::Overflow);

    // A failure once the history is there: nothing is kept, the dialog is not left loaded.
    auto failing = std::make_shared<frmAuditLog>();
    failing->Load();
    EXPECT_EQ(ErrorOf([&] {
                  failing->LoadAuditData("MA", id, std::make_shared<NoServerApp>(host->App()), "");
              }),
              err::ProviderError);
    EXPECT_FALSE(failing->IsLoaded());
    EXPECT_FALSE(failing->Visible());
    EXPECT_FALSE(failing->CommentCollection());

    // The largest 32-bit ID is still taken.
    auto last = Open("", 2147483647L);
    EXPECT_TRUE(last->IsLoaded());
    EXPECT_EQ(last->fgAuditLog().Rows(), 1);
    EXPECT_TRUE(ui->Messages().empty());
}

} // namespace
} // namespace zelk::testing
