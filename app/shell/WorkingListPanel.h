#pragma once

#include <QMap>
#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QTableView;

namespace zelk::view {

class RecordsetModel;

// The working list as the main window shows it: a filter box, the table (sorted by a click on a
// header, filtered by what is typed) and the count of rows shown. Delete takes the selected
// rows off the list through `removeRows`, which keeps the host's list in step.
class WorkingListPanel : public QWidget {
    Q_OBJECT
public:
    WorkingListPanel(RecordsetModel* model, QWidget* parent = nullptr);

    QTableView* View() const { return view_; }
    QLineEdit* FilterBox() const { return filter_; }
    QSortFilterProxyModel* Proxy() const { return proxy_; }
    // The ID of the record on a row of the view, -1 when none.
    long IdAtViewRow(int row) const;
    // The IDs of the selected rows, in the order shown.
    QList<long> SelectedIds() const;
    // Fits the columns to their text after the list changed (the last one takes the rest).
    void FitColumns();
    void ShowCount();
    QString CountText() const;
    // The widths the user gave columns, by header text; they outlast a refit of the list.
    QMap<QString, int> UserWidths() const { return userWidths_; }
    void SetUserWidths(const QMap<QString, int>& widths);

    // Called with the IDs the user takes off the list.
    std::function<void(const QList<long>&)> removeRows;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    RecordsetModel* model_;
    QSortFilterProxyModel* proxy_;
    QTableView* view_;
    QLineEdit* filter_;
    QLabel* count_;
    QMap<QString, int> userWidths_;
    // Set while the list or the code sizes the columns, so only the user's sizes are kept.
    bool sizing_ = false;
};

} // namespace zelk::view
