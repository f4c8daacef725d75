#include "view/ColumnWidths.h"

#include "platform/ui/Form.h"

#include <QStringList>

namespace zelk::view {

QMap<QString, int>& UserColumnWidths() {
    static QMap<QString, int> widths;
    return widths;
}

QString ColumnKey(const Control& grid, int column) {
    QStringList names{QString::number(column), QString::fromStdString(grid.Name())};
    for (const Form* f = grid.Owner(); f; f = f->Owner())
        names.prepend(QString::fromStdString(f->Name()));
    return names.join('.');
}

} // namespace zelk::view
