// VSFlexGrid: a table view over an adapter that reads the model's cells where they are, so a
// grid of many rows costs only what is on screen. With one fixed row it is the column header;
// other fixed rows and columns are drawn as header-coloured cells. Edits, check boxes, combo
// picks, selection and header clicks are the model's user actions; the model's coarse
// notifications refresh the view.
#include "platform/Conv.h"
#include "platform/ui/VSFlexGrid.h"
#include "view/ColumnWidths.h"
#include "view/ControlView.h"
#include "view/Convert.h"
#include "view/FormWidget.h"
#include "view/UserAction.h"
#include "view/ViewRegistry.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>
#include <QTableView>

#include <algorithm>

namespace zelk::view {

namespace {

// Picks combo-list entry n through the model's UserPickCombo.
constexpr int ComboIndexRole = Qt::UserRole + 1;

// Stored colours are 0x00BBGGRR; negative values (unset, system colours) leave the default.
QVariant Brush(long color) {
    if (color < 0 || color > 0xffffff) return {};
    return QColor(static_cast<int>(color & 0xff), static_cast<int>((color >> 8) & 0xff),
                  static_cast<int>((color >> 16) & 0xff));
}

bool IsTrue(std::string_view s) {
    return s == "-1" || s == "1" || s == "True" || s == "true";
}

class GridModel : public QAbstractTableModel {
public:
    explicit GridModel(VSFlexGrid& grid) : grid_(grid) { Remember(); }

    // The first grid row shown as a table row: the single fixed row is the header.
    long Offset() const { return offset_; }
    long GridRow(int row) const { return row + offset_; }
    int ViewRow(long gridRow) const { return static_cast<int>(gridRow - offset_); }
    bool HeaderRow() const { return offset_ == 1; }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_ - offset_);
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(cols_);
    }

    // While drawing is off the model may have changed shape without telling yet.
    bool InShape(long row, long col) const {
        return row >= 0 && col >= 0 && row < grid_.Rows() && col < grid_.Cols();
    }
    bool IsFixed(long row, long col) const {
        return row < grid_.FixedRows() || col < grid_.FixedCols();
    }
    bool IsBoolean(long row, long col) const {
        return !IsFixed(row, col) && grid_.ColDataType(col) == flex::TypeBoolean;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        const long r = GridRow(index.row()), c = index.column();
        if (!InShape(r, c)) return {};
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            if (IsBoolean(r, c)) return {};
            return Q(grid_.DisplayText(r, c));
        case Qt::ToolTipRole:
            // The whole text of a cell too narrow for it.
            if (IsBoolean(r, c) || grid_.DisplayText(r, c).empty()) return {};
            return Q(grid_.DisplayText(r, c));
        case Qt::CheckStateRole:
            if (!IsBoolean(r, c)) return {};
            return IsTrue(grid_.CellRef(r, c)) ? Qt::Checked : Qt::Unchecked;
        case Qt::FontRole:
            if (grid_.CellBold(r, c)) {
                QFont f;
                f.setBold(true);
                return f;
            }
            return {};
        case Qt::BackgroundRole:
            if (QVariant b = Brush(grid_.CellBackColor(r, c)); b.isValid()) return b;
            if (IsFixed(r, c)) return QApplication::palette().button();
            return {};
        case Qt::ForegroundRole:
            return Brush(CLng(grid_.Cell(flex::cpForeColor, r, c)));
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        // The tool tip gives the whole caption of a column too narrow for it.
        if (o != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::ToolTipRole) ||
            !HeaderRow() || !InShape(0, section))
            return {};
        return Q(grid_.DisplayText(0, section));
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid()) return Qt::NoItemFlags;
        const long r = GridRow(index.row()), c = index.column();
        if (!InShape(r, c)) return Qt::NoItemFlags;
        if (IsFixed(r, c)) return Qt::ItemIsEnabled;
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (grid_.Editable() == flex::EDNone) return f;
        return f | (IsBoolean(r, c) ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable);
    }

    // Edits go through the model's event sequence; false (refused) leaves the old value shown.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (!index.isValid()) return false;
        const long r = GridRow(index.row()), c = index.column();
        if (!InShape(r, c)) return false;
        auto keep = grid_.shared_from_this();
        bool done = false;
        if (role == Qt::CheckStateRole) {
            const bool want = value.toInt() == Qt::Checked;
            if (want == IsTrue(grid_.CellRef(r, c))) return true;
            RunUserAction([&] { done = grid_.UserToggleCheck(r, c); });
        } else if (role == ComboIndexRole) {
            RunUserAction([&] { done = grid_.UserPickCombo(r, c, value.toInt()); });
        } else if (role == Qt::EditRole) {
            if (value.toString() == Q(grid_.DisplayText(r, c))) return true;
            RunUserAction([&] { done = grid_.UserEdit(r, c, S(value.toString())); });
        }
        return done;
    }

    // The model changed its cells or shape: a reset when the shape moved, else a repaint.
    // Returns whether the model was reset.
    bool Refresh() {
        if (rows_ != grid_.Rows() || cols_ != grid_.Cols() || offset_ != NewOffset()) {
            beginResetModel();
            Remember();
            endResetModel();
            return true;
        }
        if (rowCount() > 0 && cols_ > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, static_cast<int>(cols_) - 1));
        if (cols_ > 0) emit headerDataChanged(Qt::Horizontal, 0, static_cast<int>(cols_) - 1);
        return false;
    }

