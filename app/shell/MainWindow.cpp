#include "shell/MainWindow.h"

#include "host/ReferenceHost.h"
#include "host/app/WorkingListRows.h"
#include "host/data/PgDataService.h"
#include "host/help/HelpTopics.h"
#include "platform/Conv.h"
#include "platform/ReportDocument.h"
#include "platform/Strings.h"
#include "platform/ui/Form.h"
#include "platform/ui/Menu.h"
#include "platform/ui/TabControl.h"
#include "platform/ui/UiDriver.h"
#include "platform/ui/VSFlexGrid.h"
#include "shell/ExportDialog.h"
#include "shell/Hosting.h"
#include "shell/ImportWindow.h"
#include "shell/RecordWindow.h"
#include "shell/RecordsetModel.h"
#include "shell/Remembered.h"
#include "shell/UsersWindow.h"
#include "shell/WorkingListPanel.h"
#include "view/ColumnWidths.h"
#include "view/FormWidget.h"
#include "view/HelpWindow.h"
#include "view/Icons.h"
#include "view/MenuViews.h"
#include "view/QtUiDriver.h"
#include "view/UserAction.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>

namespace zelk::view {

namespace {
constexpr const char* kNotYet = " is not available in this build yet.";
}

MainWindow::MainWindow(host::ReferenceHost& host, const QString& databasePath, QWidget* parent)
    : QMainWindow(parent), host_(host) {
    setWindowTitle(tr("Wayfold - Managed Areas"));

    model_ = new RecordsetModel(host_.WorkingList(), this);
    panel_ = new WorkingListPanel(model_);
    list_ = panel_->View();
    connect(list_, &QTableView::activated, this, [this] { OpenSelected(); });
    panel_->removeRows = [this](const QList<long>& ids) { RemoveFromList(ids); };

    area_ = new QMdiArea;
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    auto* split = split_ = new QSplitter;
    split->setObjectName("splitMain");
    split->addWidget(panel_);
    split->addWidget(area_);
    split->setStretchFactor(1, 1);
    split->setSizes({360, 900});
    setCentralWidget(split);

    status_ = new QLabel;
    statusBar()->addWidget(status_, 1);
    statusBar()->addPermanentWidget(
        new QLabel(tr("%1 on %2")
                       .arg(QString::fromStdString(host_.UserName()),
                            QString::fromStdString(
                                host::PgDataService::Redacted(databasePath.toStdString())))));
    BuildMenus();
    // The module's Help items send F1 by code; in this window it opens the page of the window
    // in front, as the key does.
    SetHelpKeyHandler([this](QWidget* window) {
        if (window != this) return false;
        ShowHelp();
        return true;
    });
    RefreshWorkingList();
    resize(1280, 800);
    RestoreLayout();

    host_.WinMan()->SetHandler([this](const host::WindowManager::Request& r) { HandleRequest(r); });
    connect(area_, &QMdiArea::subWindowActivated, this,
            [this](QMdiSubWindow* w) { MergeMenus(w); });
}

MainWindow::~MainWindow() {
    SetHelpKeyHandler(nullptr);
    host_.WinMan()->SetHandler({});
    // The windows go with the area, after this object's own part is gone: nothing of theirs
    // may call back.
    disconnect(area_, nullptr, this, nullptr);
    for (RecordWindow* w : RecordWindows()) {
        disconnect(w, nullptr, this, nullptr);
        w->releasing = nullptr;
    }
}

void MainWindow::BuildMenus() {
    // The record and search windows bring File menus of their own: while one of them is in
    // front its File menu takes these commands in too (see MergeMenus), so the keys here keep
    // clear of the letters those menus use (N, O, S, A, D, P, C).
    QMenu* file = workbenchMenu_ = menuBar()->addMenu(tr("&File"));
    file->setObjectName("mnuWorkbenchFile");
    QAction* find =
        file->addAction(tr("&Find Managed Areas..."), this, [this] { FindManagedAreas(); });
    find->setShortcut(QKeySequence(tr("Ctrl+F")));
    QAction* add = file->addAction(tr("New &Managed Area"), this, [this] { NewManagedArea(); });
    add->setObjectName("actNewManagedArea");
    add->setShortcut(QKeySequence(tr("Ctrl+N")));
    // A reader cannot make records; the server would refuse them anyway.
    add->setEnabled(CStr(host_.App()->Call("GetControlAccess", {Variant("ManagedAreaDetails"),
                                                                Variant("mnuFileNew")})) == "F");
    if (host_.App()->IsAdministrator()) {
        QAction* users = file->addAction(tr("&Users..."), this, [this] { ShowUsers(); });
        users->setObjectName("actUsers");
    }
    file->addSeparator();
    QAction* import = file->addAction(tr("&Import..."), this, [this] { ShowImport(); });
    import->setObjectName("actImport");
    import->setEnabled(add->isEnabled());
    file->addAction(tr("Export Working &List..."), this, [this] { ExportWorkingList(); })
        ->setObjectName("actExport");
    file->addSeparator();
    file->addAction(tr("Print Wor&king List..."), this, [this] { PrintWorkingList(); });
    file->addSeparator();
    file->addAction(tr("E&xit"), this, &QWidget::close);

    windowMenu_ = menuBar()->addMenu(tr("Win&dow"));
    connect(windowMenu_, &QMenu::aboutToShow, this, [this] { FillWindowMenu(); });
    FillWindowMenu();

    QMenu* help = helpMenu_ = menuBar()->addMenu(tr("&Help"));
    QAction* contents = help->addAction(tr("&Help"), this, [this] { ShowHelp(); });
    contents->setShortcut(QKeySequence(Qt::Key_F1));
    // The window holds the key too: while a record window's menus take the bar, this menu is
    // off the bar and its shortcut would be silent.
    addAction(contents);
    help->addAction(tr("&About"), this,
                    [this] { RunUserAction([&] { host_.App()->Call("ShowAbout"); }); });
    for (QMenu* menu : {file, help})
        for (QAction* a : menu->actions())
            if (a->icon().isNull()) a->setIcon(CommandIcon(a->text().toStdString()));
}

UsersWindow* MainWindow::ShowUsers() {
    if (!users_) users_ = new UsersWindow(*host_.Db(), this);
    users_->Reload();
    users_->show();
    users_->raise();
    return users_;
}

ExportDialog* MainWindow::ShowExport(std::vector<long> ids, const QString& what) {
    if (ids.empty()) {
        Ui().MsgBox("There are no managed areas to export.", vb::Information, "Export");
        return nullptr;
    }
    delete export_;
    export_ = new ExportDialog(*host_.Db(), std::move(ids), what, this);
    export_->setWindowModality(Qt::WindowModal);
    export_->show();
    export_->raise();
    return export_;
}

ExportDialog* MainWindow::ExportWorkingList() {
    std::vector<long> ids;
    for (int r = 0; r < model_->rowCount(); ++r)
        if (long id = model_->IdAt(r); id >= 0) ids.push_back(id);
    return ShowExport(std::move(ids), tr("the Working List"));
}

ExportDialog* MainWindow::ExportSearchResults(RecordWindow& search) {
    std::vector<long> ids;
    auto* form = dynamic_cast<Form*>(search.HostedControl().get());
    auto* grid = form ? form->FindAs<VSFlexGrid>("flexResults") : nullptr;
    if (grid) {
        auto idOf = [&](long row) {
            bool ok = false;
            const long id = QString::fromStdString(grid->TextMatrix(row, 0)).toLong(&ok);
            if (ok) ids.push_back(id);
        };
        for (long i = 0; i < grid->SelectedRows(); ++i)
            if (long row = grid->SelectedRow(i); row >= grid->FixedRows()) idOf(row);
        if (ids.empty())
            for (long row = grid->FixedRows(); row < grid->Rows(); ++row)
                idOf(row);
    }
    return ShowExport(std::move(ids), tr("Search Results"));
}

void MainWindow::AddExportToSearch(RecordWindow& search) {
    auto* form = dynamic_cast<Form*>(search.HostedControl().get());
    auto* file = form ? form->FindAs<Menu>("mnuFile") : nullptr;
    QMenu* popup = file ? PopupOf(*file) : nullptr;
    if (!popup) return;
    auto* action = new QAction(tr("&Export..."), popup);
    action->setObjectName("actExportResults");
    action->setIcon(CommandIcon("Export"));
    QPointer<RecordWindow> window(&search);
    connect(action, &QAction::triggered, this, [this, window] {
        if (window && !window->IsReleased()) ExportSearchResults(*window);
    });
    // Above the separator before Close.
    QAction* before = nullptr;
    for (QAction* a : popup->actions())
        if (a->isSeparator()) before = a;
    popup->insertAction(before, action);
}

ImportWindow* MainWindow::ShowImport() {
    if (!import_) {
        import_ = new ImportWindow(host_, this);
        import_->setWindowModality(Qt::WindowModal);
        connect(import_, &ImportWindow::imported, this, [this] {
            RefreshWorkingList();
            NotifyListChanges(nullptr, "UpdateList");
        });
    }
    import_->show();
    import_->raise();
    return import_;
}

void MainWindow::FillWindowMenu() {
    windowMenu_->clear();
    windowMenu_->addAction(tr("&Cascade"), area_, &QMdiArea::cascadeSubWindows);
    windowMenu_->addAction(tr("&Tile"), area_, &QMdiArea::tileSubWindows);
    windowMenu_->addAction(tr("Close &All"), this, [this] { CloseAllWindows(); });
    QList<QMdiSubWindow*> windows = area_->subWindowList();
    if (!windows.isEmpty()) windowMenu_->addSeparator();
    int n = 1;
    for (QMdiSubWindow* w : windows) {
        QAction* a = windowMenu_->addAction(QString("&%1 %2").arg(n++).arg(w->windowTitle()));
        a->setCheckable(true);
        a->setChecked(w == area_->activeSubWindow());
        connect(a, &QAction::triggered, area_, [this, w] { area_->setActiveSubWindow(w); });
    }
}

void MainWindow::MergeMenus(QMdiSubWindow* active) {
    auto* record = qobject_cast<RecordWindow*>(active);
    if (record && record == mergedFrom_) return;
    for (const QPointer<QAction>& a : merged_)
        if (a) menuBar()->removeAction(a);
    merged_.clear();
    if (mergedFile_)
        for (QAction* a : mergedFile_->actions())
            if (a == fileJoin_ || workbenchMenu_->actions().contains(a))
                mergedFile_->removeAction(a);
    mergedFile_ = nullptr;
    workbenchMenu_->menuAction()->setVisible(true);
    if (mergedFrom_ && mergedFrom_->View()) mergedFrom_->View()->SetMenusMerged(false);
    mergedFrom_ = nullptr;
    helpMenu_->menuAction()->setVisible(true);
    QMenuBar* own = record && !record->IsReleased() ? record->View()->ExistingMenuBar() : nullptr;
    if (!own) return;
    // The same actions, so enabling and captions follow the control; the workbench's Help
    // gives way to the control's own.
    // Its File menu takes in the workbench's commands after its own, so the bar has one File.
    for (QAction* a : own->actions()) {
        const QString caption = a->text().remove('&');
        if (caption.compare("File", Qt::CaseInsensitive) == 0 && a->menu() && !mergedFile_) {
            mergedFile_ = a->menu();
            if (!fileJoin_) {
                fileJoin_ = new QAction(this);
                fileJoin_->setSeparator(true);
            }
            mergedFile_->addAction(fileJoin_);
            mergedFile_->addActions(workbenchMenu_->actions());
            menuBar()->insertAction(workbenchMenu_->menuAction(), a);
            workbenchMenu_->menuAction()->setVisible(false);
        } else {
            menuBar()->insertAction(windowMenu_->menuAction(), a);
        }
        merged_ << a;
        if (caption.compare("Help", Qt::CaseInsensitive) == 0)
            helpMenu_->menuAction()->setVisible(false);
    }
    record->View()->SetMenusMerged(true);
    mergedFrom_ = record;
}

ReportDocument MainWindow::WorkingListReport() const {
    ReportDocument doc;
    doc.title = "Working list";
    doc.notes.push_back(tr("%n managed area(s)", nullptr, model_->rowCount()).toStdString());
    ReportSection section;
    section.heading = "Managed areas";
    ReportTable table;
    for (int c = 0; c < model_->columnCount(); ++c)
        table.columns.push_back(
            model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().toStdString());
    for (int r = 0; r < model_->rowCount(); ++r) {
        std::vector<std::string> row;
        for (int c = 0; c < model_->columnCount(); ++c)
            row.push_back(model_->data(model_->index(r, c)).toString().toStdString());
        table.rows.push_back(std::move(row));
    }
    section.tables.push_back(std::move(table));
    doc.sections.push_back(std::move(section));
    return doc;
}

void MainWindow::PrintWorkingList() {
    RunUserAction([&] { Ui().PrintReport(WorkingListReport()); });
}

void MainWindow::ShowHelp() {
    RunUserAction([&] {
        // The page of the record or search window in front, or else of the working list.
        long topic = host::help::TopicOfPage("working-list.html");
        QMdiSubWindow* front = area_->activeSubWindow();
        auto* active = qobject_cast<RecordWindow*>(front);
        const std::string own = front ? HelpPageOf(front->widget()) : std::string();
        if (!own.empty()) {
            topic = host::help::TopicOfPage(own);
        } else if (active && active->HostedControl()) {
            Control* focus = active->Window().FocusedControl();
            Args args{Variant(ObjectPtr(focus ? focus->shared_from_this()
                                              : ObjectPtr(active->HostedControl()))),
                      Variant(0)};
            if (CBool(host_.App()->Invoke("GetHelpTopicID", CallKind::Method, args)))
                topic = CLng(args[1]);
        }
        Ui().ShowHelp(CStr(host_.App()->Get("HelpFile")), 1, topic);
    });
}

QList<RecordWindow*> MainWindow::RecordWindows() const {
    QList<RecordWindow*> out;
    for (QMdiSubWindow* w : area_->subWindowList())
        if (auto* r = qobject_cast<RecordWindow*>(w)) out.push_back(r);
    return out;
}

void MainWindow::RefreshWorkingList() {
    model_->Refresh();
    panel_->FitColumns();
    status_->setText(tr("%n managed area(s) in the working list", nullptr, model_->rowCount()));
}

void MainWindow::RemoveFromList(const QList<long>& ids) {
    // Off the list only: the records stay in the database.
    RunUserAction([&] {
        for (long id : ids)
            host::RemoveWorkingListRow(*host_.WorkingList(), id);
    });
    RefreshWorkingList();
    NotifyListChanges(nullptr, "RemoveItem");
}

RecordWindow* MainWindow::AddWindow(HostedControl& hosted) {
    auto* w = new RecordWindow(hosted.window, hosted.control);
    area_->addSubWindow(w);
    // The control raised these inside its own handler: they run once it has returned.
    connect(
        w, &RecordWindow::workingListChanged, this,
        [this, w](const QString& event, long id) {
            // The host's list follows the record first; then the others hear of it.
            RunUserAction([&] {
                if (event == "RemoveItem")
                    host::RemoveWorkingListRow(*host_.WorkingList(), id);
                else
                    host::RefreshWorkingListRow(*host_.Db(), *host_.WorkingList(), id);
            });
            RefreshWorkingList();
            // After a delete the window that deleted shows a neighbour: its count changed too.
            NotifyListChanges(event == "RemoveItem" ? nullptr : w, event);
        },
        Qt::QueuedConnection);
    connect(
        w, &RecordWindow::newItemRequested, this, [this] { NewManagedArea(); },
        Qt::QueuedConnection);
    connect(w, &RecordWindow::mainGridRedraw, this, [this](bool on) {
        list_->setUpdatesEnabled(on);
        if (on) RefreshWorkingList();
    });
    w->releasing = [this](RecordWindow& closing) { SaveWindow(closing); };
    w->show();
    RestoreWindow(*w);
    return w;
}

void MainWindow::NotifyListChanges(RecordWindow* from, const QString& event) {
    for (RecordWindow* w : RecordWindows()) {
        const ControlPtr& c = w->HostedControl();
        if (w == from || w->IsReleased() || !c->HasMember("NotifyListChanges")) continue;
        auto keep = c;
        RunUserAction([&] { c->Call("NotifyListChanges", {Variant(event.toStdString())}); });
    }
}

namespace {
// The first tab control of the hosted control's form: the editor's pages, the search's tabs.
vaTabPro* TabsOf(const ControlPtr& control) {
    auto* form = dynamic_cast<Form*>(control.get());
    if (!form) return nullptr;
    for (const ControlPtr& c : form->Controls())
        if (auto* tab = dynamic_cast<vaTabPro*>(c.get())) return tab;
    return nullptr;
}

QString KindOf(RecordWindow& w) {
    return QString::fromStdString(w.HostedControl()->TypeName());
}
} // namespace

void MainWindow::RestoreLayout() {
    Remembered kept(host_.UserName());
    if (const QByteArray g = kept.Bytes("main/geometry"); !g.isEmpty()) restoreGeometry(g);
    if (const QByteArray s = kept.Bytes("main/splitter"); !s.isEmpty()) split_->restoreState(s);
    panel_->SetUserWidths(kept.Widths("main/listColumns"));
    UserColumnWidths() = kept.Widths("grids");
}

void MainWindow::SaveLayout() {
    Remembered kept(host_.UserName());
    kept.SetBytes("main/geometry", saveGeometry());
    kept.SetBytes("main/splitter", split_->saveState());
    kept.SetWidths("main/listColumns", panel_->UserWidths());
    kept.SetWidths("grids", UserColumnWidths());
}

void MainWindow::RestoreWindow(RecordWindow& w) {
    Remembered kept(host_.UserName());
    const QString kind = KindOf(w);
    if (const QRect r = kept.Rect(kind + "/geometry"); r.isValid()) w.setGeometry(r);
    vaTabPro* tab = TabsOf(w.HostedControl());
    const int page = kept.Number(kind + "/tab");
    if (tab && page >= 0 && page < tab->TabCount() && page != tab->ActiveTab() &&
        tab->TabEnabled(page) && tab->TabVisible(page)) {
        auto keep = w.HostedControl();
        // As the user's own choice, so the page fills as a click would fill it.
        RunUserAction([&] { tab->UserSelectTab(page); });
    }
}

void MainWindow::SaveWindow(RecordWindow& w) {
    Remembered kept(host_.UserName());
    const QString kind = KindOf(w);
    // The normal size: a window closed maximised opens at its last ordinary size.
    const QRect at = w.isMaximized() ? w.normalGeometry() : w.geometry();
    if (at.isValid()) kept.SetRect(kind + "/geometry", at);
    if (vaTabPro* tab = TabsOf(w.HostedControl())) kept.SetNumber(kind + "/tab", tab->ActiveTab());
    kept.SetWidths("grids", UserColumnWidths());
}

void MainWindow::FindManagedAreas() {
    for (RecordWindow* w : RecordWindows())
        if (IEquals(w->HostedControl()->TypeName(), "ManagedAreaSearch")) {
            area_->setActiveSubWindow(w);
            return;
        }
    HostedControl h = CreateHosted(kSearchProgId, "frmSearch");
    if (!h.control) {
        Ui().MsgBox(std::string("Finding managed areas") + kNotYet, vb::Information, "Wayfold");
        return;
    }
    if (RunUserAction([&] { InitSearchWindow(h, host_); })) AddExportToSearch(*AddWindow(h));
}

void MainWindow::NewManagedArea() {
    HostedControl h = CreateHosted(kDetailsProgId, "frmDetails");
    if (!h.control) {
        Ui().MsgBox(std::string("The managed area editor") + kNotYet, vb::Information, "Wayfold");
        return;
    }
    if (RunUserAction([&] { InitDetailsWindow(h, host_, -1); })) AddWindow(h);
}

void MainWindow::OpenDetails(long id) {
    for (RecordWindow* w : RecordWindows()) {
        const ControlPtr& c = w->HostedControl();
        if (c->HasMember("GetID") && CLng(c->Call("GetID")) == id) {
            area_->setActiveSubWindow(w);
            return;
        }
    }
    HostedControl h = CreateHosted(kDetailsProgId, "frmDetails");
    if (!h.control) {
        Ui().MsgBox(std::string("The managed area editor") + kNotYet, vb::Information, "Wayfold");
        return;
    }
    if (RunUserAction([&] { InitDetailsWindow(h, host_, id); })) AddWindow(h);
}

void MainWindow::OpenSelected() {
    QModelIndex current = list_->currentIndex();
    if (!current.isValid()) return;
    long id = panel_->IdAtViewRow(current.row());
    if (id >= 0) OpenDetails(id);
}

void MainWindow::HandleRequest(const host::WindowManager::Request& r) {
    if (r.kind == "NewDetails") {
        NewManagedArea();
    } else if (r.kind == "OpenDetails") {
        Variant id(r.id);
        if (IsNumeric(id)) OpenDetails(CLng(id));
    }
}

bool MainWindow::CloseAllWindows() {
    // Each window that agrees closes at once, so an answer given is never asked again.
    for (RecordWindow* w : RecordWindows()) {
        area_->setActiveSubWindow(w);
        if (!w->CanClose()) return false;
        w->CloseAgreed();
    }
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!CloseAllWindows()) {
        event->ignore();
        return;
    }
    SaveLayout();
    event->accept();
}

} // namespace zelk::view
