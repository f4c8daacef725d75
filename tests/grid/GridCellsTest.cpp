#include "recordset/AllocationLimit.h"

#include "platform/ui/VSFlexGrid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zelk {
namespace {

std::string Text(long row, int width) {
    std::string s = "area " + std::to_string(row) + " ";
    s.resize(static_cast<std::size_t>(width), 'x');
    return s;
}

// A large grid's cells hold their texts through refills, growing and shrinking rewrites,
// copies of other cells, inserts, removals and sorts; filling it allocates per column, not
// per cell.
TEST(GridCells, ManyRowsKeepTheirTextsAndCostNoAllocationPerCell) {
    VSFlexGrid g("flexResults");
    g.SetCols(2);
    g.SetFixedCols(0);
    constexpr long kRows = 20000;
    std::vector<std::string> texts;
    for (long r = 0; r <= kRows; ++r)
        texts.push_back(Text(r, 40));
    std::size_t calls = 0;
    {
        g.SetRedraw(0); // as a fill from a recordset runs
        testing::AllocationCount count;
        g.SetRows(kRows + 1);
        for (long r = 1; r <= kRows; ++r) {
            g.SetTextMatrix(r, 0, std::to_string(r));
            g.SetTextMatrix(r, 1, texts[static_cast<std::size_t>(r)]);
        }
        calls = count.Calls();
        g.SetRedraw(1);
    }
    EXPECT_LT(calls, 200u) << "filling " << kRows << " rows of two columns";
    EXPECT_EQ(g.TextMatrix(kRows, 1), Text(kRows, 40));

    // Longer texts move each cell, shorter ones stay; what the longer ones leave behind is
    // reclaimed as it builds up, and every cell keeps its own text throughout.
    for (int pass = 0; pass < 3; ++pass)
        for (long r = 1; r <= kRows; ++r)
            g.SetTextMatrix(r, 1, Text(r, r % 2 ? 60 + pass * 20 : 30 - pass * 5));
    for (long r = 1; r <= kRows; ++r)
        ASSERT_EQ(g.CellRef(r, 1), Text(r, r % 2 ? 100 : 20)) << r;
    // A cell set from another cell's text, longer than its own.
    g.SetTextMatrix(2, 1, g.CellRef(1, 1));
    EXPECT_EQ(g.TextMatrix(2, 1), Text(1, 100));
    g.SetTextMatrix(4, 1, "");
    EXPECT_EQ(g.TextMatrix(4, 1), "");
    // A text larger than the blocks texts are packed into, and others after it.
    const std::string huge(3 << 20, 'h');
    g.SetTextMatrix(6, 1, huge);
    g.SetTextMatrix(8, 1, Text(8, 200));
    EXPECT_EQ(g.CellRef(6, 1), huge);
    EXPECT_EQ(g.TextMatrix(8, 1), Text(8, 200));
    g.SetTextMatrix(6, 1, Text(6, 20));

    g.AddItem("0\tinserted", 1);
    g.RemoveItem(kRows + 1);
    ASSERT_EQ(g.Rows(), kRows + 1);
    EXPECT_EQ(g.TextMatrix(1, 1), "inserted");
    EXPECT_EQ(g.TextMatrix(2, 1), Text(1, 100));
    EXPECT_EQ(g.TextMatrix(kRows, 0), std::to_string(kRows - 1));

    g.SetRow(1);
    g.SetCol(0);
    g.SetColSel(0);
    g.Sort(flex::SortNumericDescending);
    EXPECT_EQ(g.TextMatrix(1, 0), std::to_string(kRows - 1));
    EXPECT_EQ(g.TextMatrix(1, 1), Text(kRows - 1, 100));
    EXPECT_EQ(g.TextMatrix(kRows, 1), "inserted");

    g.SetRows(2);
    g.ReleaseSpareRows();
    EXPECT_EQ(g.TextMatrix(1, 1), Text(kRows - 1, 100));
    g.SetRows(3);
    EXPECT_EQ(g.TextMatrix(2, 1), "");
}

} // namespace
} // namespace zelk
