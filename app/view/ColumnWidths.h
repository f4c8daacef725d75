#pragma once

#include <QMap>
#include <QString>

namespace zelk {
class Control;
}

namespace zelk::view {

// Column widths the user set in the grids, in pixels, by the grid's place in its forms and the
// column. They outlast the grid: a grid shown again, in this window or the next, takes them.
QMap<QString, int>& UserColumnWidths();
// The key of a grid's column: the names of the forms the grid sits in, its own, the column.
QString ColumnKey(const Control& grid, int column);

} // namespace zelk::view
