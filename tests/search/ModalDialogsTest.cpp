#include "SearchFixture.h"

#include "platform/ProgIdRegistry.h"
#include "platform/ui/Form.h"
#include "search/frmModalSearch.h"

namespace zelk::search::test {
namespace {

// The editor as the modal details window drives it: it remembers what it was asked to load
// and, for a new record, writes one and answers its ID.
class EditorStandIn : public UserControl {
public:
    static inline std::vector<long> loaded;
    static inline std::function<long()> create;

    EditorStandIn() : UserControl("", "EditorStandIn") {
        DefineMethod("InitModalDetails", [](Args&) { return Variant(); });
        DefineMethod("LoadData", [](Args& a) {
            loaded.push_back(CLng(Arg(a, 0)));
            return Variant();
        });
        DefineMethod("NewData", [](Args&) { return Variant(static_cast<int>(create())); });
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

    // A new record joins the results as the last, current row.
    EditorStandIn::create = [this] {
        host->Db()->Execute("INSERT INTO shape (has_shape_ind) VALUES ('N')");
        long shape = static_cast<long>(host->Db()->LastInsertId());
        host->Db()->Execute("INSERT INTO ma (shape_id, managed_area_name, managed_area_type) "
                            "VALUES (?, 'Zz New Oak Fen', 'Fen')",
                            {Variant(static_cast<int>(shape))});
        return static_cast<long>(host->Db()->LastInsertId());
    };
    ui->QueueModal("frmModalDetail", Close());
    Click("cmdNew");
    auto after = GridIds();
    ASSERT_EQ(after.size(), ids.size() + 1);
    const long last = Grid().Rows() - 1;
    EXPECT_EQ(Grid().Row(), last);
    EXPECT_EQ(Grid().TextMatrix(last, 1), "Zz New Oak Fen");
    EXPECT_EQ(Count(), std::to_string(after.size()));
    EXPECT_GT(after.back(), 500);

    // Cancelled in the editor: nothing joins.
    EditorStandIn::create = [] { return -1L; };
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

} // namespace
} // namespace zelk::search::test
