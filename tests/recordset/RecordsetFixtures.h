#pragma once

#include "platform/Error.h"
#include "platform/Recordset.h"
#include "platform/RowSource.h"
#include "support/Errors.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace zelk::testing {

// A list of people: ID (Long), Name (text), Born (date), Score (Double).
inline RecordsetPtr People(const std::vector<std::pair<int, std::string>>& rows) {
    auto rs = NewRecordset();
    rs->GetFields().Append("ID", ad::Integer, 4);
    rs->GetFields().Append("Name", ad::VarChar, 50);
    rs->GetFields().Append("Born", ad::Date, 8);
    rs->GetFields().Append("Score", ad::Double, 8);
    rs->Open();
    for (const auto& [id, name] : rows) {
        rs->AddNew();
        (*rs)["ID"] = id;
        (*rs)["Name"] = name;
        (*rs)["Score"] = id * 1.5;
    }
    rs->Update();
    return rs;
}

// The IDs of the visible records in order; leaves the recordset at EOF.
inline std::vector<int> Ids(Recordset& rs) {
    std::vector<int> ids;
    if (rs.RecordCount() == 0) return ids;
    for (rs.MoveFirst(); !rs.EOF(); rs.MoveNext())
        ids.push_back(int(rs.Value("ID").NumberValue()));
    return ids;
}

// A grid with fixed cells whose selection is a list of rows.
class FakeGrid : public SelectedRowSource {
public:
    std::vector<std::vector<std::string>> cells;
    std::vector<long> selection;

    long SelectedRows() const override { return long(selection.size()); }
    long SelectedRow(long index) const override { return selection.at(std::size_t(index)); }
    std::string TextMatrix(long row, long col) const override {
        return cells.at(std::size_t(row)).at(std::size_t(col));
    }
    // A grid listing the given IDs (row i holds ids[i]) with every row selected.
    static FakeGrid Selecting(const std::vector<std::string>& ids) {
        FakeGrid g;
        for (std::size_t i = 0; i < ids.size(); ++i) {
            g.cells.push_back({ids[i]});
            g.selection.push_back(long(i));
        }
        return g;
    }
};

} // namespace zelk::testing
