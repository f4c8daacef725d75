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
class QSplitter;
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
class WorkingListPanel;

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
    WorkingListPanel* WorkingList() const { return panel_; }
    RecordsetModel* WorkingListModel() const { return model_; }
    QMdiArea* Area() const { return area_; }
    QList<RecordWindow*> RecordWindows() const;
    QSplitter* Splitter() const { return split_; }
    // The workbench's File menu, where the database commands join it.
    QMenu* WorkbenchMenu() const { return workbenchMenu_; }

    void FindManagedAreas();
    void NewManagedArea();
    void OpenDetails(long id);
    void RefreshWorkingList();
    // Takes these records off the working list (not out of the database).
    void RemoveFromList(const QList<long>& ids);
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
    // Keeps the user's layout of this window (done on close too).
    void SaveLayout();

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
    // The user's layout: kept when the windows close, taken back when they open.
    void RestoreLayout();
    void RestoreWindow(RecordWindow& w);
    void SaveWindow(RecordWindow& w);
    ExportDialog* ShowExport(std::vector<long> ids, const QString& what);
    // The search window's File menu offers the export of its results.
    void AddExportToSearch(RecordWindow& search);

    host::ReferenceHost& host_;
    QMdiArea* area_ = nullptr;
    QSplitter* split_ = nullptr;
    WorkingListPanel* panel_ = nullptr;
    QTableView* list_ = nullptr;
    RecordsetModel* model_ = nullptr;
    QLabel* status_ = nullptr;
    QMenu* workbenchMenu_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    // The File menu of the window in front while it holds the workbench's commands too.
    QPointer<QMenu> mergedFile_;
    QAction* fileJoin_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QList<QPointer<QAction>> merged_;
    QPointer<RecordWindow> mergedFrom_;
    QPointer<UsersWindow> users_;
    QPointer<ExportDialog> export_;
    QPointer<ImportWindow> import_;
};

} // namespace zelk::view
