#include "SearchFixture.h"

#include "platform/FetchProgress.h"

#include <chrono>

namespace zelk::search::test {
namespace {

// A search over the sample reads its rows in steps of 50, on a clock that moves a tenth of a
// second each time it is read: long enough to show progress after a few steps.
class ProgressTest : public SearchTest {
protected:
    void SetUp() override {
        SearchTest::SetUp();
        FetchProgress::SetInterval(50);
    }
    void TearDown() override {
        FetchProgress::SetClock({});
        FetchProgress::SetInterval(1000);
        SearchTest::TearDown();
    }
    void SlowClock() {
        FetchProgress::SetClock([t = FetchProgress::TimePoint{}]() mutable {
            t += std::chrono::milliseconds(100);
            return t;
        });
    }
    void FrozenClock() {
        FetchProgress::SetClock([] { return FetchProgress::TimePoint{}; });
    }
    // Every cell of the results grid, row by row.
    std::vector<std::string> Cells() {
        std::vector<std::string> out;
        for (long r = 0; r < Grid().Rows(); ++r)
            for (long c = 0; c < Grid().Cols(); ++c)
                out.push_back(Grid().TextMatrix(r, c));
        return out;
    }
    std::vector<long> SelectedRows() {
        std::vector<long> out;
        for (long i = 0; i < Grid().SelectedRows(); ++i)
            out.push_back(Grid().SelectedRow(i));
        return out;
    }
    std::vector<long> ProgressCounts() {
        std::vector<long> out;
        for (const auto& e : ui->Log())
            if (e.kind == "Progress") out.push_back(e.answer);
        return out;
    }
    long Logged(const std::string& kind) {
        long n = 0;
        for (const auto& e : ui->Log())
            n += e.kind == kind;
        return n;
    }
    // "F&ind Now" with no criteria, answering Yes to the question whether to find everything.
    void FindEverything() {
        Type("txtManagedAreaName", "");
        ui->QueueAnswer(vb::Yes);
        Click("cmdFindNow");
    }
};

TEST_F(ProgressTest, AStoppedSearchLeavesResultsCountAndWorkingListAsTheyWere) {
    InitFramed();
    RecordsetPtr list = host->WorkingList();

    // A quick search shows no progress at all.
    FrozenClock();
    FindEverything();
    const long everything = Grid().Rows() - 1;
    ASSERT_GT(everything, 300);
    EXPECT_EQ(Logged("Progress"), 0);
    EXPECT_EQ(Logged("EndProgress"), 0);

    // The results the person is working with: a name search, two rows chosen, one added.
    Type("txtManagedAreaName", "oak");
    Click("cmdFindNow");
    ASSERT_GT(Grid().Rows(), 5);
    Grid().UserSelectRows({2, 4});
    Click("cmdAddToList");
    Grid().SetTopRow(3);
    const auto cells = Cells();
    const auto selected = SelectedRows();
    const std::string count = Count();
    const auto listIds = Ids(*list);
    const long row = Grid().Row(), topRow = Grid().TopRow();
    const bool okEnabled = search->Get<CommandButton>("cmdOK").Enabled();
    ASSERT_EQ(selected, (std::vector<long>{2, 4}));
    ASSERT_EQ(listIds.size(), 2u);

    // A slow search: silent for half a second, then the rows read so far until the person
    // stops it.
    SlowClock();
    ui->ClearLog();
    ui->QueueCancelProgressAt(300);
    FindEverything();
    EXPECT_EQ(ProgressCounts(), (std::vector<long>{250, 300}));
    EXPECT_EQ(Logged("EndProgress"), 1);
    EXPECT_TRUE(ui->Messages().size() == 1) << "only the question, no error";
    EXPECT_EQ(Cells(), cells);
    EXPECT_EQ(Count(), count);
    EXPECT_EQ(SelectedRows(), selected);
    EXPECT_EQ(Grid().Row(), row);
    EXPECT_EQ(Grid().TopRow(), topRow);
    EXPECT_EQ(search->Get<CommandButton>("cmdOK").Enabled(), okEnabled);
    EXPECT_EQ(Ids(*list), listIds);

    // The stopped search left nothing behind: the next one, left to run, shows progress to
    // its end and finds everything.
    ui->ClearLog();
    FindEverything();
    EXPECT_EQ(Grid().Rows() - 1, everything);
    EXPECT_EQ(Count(), std::to_string(everything));
    auto counts = ProgressCounts();
    ASSERT_FALSE(counts.empty());
    EXPECT_EQ(counts.front(), 250);
    EXPECT_EQ(counts.back(), everything / 50 * 50);
    EXPECT_EQ(Logged("EndProgress"), 1);
    EXPECT_EQ(Ids(*list), listIds) << "a search never touches the working list";
}

} // namespace
} // namespace zelk::search::test
