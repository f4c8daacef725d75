#pragma once

#include "platform/Recordset.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

namespace zelk::view {

// A read-only table over a recordset, read once through a clone of it at each refresh (the
// caller's current record never moves), so views, sorting and filtering read plain values.
// SortRole gives numbers as numbers, so numeric columns sort by value. Refresh after the
// recordset changed.
class RecordsetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int SortRole = Qt::UserRole + 1;
    explicit RecordsetModel(RecordsetPtr rs, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void Refresh();
    // The ID column's value of a row, -1 when there is none.
    long IdAt(int row) const;
    // Row a's cell of the column sorts before row b's: numbers by value and before texts,
    // texts without regard to case. Cheap, for sorting many rows.
    bool Less(int a, int b, int column) const;
    // The row showing this ID, -1 when none.
    int RowOf(long id) const;

private:
    RecordsetPtr source_;
    QStringList headers_;
    std::vector<QString> cells_;  // row by row
    std::vector<double> numbers_; // the cells' numbers, NaN where the cell is no number
    std::vector<long> ids_;
    int rows_ = 0, cols_ = 0;
};

} // namespace zelk::view
