#include "shell/RecordsetModel.h"

#include "platform/Conv.h"
#include "platform/Strings.h"

#include <cmath>
#include <limits>

namespace zelk::view {

namespace {
// Friendlier headers for the working-list columns.
QString Header(const std::string& field) {
    if (IEquals(field, "ID")) return QObject::tr("ID");
    if (IEquals(field, "managed_area_name")) return QObject::tr("Name");
    if (IEquals(field, "managed_area_desc")) return QObject::tr("Description");
    if (IEquals(field, "managed_area_type")) return QObject::tr("Type");
    if (IEquals(field, "macode")) return QObject::tr("Code");
    if (IEquals(field, "state")) return QObject::tr("State");
    if (IEquals(field, "shape_id")) return QObject::tr("Shape");
    return QString::fromStdString(field);
}
} // namespace

RecordsetModel::RecordsetModel(RecordsetPtr rs, QObject* parent)
    : QAbstractTableModel(parent), source_(std::move(rs)) {
    Refresh();
}

void RecordsetModel::Refresh() {
    beginResetModel();
    headers_.clear();
    cells_.clear();
    numbers_.clear();
    ids_.clear();
    rows_ = cols_ = 0;
    if (source_ && source_->State() == ad::StateOpen) {
        RecordsetPtr cursor = source_->Clone();
        Fields f = cursor->GetFields();
        cols_ = static_cast<int>(f.Count());
        int idColumn = -1;
        for (int i = 0; i < cols_; ++i) {
            const std::string& name = f.Item(static_cast<std::size_t>(i)).Name();
            headers_ << Header(name);
            if (IEquals(name, "ID")) idColumn = i;
        }
        const long count = cursor->RecordCount();
        cells_.reserve(static_cast<std::size_t>(count * cols_));
        numbers_.reserve(cells_.capacity());
        if (count > 0) cursor->MoveFirst();
        for (; !cursor->EOF(); cursor->MoveNext()) {
            Fields row = cursor->GetFields();
            for (int c = 0; c < cols_; ++c) {
                const Variant& v = row.Item(static_cast<std::size_t>(c)).Value();
                const bool none = v.IsNull() || v.IsEmpty();
                cells_.push_back(none ? QString() : QString::fromStdString(CStr(v)));
                numbers_.push_back(
                    !none && v.IsNumber() ? CDbl(v) : std::numeric_limits<double>::quiet_NaN());
            }
            const Variant id =
                idColumn >= 0 ? row.Item(static_cast<std::size_t>(idColumn)).Value() : Variant();
            ids_.push_back(idColumn >= 0 && IsNumeric(id) ? CLng(id) : -1);
            ++rows_;
        }
    }
    endResetModel();
}

int RecordsetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int RecordsetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cols_;
}

QVariant RecordsetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_ || index.column() >= cols_) return {};
    const auto at = static_cast<std::size_t>(index.row()) * static_cast<std::size_t>(cols_) +
                    static_cast<std::size_t>(index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return cells_[at];
    case SortRole:
        if (!std::isnan(numbers_[at])) return numbers_[at];
        return cells_[at];
    default:
        return {};
    }
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (section < 0 || section >= cols_) return {};
    return headers_[section];
}

long RecordsetModel::IdAt(int row) const {
    return row >= 0 && row < rows_ ? ids_[static_cast<std::size_t>(row)] : -1;
}

bool RecordsetModel::Less(int a, int b, int column) const {
    const auto at = [&](int row) {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(cols_) +
               static_cast<std::size_t>(column);
    };
    const double x = numbers_[at(a)], y = numbers_[at(b)];
    if (!std::isnan(x) || !std::isnan(y)) {
        if (std::isnan(x) != std::isnan(y)) return !std::isnan(x);
        return x < y;
    }
    return cells_[at(a)].compare(cells_[at(b)], Qt::CaseInsensitive) < 0;
}

int RecordsetModel::RowOf(long id) const {
    for (int r = 0; r < rows_; ++r)
        if (ids_[static_cast<std::size_t>(r)] == id) return r;
    return -1;
}

} // namespace zelk::view
