#pragma once

#include <string>

namespace zelk {

// What the record-moving procedures need from a grid: the text of a cell and the
// multi-row selection (count, and the row of each selected index, 0-based).
class SelectedRowSource {
public:
    virtual ~SelectedRowSource() = default;
    virtual long SelectedRows() const = 0;
    virtual long SelectedRow(long index) const = 0;
    virtual std::string TextMatrix(long row, long col) const = 0;
};

} // namespace zelk
