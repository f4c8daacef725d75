#pragma once

#include "platform/Recordset.h"

#include <QAbstractTableModel>

namespace zelk::view {

// A read-only table over a recordset, read in place through a clone of it (the caller's
// current record never moves). Refresh after the recordset changed.
class RecordsetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordsetModel(RecordsetPtr rs, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void Refresh();
    // The ID column's value of a row, -1 when there is none.
    long IdAt(int row) const;
    // The row showing this ID, -1 when none.
    int RowOf(long id) const;

private:
    bool MoveTo(int row) const;
    RecordsetPtr source_;
    RecordsetPtr cursor_;
    long count_ = 0;
    int idColumn_ = -1;
};

} // namespace zelk::view
