#include "shell/WorkingListPanel.h"

#include "shell/FoldedText.h"
#include "shell/RecordsetModel.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace zelk::view {

namespace {
// Sorts and filters through the model's own comparison and search: no variant or text is
// made per comparison or per cell, so a list of many rows sorts and filters quickly.
class ListProxy : public QSortFilterProxyModel {
public:
    ListProxy(RecordsetModel* model, QObject* parent)
        : QSortFilterProxyModel(parent), model_(model) {}

    void SetFilterText(const QString& text) {
        filter_ = TextFilter(text);
        invalidateRowsFilter();
    }

protected:
    bool lessThan(const QModelIndex& a, const QModelIndex& b) const override {
        return model_->Less(a.row(), b.row(), a.column());
    }
    bool filterAcceptsRow(int row, const QModelIndex&) const override {
        return filter_.Empty() || model_->RowMatches(row, filter_);
    }

private:
    RecordsetModel* model_;
    TextFilter filter_;
};
} // namespace

WorkingListPanel::WorkingListPanel(RecordsetModel* model, QWidget* parent)
    : QWidget(parent), model_(model) {
    auto* proxy = new ListProxy(model, this);
    proxy_ = proxy;
    proxy_->setSourceModel(model);
    proxy_->setSortRole(RecordsetModel::SortRole);

    filter_ = new QLineEdit;
    filter_->setObjectName("txtListFilter");
    filter_->setPlaceholderText(tr("Filter the list"));
    filter_->setClearButtonEnabled(true);
    filter_->setToolTip(tr("Shows only the rows that contain the text typed here"));
    connect(filter_, &QLineEdit::textChanged, this, [this, proxy](const QString& text) {
        proxy->SetFilterText(text);
        ShowCount();
    });

    view_ = new QTableView;
    view_->setObjectName("rsView");
    view_->setModel(proxy_);
    // The list's own order until a header click. Enabling sorting sorts at once by the
    // header's indicator, so the indicator goes first: a long list is not sorted for nothing.
    view_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    view_->setSortingEnabled(true);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setAlternatingRowColors(true);
    view_->setWordWrap(false);
    view_->setTextElideMode(Qt::ElideRight);
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 6);
    view_->verticalHeader()->hide();
    QHeaderView* header = view_->horizontalHeader();
    header->setStretchLastSection(true);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setTextElideMode(Qt::ElideRight);
    // Fitting reads only some rows: a long list fits as fast as a short one.
    header->setResizeContentsPrecision(200);
    view_->installEventFilter(this);
    connect(header, &QHeaderView::sectionResized, this, [this](int section, int, int width) {
        // The last column takes whatever is left: its width is never the user's choice.
        if (sizing_ || section >= proxy_->columnCount() - 1) return;
        userWidths_[proxy_->headerData(section, Qt::Horizontal).toString()] = width;
    });
    connect(proxy_, &QAbstractItemModel::modelAboutToBeReset, this, [this] { sizing_ = true; });
    connect(proxy_, &QAbstractItemModel::modelReset, this, [this] { sizing_ = false; });

    count_ = new QLabel;
    count_->setObjectName("lblListCount");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(filter_);
    layout->addWidget(view_, 1);
    layout->addWidget(count_);
    connect(proxy_, &QAbstractItemModel::modelReset, this, [this] { ShowCount(); });
    ShowCount();
}

long WorkingListPanel::IdAtViewRow(int row) const {
    const QModelIndex at = proxy_->mapToSource(proxy_->index(row, 0));
    return at.isValid() ? model_->IdAt(at.row()) : -1;
}

QList<long> WorkingListPanel::SelectedIds() const {
    QModelIndexList rows = view_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QList<long> ids;
    for (const QModelIndex& i : rows)
        if (long id = IdAtViewRow(i.row()); id >= 0) ids << id;
    return ids;
}

void WorkingListPanel::SetUserWidths(const QMap<QString, int>& widths) {
    userWidths_ = widths;
    FitColumns();
}

void WorkingListPanel::FitColumns() {
    QScopedValueRollback guard(sizing_, true);
    view_->resizeColumnsToContents();
    // No column wider than half the list: a long description may not push the rest away.
    QHeaderView* header = view_->horizontalHeader();
    const int widest = std::max(80, view_->viewport()->width() / 2);
    for (int c = 0; c < header->count() - 1; ++c)
        if (header->sectionSize(c) > widest) header->resizeSection(c, widest);
    for (int c = 0; c < header->count() - 1; ++c)
        if (auto it = userWidths_.constFind(proxy_->headerData(c, Qt::Horizontal).toString());
            it != userWidths_.constEnd())
            header->resizeSection(c, *it);
}

QString WorkingListPanel::CountText() const {
    const int shown = proxy_->rowCount(), all = model_->rowCount();
    if (shown == all) return tr("%n managed area(s)", nullptr, all);
    return tr("%1 of %n managed area(s)", nullptr, all).arg(shown);
}

void WorkingListPanel::ShowCount() {
    count_->setText(CountText());
}

bool WorkingListPanel::eventFilter(QObject* object, QEvent* event) {
    if (object == view_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        const QList<long> ids = SelectedIds();
        if (!ids.isEmpty() && removeRows) removeRows(ids);
        return true;
    }
    return QWidget::eventFilter(object, event);
}

} // namespace zelk::view