private:
    long NewOffset() const { return grid_.FixedRows() == 1 && grid_.Rows() > 0 ? 1 : 0; }
    void Remember() {
        rows_ = grid_.Rows();
        cols_ = grid_.Cols();
        offset_ = NewOffset();
    }

    VSFlexGrid& grid_;
    long rows_ = 0, cols_ = 0, offset_ = 0;
};

// Combo-list columns pick from the list's texts; other cells use a line edit. Return or Tab
// commits at once and, when the model refuses, the editor stays open with what was typed.
class GridDelegate : public QStyledItemDelegate {
public:
    GridDelegate(VSFlexGrid& grid, GridModel& model, QObject* parent)
        : QStyledItemDelegate(parent), grid_(grid), model_(model) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        const std::string& list = grid_.ColComboList(index.column());
        QWidget* editor = nullptr;
        if (!list.empty()) {
            auto* combo = new QComboBox(parent);
            for (const auto& e : VSFlexGrid::ParseComboList(list))
                combo->addItem(Q(e.text));
            QObject::connect(combo, &QComboBox::activated, combo, [this, combo](int) {
                auto* self = const_cast<GridDelegate*>(this);
                emit self->commitData(combo);
                emit self->closeEditor(combo);
            });
            editor = combo;
        } else {
            editor = QStyledItemDelegate::createEditor(parent, option, index);
        }
        editor->setProperty("zelkCommitted", false);
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            combo->setCurrentIndex(combo->findText(index.data(Qt::EditRole).toString()));
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        if (editor->property("zelkCommitted").toBool()) return;
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            if (combo->currentIndex() >= 0)
                model->setData(index, combo->currentIndex(), ComboIndexRole);
            return;
        }
        QStyledItemDelegate::setModelData(editor, model, index);
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* line = qobject_cast<QLineEdit*>(object);
        if (line && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab ||
                key == Qt::Key_Backtab) {
                QModelIndex at = Editing(line);
                if (at.isValid() && !model_.setData(at, line->text(), Qt::EditRole)) {
                    line->selectAll();
                    return true; // refused: keep editing
                }
                line->setProperty("zelkCommitted", true);
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    // The cell an open editor belongs to.
    QModelIndex Editing(QWidget* editor) const {
        auto* view = qobject_cast<QTableView*>(parent());
        if (!view) return {};
        return view->indexAt(editor->geometry().center());
    }

    VSFlexGrid& grid_;
    GridModel& model_;
};

