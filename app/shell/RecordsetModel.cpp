#include "shell/RecordsetModel.h"

#include "platform/Conv.h"
#include "platform/Strings.h"

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
    cursor_.reset();
    count_ = 0;
    idColumn_ = -1;
    if (source_ && source_->State() == ad::StateOpen) {
        cursor_ = source_->Clone();
        count_ = cursor_->RecordCount();
        Fields f = cursor_->GetFields();
        for (long i = 0; i < f.Count(); ++i)
            if (IEquals(f.Item(static_cast<std::size_t>(i)).Name(), "ID"))
                idColumn_ = static_cast<int>(i);
    }
    endResetModel();
}

int RecordsetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(count_);
}

int RecordsetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !cursor_ ? 0 : static_cast<int>(cursor_->GetFields().Count());
}

bool RecordsetModel::MoveTo(int row) const {
    if (!cursor_ || row < 0 || row >= count_) return false;
    if (cursor_->AbsolutePosition() != row + 1) cursor_->SetAbsolutePosition(row + 1);
    return !cursor_->EOF() && !cursor_->BOF();
}

QVariant RecordsetModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    if (!MoveTo(index.row())) return {};
    Variant v = cursor_->GetFields().Item(static_cast<std::size_t>(index.column())).Value();
    if (v.IsNull() || v.IsEmpty()) return QString();
    return QString::fromStdString(CStr(v));
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (!cursor_ || section < 0 || section >= cursor_->GetFields().Count()) return {};
    return Header(cursor_->GetFields().Item(static_cast<std::size_t>(section)).Name());
}

long RecordsetModel::IdAt(int row) const {
    if (idColumn_ < 0 || !MoveTo(row)) return -1;
    Variant v = cursor_->GetFields().Item(static_cast<std::size_t>(idColumn_)).Value();
    return IsNumeric(v) ? CLng(v) : -1;
}

int RecordsetModel::RowOf(long id) const {
    for (int r = 0; r < count_; ++r)
        if (IdAt(r) == id) return r;
    return -1;
}

} // namespace zelk::view
