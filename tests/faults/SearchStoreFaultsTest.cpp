#include "search/SearchFixture.h"
#include "support/FaultInjector.h"

#include <cstdio>

namespace zelk::search::test {
namespace {

using zelk::testing::DatabaseSnapshot;
using zelk::testing::Fault;
using zelk::testing::FaultInjector;
using zelk::testing::LooksLikeSql;
using zelk::testing::SnapshotDiff;

class SearchStoreFaults : public SearchTest {
protected:
    void SetUp() override {
        SearchTest::SetUp();
        faults = std::make_unique<FaultInjector>(host->Db());
    }
    void TearDown() override {
        faults.reset();
        SearchTest::TearDown();
    }
    std::string Snapshot() {
        faults->Off();
        return DatabaseSnapshot(*host->Db());
    }
    // A failure before a dialog or question came up leaves its answer queued; the person
    // simply never saw it.
    void ForgetUnusedAnswers() {
        if (!ui->PendingAnswers()) return;
        ui = std::make_shared<ScriptedUiDriver>();
        ui->SetFailureHandler([](const std::string& what) { ADD_FAILURE() << what; });
        SetUiDriver(ui);
    }
    long Stored(const std::string& name) {
        return CLng(Scalar("SELECT count(*) FROM user_option WHERE option_name = '" + name + "'"));
    }
    std::string Value(const std::string& name) {
        auto rs = host->Db()->Query("SELECT option_value FROM user_option WHERE option_name = ?",
                                    {Variant(name)});
        return rs->EOF() ? std::string() : CStr(rs->GetFields().Item(std::size_t{0}).Value());
    }
    std::unique_ptr<FaultInjector> faults;
};

TEST_F(SearchStoreFaults, StoringANamedSearchFailingAtAnyStatementStoresAllOrNothing) {
    InitFramed();
    long points = 0;
    long n = 1;
    for (; n < 200; ++n) {
        const std::string name = "Pond " + std::to_string(n);
        Type("txtManagedAreaName", "criterion " + std::to_string(n));
        const std::string before = Snapshot();
        ui->ClearLog();
        faults->FailAt(n, static_cast<Fault>(n % 3));
        ui->QueueModal("frmUserSearchSaveOpen", [name](Form& f) {
            f.Get<TextBox>("txtSearchName").SetText(name);
            f.Get<Control>("cmdSave").UserClick();
        });
        Click("mnuFileSaveSearchAs");
        const bool fired = faults->Fired();
        faults->Off();
        const auto shown = ui->Messages();
        ForgetUnusedAnswers();
        if (!fired) break;
        ++points;
        EXPECT_FALSE(shown.empty()) << n << " " << faults->FailedStatement();
        for (const auto& m : shown)
            EXPECT_FALSE(LooksLikeSql(m)) << m;
        if (Stored(name) == 1) {
            EXPECT_NE(Value(name).find("criterion " + std::to_string(n)), std::string::npos);
        } else {
            EXPECT_EQ(Snapshot(), before) << n << " (" << faults->FailedStatement()
                                          << "): " << SnapshotDiff(before, Snapshot());
            // The control stays usable and the retry stores the search.
            ui->ClearLog();
            ui->QueueModal("frmUserSearchSaveOpen", [name](Form& f) {
                f.Get<TextBox>("txtSearchName").SetText(name);
                f.Get<Control>("cmdSave").UserClick();
            });
            Click("mnuFileSaveSearchAs");
            EXPECT_TRUE(ui->Messages().empty()) << ui->Messages().front();
            EXPECT_EQ(Stored(name), 1) << n;
        }
        EXPECT_EQ(search->SearchName(), name) << n;
    }
    EXPECT_LT(n, 200);
    EXPECT_GE(points, 1);
    std::printf("[ fault points ] saved search store: %ld\n", points);

    // Overwriting the open search under a fault keeps the old value whole.
    const std::string name = search->SearchName();
    const std::string old = Value(name);
    Type("txtManagedAreaName", "replacement");
    long overwritePoints = 0;
    for (long k = 1; k < 50; ++k) {
        ui->ClearLog();
        faults->FailAt(k, Fault::DiskFull);
        Click("mnuFileSaveSearch");
        const bool fired = faults->Fired();
        faults->Off();
        if (!fired) break;
        ++overwritePoints;
        EXPECT_FALSE(ui->Messages().empty());
        const std::string now = Value(name);
        EXPECT_TRUE(now == old || now.find("replacement") != std::string::npos) << now;
    }
    EXPECT_NE(Value(name).find("replacement"), std::string::npos);
    std::printf("[ fault points ] saved search overwrite: %ld\n", overwritePoints);
}

} // namespace
} // namespace zelk::search::test