class GridView : public ControlView {
public:
    GridView(VSFlexGrid& grid, FormWidget& form)
        : ControlView(grid, form), grid_(grid), model_(grid) {
        table_ = new QTableView(ParentWidget());
        table_->setModel(&model_);
        table_->setItemDelegate(new GridDelegate(grid, model_, table_));
        table_->setEditTriggers(QAbstractItemView::DoubleClicked |
                                QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::AnyKeyPressed);
        table_->verticalHeader()->hide();
        table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        table_->verticalHeader()->setDefaultSectionSize(18);
        table_->setWordWrap(false);
        QHeaderView* header = table_->horizontalHeader();
        header->setSectionsClickable(true);
        header->setHighlightSections(false);
        // A caption wider than its column is cut at its end, not on both sides.
        header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        header->setTextElideMode(Qt::ElideRight);
        table_->setTextElideMode(Qt::ElideRight);
        // The last shown column takes the room the others leave.
        header->setStretchLastSection(true);
        // A header click sorts in the model rather than selecting the column.
        QObject::disconnect(header, &QHeaderView::sectionPressed, table_,
                            &QTableView::selectColumn);
        QObject::disconnect(header, &QHeaderView::sectionEntered, table_, nullptr);
        QObject::connect(header, &QHeaderView::sectionClicked, table_,
                         [this](int c) { HeaderClicked(c); });
        QObject::connect(table_, &QTableView::clicked, table_, [this](const QModelIndex& i) {
            if (model_.GridRow(i.row()) < grid_.FixedRows()) HeaderClicked(i.column());
        });
        // Lists open the row the user double-clicks; the model hears of it as a DblClick.
        QObject::connect(table_, &QTableView::doubleClicked, table_, [this](const QModelIndex& i) {
            DoubleClicked(model_.GridRow(i.row()), i.column());
        });
        QObject::connect(header, &QHeaderView::sectionDoubleClicked, table_,
                         [this](int c) { DoubleClicked(0, c); });
        // A width the user drags is kept for this grid wherever it shows next; the stretched
        // last column only fills the room left.
        QObject::connect(header, &QHeaderView::sectionResized, table_,
                         [this](int c, int, int width) {
                             if (showing_ || c == LastShownColumn()) return;
                             UserColumnWidths()[ColumnKey(grid_, c)] = width;
                         });
        Connect();
        SetWidget(table_);
    }

    void Mirror(std::string_view p) override {
        if (p == "Cells") {
            bool fresh = false;
            {
                QScopedValueRollback guard(showing_, true);
                fresh = model_.Refresh();
            }
            if (fresh) Connect();
            ShowShape();
            ShowSelection();
        } else if (p == "Selection") {
            ShowSelection();
        } else if (p == "TopRow") {
            ShowTopRow();
        } else {
            ControlView::Mirror(p);
        }
    }
    void SyncAll() override {
        ControlView::SyncAll();
        ShowShape();
        ShowSelection();
    }

private:
    // The selection model is replaced when the adapter resets.
    void Connect() {
        QItemSelectionModel* sel = table_->selectionModel();
        if (sel == connected_) return;
        connected_ = sel;
        QObject::connect(sel, &QItemSelectionModel::currentChanged, table_,
                         [this](const QModelIndex& now, const QModelIndex&) { Moved(now); });
        QObject::connect(sel, &QItemSelectionModel::selectionChanged, table_,
                         [this] { SelectionChanged(); });
    }

    bool ListBox() const { return grid_.SelectionMode() == flex::SelListBox; }

    void Moved(const QModelIndex& now) {
        if (showing_ || !now.isValid() || ListBox()) return;
        const long r = model_.GridRow(now.row()), c = now.column();
        if (r < grid_.FixedRows() || (r == grid_.Row() && c == grid_.Col())) return;
        auto keep = grid_.shared_from_this();
        if (!Host().FocusRefused(grid_)) RunUserAction([&] { grid_.UserSelect(r, c); });
        ShowSelection();
    }

    void SelectionChanged() {
        if (showing_ || !ListBox()) return;
        std::vector<long> rows;
        for (const QModelIndex& i : table_->selectionModel()->selectedRows())
            rows.push_back(model_.GridRow(i.row()));
        std::sort(rows.begin(), rows.end());
        // The row the user acted on last becomes the model's current row.
        const QModelIndex cur = table_->currentIndex();
        if (cur.isValid()) {
            const long r = model_.GridRow(cur.row());
            if (auto it = std::find(rows.begin(), rows.end(), r); it != rows.end()) {
                rows.erase(it);
                rows.push_back(r);
            }
        }
        if (rows.empty()) return;
        auto keep = grid_.shared_from_this();
        if (!Host().FocusRefused(grid_)) RunUserAction([&] { grid_.UserSelectRows(rows); });
        ShowSelection();
    }

