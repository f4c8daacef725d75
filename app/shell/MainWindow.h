#pragma once

#include "host/app/Views.h"
#include "platform/ReportDocument.h"

#include <QMainWindow>
#include <QPointer>

#include <vector>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QMdiSubWindow;
class QTableView;

namespace zelk::host {
class ReferenceHost;
}

namespace zelk::view {

class ExportDialog;
class ImportWindow;
class RecordWindow;
class RecordsetModel;
class UsersWindow;

// The workbench's main window: the managed-area working list beside an MDI area of record
// and search windows, opened from the menus, the list and the window manager's requests.
// Nothing closes with unsaved changes unless the hosted control agrees.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // The working list as a printed table, and the print of it the user asks for.
    ReportDocument WorkingListReport() const;
    void PrintWorkingList();
    MainWindow(host::ReferenceHost& host, const QString& databasePath, QWidget* parent = nullptr);
    ~MainWindow() override;

    host::ReferenceHost& Host() const { return host_; }
    QTableView* WorkingListView() const { return list_; }
    RecordsetModel* WorkingListModel() const { return model_; }
    QMdiArea* Area() const { return area_; }
    QList<RecordWindow*> RecordWindows() const;

    void FindManagedAreas();
    void NewManagedArea();
    void OpenDetails(long id);
    void RefreshWorkingList();
    // The Users window (administrators only: the menu offers it to them alone).
    UsersWindow* ShowUsers();
    // The export of the working list; null (the user told why) when the list is empty.
    ExportDialog* ExportWorkingList();
    // The export of a search window's selected results, or of all its results when none is
    // selected; null when it has none.
    ExportDialog* ExportSearchResults(RecordWindow& search);
    ImportWindow* ShowImport();
    // Asks every window's control; closes them all when every one agrees.
    bool CloseAllWindows();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void HandleRequest(const host::WindowManager::Request& request);
    RecordWindow* AddWindow(struct HostedControl& hosted);
    void FillWindowMenu();
    // The active window's control menus join the bar, between the workbench's own menus.
    void MergeMenus(QMdiSubWindow* active);
    // Tells the record windows but `from` (every one when null) that the working list changed.
    void NotifyListChanges(RecordWindow* from, const QString& event);
    void ShowHelp();
    void OpenSelected();
    ExportDialog* ShowExport(std::vector<long> ids, const QString& what);
    // The search window's File menu offers the export of its results.
    void AddExportToSearch(RecordWindow& search);

    host::ReferenceHost& host_;
    QMdiArea* area_ = nullptr;
    QTableView* list_ = nullptr;
    RecordsetModel* model_ = nullptr;
    QLabel* status_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QList<QPointer<QAction>> merged_;
    QPointer<RecordWindow> mergedFrom_;
    QPointer<UsersWindow> users_;
    QPointer<ExportDialog> export_;
    QPointer<ImportWindow> import_;
};

} // namespace zelk::view
