#pragma once

#include "platform/Recordset.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <string>
#include <vector>

namespace zelk::view {

class TextFilter;

// A read-only table over a recordset. The rows stay in the recordset: the model reads them
// through a clone of it taken at each refresh (the caller's current record never moves) and
// makes text only for the cells a view asks for, so a list of a million rows shows at once.
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
    // texts without regard to case. Cheap, for sorting many rows: the first call for a column
    // reads that column once.
    bool Less(int a, int b, int column) const;
    // The row showing this ID, -1 when none.
    int RowOf(long id) const;
    // Some cell of the row shows the filter's text.
    bool RowMatches(int row, const TextFilter& filter) const;

private:
    // The cell's value, null when the row is no longer there.
    const Variant* Cell(int row, int column) const;
    void ReadSortKeys(int column) const;

    RecordsetPtr source_;
    RecordsetPtr rows_; // a clone of source_, positioned by whoever reads a cell
    QStringList headers_;
    std::string idField_;
    int idColumn_ = -1;
    int rowCount_ = 0, cols_ = 0;

    // What the last sorted column compares by: its numbers (NaN where the cell is no number)
    // and its text with case folded away.
    struct SortKey {
        double number;
        std::string folded;
    };
    mutable int keyColumn_ = -1;
    mutable std::vector<SortKey> keys_;
};

} // namespace zelk::view
