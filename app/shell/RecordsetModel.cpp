#include "shell/RecordsetModel.h"

#include "platform/Conv.h"
#include "platform/Strings.h"
#include "shell/FoldedText.h"

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

bool None(const Variant& v) {
    return v.IsNull() || v.IsEmpty();
}

// The cell's text as shown; text values are not copied.
std::string_view TextOf(const Variant& v, std::string& buffer) {
    if (None(v)) return {};
    if (v.IsString()) return v.Str();
    buffer = CStr(v);
    return buffer;
}

double NumberOf(const Variant& v) {
    return !None(v) && v.IsNumber() ? CDbl(v) : std::numeric_limits<double>::quiet_NaN();
}
} // namespace

RecordsetModel::RecordsetModel(RecordsetPtr rs, QObject* parent)
    : QAbstractTableModel(parent), source_(std::move(rs)) {
    Refresh();
}

void RecordsetModel::Refresh() {
    beginResetModel();
    headers_.clear();
    rows_.reset();
    idField_.clear();
    idColumn_ = -1;
    rowCount_ = cols_ = 0;
    keyColumn_ = -1;
    keys_.clear();
    keys_.shrink_to_fit();
    if (source_ && source_->State() == ad::StateOpen) {
        rows_ = source_->Clone();
        Fields f = rows_->GetFields();
        cols_ = static_cast<int>(f.Count());
        for (int i = 0; i < cols_; ++i) {
            const std::string& name = f.Item(static_cast<std::size_t>(i)).Name();
            headers_ << Header(name);
            if (IEquals(name, "ID")) idColumn_ = i, idField_ = name;
        }
        rowCount_ = static_cast<int>(rows_->RecordCount());
    }
    endResetModel();
}

const Variant* RecordsetModel::Cell(int row, int column) const {
    // Rows the recordset lost since the refresh read as nothing until the next one.
    if (!rows_ || row < 0 || row >= rowCount_ || column < 0 || column >= cols_ ||
        row >= rows_->RecordCount())
        return nullptr;
    rows_->SetAbsolutePosition(row + 1);
    return &rows_->GetFields().Item(static_cast<std::size_t>(column)).ValueRef();
}

int RecordsetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rowCount_;
}

int RecordsetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cols_;
}

QVariant RecordsetModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != SortRole) return {};
    const Variant* v = index.isValid() ? Cell(index.row(), index.column()) : nullptr;
    if (!v) return {};
    if (role == SortRole)
        if (const double n = NumberOf(*v); !std::isnan(n)) return n;
    std::string buffer;
    const std::string_view text = TextOf(*v, buffer);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (section < 0 || section >= cols_) return {};
    return headers_[section];
}

long RecordsetModel::IdAt(int row) const {
    const Variant* id = idColumn_ >= 0 ? Cell(row, idColumn_) : nullptr;
    return id && IsNumeric(*id) ? CLng(*id) : -1;
}

void RecordsetModel::ReadSortKeys(int column) const {
    keys_.clear();
    keys_.reserve(static_cast<std::size_t>(rowCount_));
    std::string buffer;
    for (int r = 0; r < rowCount_; ++r) {
        const Variant* v = Cell(r, column);
        if (!v) {
            keys_.push_back({std::numeric_limits<double>::quiet_NaN(), {}});
            continue;
        }
        const double n = NumberOf(*v);
        keys_.push_back({n, std::isnan(n) ? FoldCase(TextOf(*v, buffer)) : std::string()});
    }
    keyColumn_ = column;
}

bool RecordsetModel::Less(int a, int b, int column) const {
    if (a < 0 || b < 0 || a >= rowCount_ || b >= rowCount_ || column < 0 || column >= cols_)
        return false;
    if (keyColumn_ != column) ReadSortKeys(column);
    const SortKey& x = keys_[static_cast<std::size_t>(a)];
    const SortKey& y = keys_[static_cast<std::size_t>(b)];
    const bool nx = std::isnan(x.number), ny = std::isnan(y.number);
    if (!nx || !ny) {
        if (nx != ny) return !nx;
        return x.number < y.number;
    }
    return x.folded < y.folded;
}

int RecordsetModel::RowOf(long id) const {
    if (idColumn_ < 0 || !rows_ || rows_->RecordCount() == 0) return -1;
    // The key field is indexed: no walk over the rows.
    rows_->MoveFirst();
    rows_->Find(idField_ + " = " + std::to_string(id));
    if (rows_->EOF()) return -1;
    const long at = rows_->AbsolutePosition() - 1;
    return at >= 0 && at < rowCount_ ? static_cast<int>(at) : -1;
}

bool RecordsetModel::RowMatches(int row, const TextFilter& filter) const {
    if (filter.Empty()) return true;
    if (!Cell(row, 0)) return false;
    // Positioned once for the whole row.
    Fields f = rows_->GetFields();
    std::string buffer;
    for (int c = 0; c < cols_; ++c)
        if (filter.Matches(TextOf(f.Item(static_cast<std::size_t>(c)).ValueRef(), buffer)))
            return true;
    return false;
}

} // namespace zelk::view
