#include "SearchFixture.h"

#include "platform/ProgIdRegistry.h"
#include "platform/ui/Form.h"
#include "search/frmModalSearch.h"
#include "zelk/ManagedAreaDetails.h"

namespace zelk::search::test {
namespace {

// The editor as the modal details window drives it: it remembers what it was asked to load;
// for a new record it answers a temporary negative ID, as the record editor does, and holds
// the real one only once the user has saved the record (`save`, run inside the window).
class EditorStandIn : public UserControl {
public:
    static inline std::vector<long> loaded;
    static inline long current = 0;

    EditorStandIn() : UserControl("", "EditorStandIn") {
        DefineMethod("InitModalDetails", [](Args&) { return Variant(); });
        DefineMethod("LoadData", [](Args& a) {
            current = CLng(Arg(a, 0));
            loaded.push_back(current);
            return Variant();
        });
        DefineMethod("NewData", [](Args&) {
            current = -3;
            return Variant(static_cast<int>(current));
        });
        DefineMethod("GetID", [](Args&) { return Variant(static_cast<int>(current)); });
        DefineMethod("CanClose", [](Args&) { return Variant(true); });
        DefineMethod("Deactivate", [](Args&) { return Variant(); });
    }
};

class ModalDialogsTest : public SearchTest {
protected:
    void SetUp() override {
        SearchTest::SetUp();
        // Each host registers the real editor again when it opens.
        ProgIdRegistry::Instance().Register(kEditor,
                                            [] { return std::make_shared<EditorStandIn>(); });
        EditorStandIn::loaded.clear();
    }
    void TearDown() override {
        ProgIdRegistry::Instance().Unregister(kEditor);
        SearchTest::TearDown();
    }
    static constexpr const char* kEditor = "ZELK_ManagedArea.ManagedAreaDetails";
};

ScriptedUiDriver::ModalAction Close() {
    return [](Form& f) { f.Hide(); };
}

TEST_F(ModalDialogsTest, ModalDetailsAndNewUseTheDetailWindow) {
    window->SetIcon("find.ico");
    auto caller = host->App()->GetPrototypeRSForView("MGA");
    search->InitModalSearch(host->App(), caller, "");
    Type("txtManagedAreaName", "oak");
    Click("cmdFindNow");
    auto ids = GridIds();
    Grid().UserSelect(3, 1);
    ui->QueueModal("frmModalDetail", [](Form& f) {
        EXPECT_EQ(f.Icon(), "find.ico");
        f.Hide();
    });
    Click("cmdDetails");
    EXPECT_EQ(EditorStandIn::loaded, std::vector<long>{ids[2]});
    EXPECT_TRUE(host->WinMan()->Requests().empty()) << "no window manager in modal use";

    // A new record saved in the window joins the results as the last, current row.
    ui->QueueModal("frmModalDetail", [this](Form& f) {
        EXPECT_EQ(EditorStandIn::current, -3) << "the new record has its temporary ID";
        host->Db()->Execute("INSERT INTO shape (has_shape_ind) VALUES ('N')");
        long shape = static_cast<long>(host->Db()->LastInsertId());
        host->Db()->Execute("INSERT INTO ma (shape_id, managed_area_name, managed_area_type) "
                            "VALUES (?, 'Zz New Oak Fen', 'Fen')",
                            {Variant(static_cast<int>(shape))});
        EditorStandIn::current = static_cast<long>(host->Db()->LastInsertId());
        f.Hide();
    });
    Click("cmdNew");
    auto after = GridIds();
    ASSERT_EQ(after.size(), ids.size() + 1);
    const long last = Grid().Rows() - 1;
    EXPECT_EQ(Grid().Row(), last);
    EXPECT_EQ(Grid().TextMatrix(last, 1), "Zz New Oak Fen");
    EXPECT_EQ(Count(), std::to_string(after.size()));
    EXPECT_GT(after.back(), 500);

    // Closed without saving: the temporary ID stands for no record, and nothing joins.
    ui->QueueModal("frmModalDetail", Close());
    Click("cmdNew");
    EXPECT_EQ(GridIds(), after);
}

TEST_F(ModalDialogsTest, ViewSearchSqlShowsTheStatement) {
    InitFramed();
    std::string shown;
    auto capture = [&shown](Form& f) {
        shown = f.Get<TextBox>("txtSQL").Text();
        f.Get<Control>("cmdOK").UserClick();
    };
    ui->QueueModal("frmSQL", capture);
    Click("mnuOptionsViewSQL");
    EXPECT_EQ(shown, "SELECT UNIQUE * FROM managed_area_wl_vw ORDER BY managed_area_wl_vw.id");
    Type("txtManagedAreaName", "oak");
    ui->QueueModal("frmSQL", capture);
    Click("mnuOptionsViewSQL");
    EXPECT_EQ(shown, search->BuildSearchSQL());
    // A bad ID: told, and the window shows nothing to run.
    Type("txtManagedAreaID", "x");
    ui->QueueModal("frmSQL", capture);
    Click("mnuOptionsViewSQL");
    EXPECT_EQ(shown, "");
    EXPECT_EQ(ui->Messages().back(), "The managed area ID must be a whole number.");
}

TEST_F(ModalDialogsTest, TheModalSearchWindowFindsOnReturnAndCancelsOnEscape) {
    auto caller = host->App()->GetPrototypeRSForView("MGA");
    std::vector<long> oaks;
    auto pick = [&](const std::function<void(Form&, Form&)>& act) {
        auto dlg = std::make_shared<frmModalSearch>();
        RecordsetPtr rs = caller;
        EXPECT_TRUE(dlg->InitDialog("ZELK_ManagedArea.ManagedAreaSearch", host->App(), rs, ""));
        dlg->UseSelectedRecordset(true);
        ui->QueueModal("frmModalSearch",
                       [&](Form& f) { act(f, dynamic_cast<Form&>(*dlg->HostedControl())); });
        dlg->Show(true);
        EXPECT_FALSE(dlg->Visible());
        dlg->Unload();
    };

    pick([&oaks](Form& window, Form& s) {
        auto& name = s.Get<TextBox>("txtManagedAreaName");
        ASSERT_TRUE(name.SetFocus());
        name.UserType("oak");
        EXPECT_EQ(window.UserKeyDownFocused(key::Return), 0) << "the search's default button";
        auto& grid = s.Get<VSFlexGrid>("flexResults");
        ASSERT_GT(grid.Rows(), 3);
        for (long r = 1; r < grid.Rows(); ++r)
            oaks.push_back(CLng(Variant(grid.TextMatrix(r, 0))));
        grid.UserSelectRows({1, 3});
        s.Get<CommandButton>("cmdOK").UserClick();
    });
    ASSERT_GE(oaks.size(), 3u);
    EXPECT_EQ(Ids(*caller), (std::vector<long>{oaks[0], oaks[2]}));

    // Escape answers Cancel: the caller's recordset keeps what the last OK gave it.
    pick([](Form& window, Form& s) {
        auto& name = s.Get<TextBox>("txtManagedAreaName");
        ASSERT_TRUE(name.SetFocus());
        name.UserType("oak");
        window.UserKeyDownFocused(key::Return);
        s.Get<VSFlexGrid>("flexResults").UserSelectRows({2});
        EXPECT_EQ(window.UserKeyDownFocused(key::Escape), 0);
    });
    EXPECT_EQ(Ids(*caller), (std::vector<long>{oaks[0], oaks[2]}));
}

// The search in modal use with the record editor itself in the detail window, as the host
// registers it.
using ModalNewRecordTest = SearchTest;

TEST_F(ModalNewRecordTest, TheRecordSavedInTheEditorIsTheRowReturnedAndCancellingAddsNothing) {
    auto caller = host->App()->GetPrototypeRSForView("MGA");
    search->InitModalSearch(host->App(), caller, "");
    search->UseSelectedRecordset(true);
    Type("txtManagedAreaName", "oak");
    Click("cmdFindNow");
    const auto ids = GridIds();
    ASSERT_FALSE(ids.empty());
    auto areas = [this] { return CLng(Scalar("SELECT COUNT(*) FROM ma")); };
    const long before = areas();
    auto editorIn = [](Form& f) {
        auto* e = dynamic_cast<editor::ManagedAreaDetails*>(f.Find("ModalDetail"));
        EXPECT_NE(e, nullptr);
        return e;
    };

    ui->QueueModal("frmModalDetail", [&](Form& f) {
        auto* e = editorIn(f);
        if (!e) return;
        EXPECT_LT(e->GetID(), 0) << "a new record";
        e->ctlMAName->UserType("Zz Oak Fen Made Here");
        e->mnuFileSave->UserClick();
        EXPECT_TRUE(ui->Messages().empty()) << ui->Messages().front();
        e->mnuFileClose->UserClick();
        EXPECT_FALSE(f.Visible());
    });
    Click("cmdNew");
    ASSERT_EQ(areas(), before + 1);
    const long made = CLng(Scalar("SELECT managed_area_id FROM ma WHERE managed_area_name = "
                                  "'Zz Oak Fen Made Here'"));
    auto expected = ids;
    expected.push_back(made);
    EXPECT_EQ(GridIds(), expected);
    const long last = Grid().Rows() - 1;
    EXPECT_EQ(Grid().Row(), last);
    EXPECT_EQ(Grid().TextMatrix(last, 1), "Zz Oak Fen Made Here");
    EXPECT_EQ(Count(), std::to_string(expected.size()));
    EXPECT_TRUE(search->Get<CommandButton>("cmdOK").Enabled());
    Click("cmdOK");
    EXPECT_EQ(Ids(*caller), std::vector<long>{made}) << "the new record is the row returned";

    // Typed but not saved: closing the window and declining to save creates nothing.
    ui->QueueModal("frmModalDetail", [&](Form& f) {
        auto* e = editorIn(f);
        if (!e) return;
        e->ctlMAName->UserType("Zz Never Saved");
        ui->QueueAnswer(vb::No);
        EXPECT_TRUE(f.Unload(0));
    });
    Click("cmdNew");
    EXPECT_EQ(areas(), before + 1);
    EXPECT_EQ(GridIds(), expected);
    EXPECT_EQ(CLng(Scalar("SELECT COUNT(*) FROM ma WHERE managed_area_name = 'Zz Never Saved'")),
              0);
    // Closed from the editor's menu: the window asks about the unsaved new record as it
    // unloads, and No leaves nothing behind either.
    ui->QueueModal("frmModalDetail", [&](Form& f) {
        if (auto* e = editorIn(f)) e->mnuFileClose->UserClick();
        ui->QueueAnswer(vb::No);
    });
    Click("cmdNew");
    EXPECT_EQ(areas(), before + 1);
    EXPECT_EQ(GridIds(), expected);
}

} // namespace
} // namespace zelk::search::test
