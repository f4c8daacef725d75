#include "search/SearchFixture.h"
#include "support/FaultInjector.h"

#include "platform/ui/StdControls.h"

namespace zelk::search::test {
namespace {

using zelk::testing::LooksLikeSql;

class SearchBadInput : public SearchTest {
protected:
    long ListCount() { return host->WorkingList()->RecordCount(); }
    void ClickEveryResultCommand() {
        for (const char* b : {"cmdSelectAll", "cmdDeselectAll", "cmdAddToList", "cmdDetails",
                              "cmdSelectAll", "cmdAddToList"}) {
            EXPECT_EQ(zelk::testing::ErrorOf([&] { Click(b); }), 0) << b;
            for (const auto& m : ui->Messages())
                EXPECT_FALSE(LooksLikeSql(m)) << b << ": " << m;
        }
    }
};

TEST_F(SearchBadInput, AnEmptyResultGridAndAnIdPast32BitsAreHandledSoundly) {
    InitFramed();
    // Nothing found: every command on the results does nothing, the list stays as it was.
    const long before = ListCount();
    Type("txtManagedAreaName", "no such area anywhere");
    Click("cmdFindNow");
    EXPECT_EQ(Count(), "0");
    EXPECT_EQ(Grid().Rows(), Grid().FixedRows());
    ui->ClearLog();
    ClickEveryResultCommand();
    EXPECT_EQ(ListCount(), before);
    EXPECT_TRUE(ui->Messages().empty()) << ui->Messages().front();

    // An area whose ID does not fit 32 bits is listed with its full ID, never a wrapped one.
    host->Db()->ExecScript("INSERT INTO shape (shape_id, has_shape_ind) VALUES (5000000000, 'N');"
                           "INSERT INTO ma (managed_area_id, shape_id, managed_area_name) VALUES "
                           "(5000000000, 5000000000, 'Far Horizon Fen');");
    Type("txtManagedAreaName", "far horizon");
    ui->ClearLog();
    Click("cmdFindNow");
    for (const auto& m : ui->Messages())
        EXPECT_FALSE(LooksLikeSql(m)) << m;
    // Found and listed in full; the commands that would carry it on refuse it.
    ASSERT_EQ(Count(), "1");
    EXPECT_EQ(Grid().TextMatrix(Grid().FixedRows(), 0), "5000000000");
    ui->ClearLog();
    ClickEveryResultCommand();
    EXPECT_FALSE(ui->Messages().empty()) << "the refusal is reported";
    // The list cannot hold the ID: it is refused, and no half-filled row stays behind.
    EXPECT_EQ(ListCount(), before);
    auto list = host->WorkingList();
    for (list->MoveFirst(); !list->EOF(); list->MoveNext()) {
        EXPECT_FALSE(list->Value("ID").IsNull()) << "a row without an ID";
        EXPECT_NE(TextOf(list->Value("ID")), "705032704") << "a wrapped ID";
    }
    // Typed into the ID box it is no record ID.
    Click("mnuFileNew");
    Type("txtManagedAreaID", "5000000000");
    ui->ClearLog();
    Click("cmdFindNow");
    ASSERT_EQ(ui->Messages().size(), 1u);
    EXPECT_EQ(Count(), "0");
}

} // namespace
} // namespace zelk::search::test