    void DoubleClicked(long row, long col) {
        if (!model_.InShape(row, col)) return;
        auto keep = grid_.shared_from_this();
        RunUserAction([&] { grid_.UserDblClickCell(row, col); });
    }

    void HeaderClicked(int col) {
        auto keep = grid_.shared_from_this();
        RunUserAction([&] { grid_.UserClickHeader(col); });
    }

    void ShowShape() {
        QScopedValueRollback guard(showing_, true);
        switch (grid_.SelectionMode()) {
        case flex::SelListBox:
            table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
            table_->setSelectionBehavior(QAbstractItemView::SelectRows);
            break;
        case flex::SelByRow:
            table_->setSelectionMode(QAbstractItemView::SingleSelection);
            table_->setSelectionBehavior(QAbstractItemView::SelectRows);
            break;
        default:
            table_->setSelectionMode(QAbstractItemView::SingleSelection);
            table_->setSelectionBehavior(QAbstractItemView::SelectItems);
        }
        table_->horizontalHeader()->setVisible(model_.HeaderRow());
        for (long c = 0; c < grid_.Cols(); ++c) {
            const int col = static_cast<int>(c);
            table_->setColumnHidden(col, grid_.ColHidden(c));
            const auto user = UserColumnWidths().constFind(ColumnKey(grid_, col));
            int width = Px(grid_.ColWidth(c));
            // A column the user has not sized is at least as wide as its heading.
            if (model_.HeaderRow() && width > 0 &&
                !model_.headerData(col, Qt::Horizontal, Qt::DisplayRole).toString().isEmpty())
                width = std::max(width, table_->horizontalHeader()->sectionSizeHint(col));
            table_->setColumnWidth(col, user != UserColumnWidths().constEnd() ? *user : width);
        }
        for (long r = model_.Offset(); r < grid_.Rows(); ++r) {
            const int row = model_.ViewRow(r);
            if (table_->isRowHidden(row) != grid_.RowHidden(r))
                table_->setRowHidden(row, grid_.RowHidden(r));
        }
    }

    int LastShownColumn() const {
        for (int c = model_.columnCount() - 1; c >= 0; --c)
            if (!table_->isColumnHidden(c)) return c;
        return -1;
    }

    void ShowSelection() {
        QScopedValueRollback guard(showing_, true);
        QItemSelectionModel* sel = table_->selectionModel();
        const long row = grid_.Row(), col = grid_.Col();
        const bool onCell =
            row >= model_.Offset() && row < grid_.Rows() && col >= 0 && col < grid_.Cols();
        const QModelIndex cur =
            onCell ? model_.index(model_.ViewRow(row), static_cast<int>(col)) : QModelIndex();
        if (!ListBox()) {
            if (cur != table_->currentIndex())
                sel->setCurrentIndex(cur, QItemSelectionModel::ClearAndSelect |
                                              QItemSelectionModel::Rows);
            if (!cur.isValid()) sel->clearSelection();
            return;
        }
        // List box: the model's selected rows, as runs of rows.
        QItemSelection want;
        const int lastCol = model_.columnCount() - 1;
        long start = -1;
        for (long r = model_.Offset(); r <= grid_.Rows(); ++r) {
            const bool on = r < grid_.Rows() && grid_.IsSelected(r);
            if (on && start < 0) start = r;
            if (!on && start >= 0) {
                want.select(model_.index(model_.ViewRow(start), 0),
                            model_.index(model_.ViewRow(r - 1), lastCol));
                start = -1;
            }
        }
        if (sel->selection() != want) sel->select(want, QItemSelectionModel::ClearAndSelect);
        if (cur.isValid() && cur.row() != table_->currentIndex().row())
            sel->setCurrentIndex(cur, QItemSelectionModel::NoUpdate);
    }

    void ShowTopRow() {
        const int row = model_.ViewRow(grid_.TopRow());
        if (row >= 0 && row < model_.rowCount())
            table_->scrollTo(model_.index(row, 0), QAbstractItemView::PositionAtTop);
    }

    VSFlexGrid& grid_;
    GridModel model_;
    QTableView* table_;
    QItemSelectionModel* connected_ = nullptr;
    bool showing_ = false;
};

} // namespace

void RegisterGridViews(ViewRegistry& r) {
    r.Register("VSFlexGrid", MakeView<GridView, VSFlexGrid>());
}

} // namespace zelk::view
