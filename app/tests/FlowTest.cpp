// The module in the workbench's windows: find, open, edit, refuse, save, close.
#include "FlowTest.h"

#include "ViewTestSupport.h"
#include "host/ReferenceHost.h"
#include "host/data/PgDataService.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/FetchProgress.h"
#include "platform/Strings.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TabControl.h"
#include "platform/ui/VSFlexGrid.h"
#include "shell/MainWindow.h"
#include "shell/RecordWindow.h"
#include "shell/RecordsetModel.h"
#include "shell/Session.h"
#include "shell/WorkingListPanel.h"
#include "view/Convert.h"
#include "view/QtUiDriver.h"

#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSplitter>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace zelk::view::testing {

namespace {

// With ZELK_TEST_BACKEND=postgresql each host gets a new database on the ZELK_TEST_PG server,
// dropped when the test ends; otherwise a private one in memory.
std::vector<std::string>& PgDatabases() {
    static std::vector<std::string> names;
    return names;
}

std::string TestDatabase() {
    if (!WorkbenchOnPostgres()) return ":memory:";
    // Numbered across the run, so a database whose drop failed never blocks a later test.
    static int made = 0;
    const std::string name = "zelk_wb" + std::to_string(getpid()) + "_" + std::to_string(++made);
    host::PgDataService::Administer(std::getenv("ZELK_TEST_PG"), "CREATE DATABASE " + name);
    PgDatabases().push_back(name);
    return host::PgDataService::WithDatabase(std::getenv("ZELK_TEST_PG"), name);
}

std::unique_ptr<host::ReferenceHost> OpenHost(bool fullList) {
    // On a server the server's session user is the user; a name of the test's own is refused.
    return host::ReferenceHost::Open(
        {TestDatabase(), WorkbenchOnPostgres() ? "" : "ann", 60, 3, true, fullList});
}

std::string Db1(host::ReferenceHost& host, const std::string& sql) {
    auto rs = host.Db()->Query(sql);
    return rs->EOF() ? std::string("<none>") : CStr(rs->GetFields().Item(std::size_t{0}).Value());
}

RecordWindow* WindowOf(MainWindow& main, const char* typeName) {
    for (RecordWindow* w : main.RecordWindows())
        if (IEquals(w->HostedControl()->TypeName(), typeName)) return w;
    return nullptr;
}

Control& In(RecordWindow& w, const char* name) {
    Control* c = dynamic_cast<Form&>(*w.HostedControl()).Find(name);
    if (!c) qFatal("no control %s", name);
    return *c;
}

void Click(Control& c) {
    auto* b = WidgetOf<QPushButton>(c);
    QVERIFY(b && b->isVisible());
    QTest::mouseClick(b, Qt::LeftButton);
}

// The user picks a page by its tab.
void ShowPage(RecordWindow& w, int page) {
    auto* area = WidgetOf<QWidget>(In(w, "tabManagedAreas"));
    QTabBar* bar = area ? area->findChild<QTabBar*>() : nullptr;
    QVERIFY(bar);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
    QApplication::processEvents();
}

// The user replaces a field's text and presses Tab.
void TypeAndTab(QLineEdit* edit, const QString& text) {
    QTest::mouseClick(edit, Qt::LeftButton);
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Tab);
}

// Runs `act` on the progress dialog once it is up, from inside the search that shows it.
void WhenProgressShows(std::function<void(QProgressDialog&)> act, int tries = 10000) {
    QMetaObject::invokeMethod(
        qApp,
        [act = std::move(act), tries]() mutable {
            if (auto* d = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget()))
                act(*d);
            else if (tries > 0)
                WhenProgressShows(std::move(act), tries - 1);
        },
        Qt::QueuedConnection);
}

bool ProgressShowing() {
    for (QWidget* w : QApplication::allWidgets())
        if (qobject_cast<QProgressDialog*>(w) && w->isVisible()) return true;
    return false;
}

} // namespace

void FlowTest::cleanup() {
    for (const std::string& name : PgDatabases()) {
        try {
            host::PgDataService::Administer(std::getenv("ZELK_TEST_PG"),
                                            "DROP DATABASE IF EXISTS " + name + " WITH (FORCE)");
        } catch (const ComError&) {
            // Left behind, it goes with the throw-away cluster.
        }
    }
    PgDatabases().clear();
    SetUiDriver(nullptr);
    // Each case starts from the default layout.
    QSettings(QSettings::IniFormat, QSettings::UserScope, "wayfold", "workbench").clear();
}

namespace {
// The header of the search window's results grid.
QHeaderView* ResultsHeader(MainWindow& main) {
    RecordWindow* find = WindowOf(main, "ManagedAreaSearch");
    auto* table = find ? WidgetOf<QTableView>(In(*find, "flexResults")) : nullptr;
    return table ? table->horizontalHeader() : nullptr;
}
} // namespace

namespace {
// The access key of a caption ("&File" -> 'F'), 0 when it has none.
QChar Mnemonic(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return text[i + 1].toUpper();
    }
    return {};
}

// Captions among these visible actions that share an access key, as "key: a, b".
QStringList Clashes(const QList<QAction*>& actions) {
    QMap<QChar, QStringList> by;
    for (QAction* a : actions)
        if (a->isVisible() && !a->isSeparator())
            if (const QChar m = Mnemonic(a->text()); !m.isNull()) by[m] << a->text();
    QStringList out;
    for (auto it = by.begin(); it != by.end(); ++it)
        if (it->size() > 1) out << QString(it.key()) + ": " + it->join(", ");
    return out;
}

// The visible items of the bar's File menus, each menu's items in turn.
QStringList FileCaptions(MainWindow& main) {
    QStringList out;
    for (QAction* top : main.menuBar()->actions())
        if (top->isVisible() && top->menu() && top->text().remove('&') == "File")
            for (QAction* a : top->menu()->actions())
                if (a->isVisible() && !a->isSeparator()) out << a->text().remove('&');
    return out;
}

// Every clash of the bar and of each of its menus and submenus.
QStringList MenuClashes(QMenuBar* bar) {
    QStringList out = Clashes(bar->actions());
    QList<QMenu*> menus;
    for (QAction* a : bar->actions())
        if (a->isVisible() && a->menu()) menus << a->menu();
    while (!menus.isEmpty()) {
        QMenu* m = menus.takeFirst();
        emit m->aboutToShow();
        out << Clashes(m->actions());
        for (QAction* a : m->actions())
            if (a->isVisible() && a->menu()) menus << a->menu();
    }
    return out;
}
} // namespace

void FlowTest::accessKeysAreUniqueAndTextFits() {
    auto ui = InstallScriptedUi();
    QTemporaryDir dir;
    Session session("ann");
    QVERIFY(session.Create(dir.filePath("keys.db"), 25));
    MainWindow& main = *session.Main();
    ShowActive(main);
    QCOMPARE(MenuClashes(main.menuBar()).join("; "), QString());
    // With the editor's and the search's menus merged into the bar.
    const qsizetype own = main.menuBar()->actions().size();
    main.OpenDetails(main.WorkingList()->IdAtViewRow(0));
    QVERIFY(main.menuBar()->actions().size() > own);
    QCOMPARE(MenuClashes(main.menuBar()).join("; "), QString());
    // One File menu: the editor's commands, then the workbench's.
    QCOMPARE(FileCaptions(main).mid(0, 1), QStringList{"New..."});
    QVERIFY(FileCaptions(main).contains("Save"));
    QVERIFY(FileCaptions(main).contains("Open Database..."));
    QVERIFY(FileCaptions(main).contains("Exit"));
    main.FindManagedAreas();
    QCOMPARE(MenuClashes(main.menuBar()).join("; "), QString());
    QCOMPARE(FileCaptions(main).mid(0, 1), QStringList{"New Search"});
    QVERIFY(FileCaptions(main).contains("Connect to Server..."));
    QVERIFY(!FileCaptions(main).contains("Save"));
    // In each window, on each page, the access keys of what is on show, and no text cut.
    for (RecordWindow* w : main.RecordWindows()) {
        main.Area()->setActiveSubWindow(w);
        QTabBar* pages = nullptr;
        for (QTabBar* b : w->findChildren<QTabBar*>())
            if (b->isVisible() && b->count() > 1) pages = b;
        for (int page = 0; page < (pages ? pages->count() : 1); ++page) {
            if (pages) pages->setCurrentIndex(page);
            QApplication::processEvents();
            QMap<QChar, QStringList> by;
            QStringList cut;
            auto add = [&](const QString& text, QWidget* widget) {
                if (const QChar m = Mnemonic(text); !m.isNull()) by[m] << text;
                QString plain = text;
                plain.remove(QRegularExpression("&(?!&)"));
                if (widget && widget->fontMetrics().horizontalAdvance(plain) > widget->width())
                    cut << plain;
            };
            for (QAbstractButton* b : w->findChildren<QAbstractButton*>())
                if (b->isVisible()) add(b->text(), b->icon().isNull() ? b : nullptr);
            for (QLabel* l : w->findChildren<QLabel*>())
                if (l->isVisible() && !l->text().contains('<')) add(l->text(), l);
            if (pages)
                for (int t = 0; t < pages->count(); ++t)
                    if (pages->isTabVisible(t)) add(pages->tabText(t), nullptr);
            QStringList clashes;
            for (auto it = by.begin(); it != by.end(); ++it)
                if (it->size() > 1) clashes << QString(it.key()) + ": " + it->join(", ");
            // The search's own design gives its State tab and its Select All button one key.
            clashes.removeAll("A: Select &All, St&ate");
            QVERIFY2(clashes.isEmpty(), qPrintable(w->windowTitle() + ": " + clashes.join("; ")));
            QVERIFY2(cut.isEmpty(), qPrintable(w->windowTitle() + ": " + cut.join("; ")));
        }
    }
    main.CloseAllWindows();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
    // With no window left the File menu is the workbench's alone again.
    QCOMPARE(FileCaptions(main).value(0), QString("Open Database..."));
    QVERIFY(!FileCaptions(main).contains("Close"));
}

void FlowTest::databasesAreOpenedMadeAndRemembered() {
    auto ui = InstallScriptedUi();
    QTemporaryDir dir;
    const QString empty = dir.filePath("empty.db"), sample = dir.filePath("sample.db");
    Session session("ann");
    QStringList opened;
    connect(&session, &Session::opened, this, [&](const QString& db) { opened << db; });

    QVERIFY(session.Create(empty, 0));
    QCOMPARE(session.Main()->WorkingListModel()->rowCount(), 0);
    QCOMPARE(Db1(*session.Host(), "SELECT COUNT(*) FROM ma"), std::string("0"));

    // Sample data: the progress runs up to the end while the file is written.
    QList<int> steps;
    session.progress = [&](int percent) { steps << percent; };
    QVERIFY(session.Create(sample, 25));
    QVERIFY(steps.size() > 1);
    QCOMPARE(steps.last(), 100);
    QVERIFY(std::is_sorted(steps.begin(), steps.end()));
    QCOMPARE(session.Main()->WorkingListModel()->rowCount(), 25);
    QVERIFY(session.Main()->isVisible());
    // An existing file is never made anew.
    QVERIFY(!session.Create(sample, 0));
    QVERIFY(ui->Log().size() == 1 && ui->Log()[0].text.find("exists") != std::string::npos);

    // Another database: its own records, and the editor's window of the old one closed.
    MainWindow* before = session.Main();
    before->OpenDetails(before->WorkingList()->IdAtViewRow(0));
    QCOMPARE(before->RecordWindows().size(), 1);
    // Unsaved changes are asked about first: Cancel keeps this database and its windows.
    auto* nameEdit = WidgetOf<QLineEdit>(In(*before->RecordWindows()[0], "ctlMAName"));
    TypeAndTab(nameEdit, "Unsaved Name");
    ui->ClearLog();
    ui->QueueAnswer(vb::Cancel);
    QVERIFY(!session.Open(empty));
    QCOMPARE(ui->Messages().size(), std::size_t{1});
    QCOMPARE(session.Main(), before);
    QCOMPARE(before->RecordWindows().size(), 1);
    QCOMPARE(nameEdit->text(), QString("Unsaved Name"));
    ui->QueueAnswer(vb::No);
    QVERIFY(session.Open(empty));
    QCOMPARE(ui->PendingAnswers(), std::size_t{0});
    QCOMPARE(session.Main()->WorkingListModel()->rowCount(), 0);
    QCOMPARE(session.Main()->RecordWindows().size(), 0);
    QVERIFY(session.Open(sample));
    QCOMPARE(session.Main()->WorkingListModel()->rowCount(), 25);
    QCOMPARE(opened, QStringList({empty, sample, empty, sample}));
    QCOMPARE(
        Db1(*session.Host(), "SELECT COUNT(*) FROM ma WHERE managed_area_name = 'Unsaved Name'"),
        std::string("0"));

    // Newest first, each once, at most eight.
    QCOMPARE(Session::RecentDatabases(), QStringList({sample, empty}));
    QStringList more;
    for (int i = 0; i < 8; ++i) {
        more.prepend(dir.filePath(QString("more%1.db").arg(i)));
        QVERIFY(session.Create(more.first(), 0));
    }
    QCOMPARE(Session::RecentDatabases(), more);
    QVERIFY(session.Open(empty));
    more.prepend(empty);
    more.removeLast();
    QCOMPARE(Session::RecentDatabases(), more);

    // A server: the URL is remembered, the password never.
    const char* server = std::getenv("ZELK_TEST_PG");
    if (!server || !*server) QSKIP("no PostgreSQL server in ZELK_TEST_PG");
    const std::string name = "zelk_wbconnect" + std::to_string(getpid());
    host::PgDataService::Administer(server, "CREATE DATABASE " + name);
    PgDatabases().push_back(name);
    const std::string url = host::PgDataService::WithDatabase(server, name);
    const QString secret = "not-the-password-" + QString::number(getpid());
    QVERIFY(session.Connect(QString::fromStdString(url), "", [secret] { return secret; }));
    QVERIFY(session.Main()->WorkingListModel()->rowCount() > 0);
    const QString shown = QString::fromStdString(host::PgDataService::Redacted(url));
    QCOMPARE(Session::RecentDatabases().value(0), shown);
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, "wayfold", "workbench");
    settings.sync();
    QFile file(settings.fileName());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(!text.contains(secret.toUtf8()));
    const auto at = url.find('@'), colon = url.find(':', url.find("//") + 2);
    if (at != std::string::npos && colon < at)
        QVERIFY(!text.contains(QByteArray::fromStdString(url.substr(colon + 1, at - colon - 1))));
    // Off the server before its database is dropped.
    QVERIFY(session.Open(empty));
}

void FlowTest::layoutsAreKeptPerUser() {
    auto ui = InstallScriptedUi();
    auto host = OpenHost(true);
    const long id = host->WorkingList()->RecordCount() > 0
                        ? (host->WorkingList()->MoveFirst(), CLng(host->WorkingList()->Value("ID")))
                        : -1;
    QVERIFY(id >= 0);
    const QRect mainAt(40, 30, 1100, 700), editorAt(10, 20, 640, 480);
    QList<int> split;
    int nameWidth = 0, defaultNameWidth = 0, nameCol = -1;
    int resultWidth = 0, defaultResultWidth = 0;
    {
        MainWindow main(*host, ":memory:");
        ShowActive(main);
        QHeaderView* header = main.WorkingListView()->horizontalHeader();
        for (int c = 0; c < header->count(); ++c)
            if (header->model()->headerData(c, Qt::Horizontal).toString() == "Name") nameCol = c;
        QVERIFY(nameCol >= 0 && nameCol < header->count() - 1);
        defaultNameWidth = header->sectionSize(nameCol);
        main.setGeometry(mainAt);
        main.Splitter()->setSizes({250, 850});
        split = main.Splitter()->sizes();
        header->resizeSection(nameCol, defaultNameWidth + 37);
        nameWidth = header->sectionSize(nameCol);
        // A refresh of the list fits its columns again, but not over the user's width.
        main.RefreshWorkingList();
        QCOMPARE(header->sectionSize(nameCol), nameWidth);

        main.OpenDetails(id);
        RecordWindow* editor = WindowOf(main, "ManagedAreaDetails");
        QVERIFY(editor);
        editor->setGeometry(editorAt);
        auto& tabs = dynamic_cast<vaTabPro&>(In(*editor, "tabManagedAreas"));
        QVERIFY(tabs.UserSelectTab(2));
        main.FindManagedAreas();
        QHeaderView* results = ResultsHeader(main);
        QVERIFY(results && results->count() > 2);
        defaultResultWidth = results->sectionSize(1);
        results->resizeSection(1, defaultResultWidth + 23);
        resultWidth = results->sectionSize(1);
        QVERIFY(main.close());
    }
    {
        MainWindow main(*host, ":memory:");
        ShowActive(main);
        QCOMPARE(main.geometry(), mainAt);
        QCOMPARE(main.Splitter()->sizes(), split);
        QCOMPARE(main.WorkingListView()->horizontalHeader()->sectionSize(nameCol), nameWidth);
        main.OpenDetails(id);
        RecordWindow* editor = WindowOf(main, "ManagedAreaDetails");
        QVERIFY(editor);
        QCOMPARE(editor->geometry(), editorAt);
        QCOMPARE(dynamic_cast<vaTabPro&>(In(*editor, "tabManagedAreas")).ActiveTab(), 2);
        main.FindManagedAreas();
        QCOMPARE(ResultsHeader(main)->sectionSize(1), resultWidth);
        main.CloseAllWindows();
    }
    // Another user on the same machine starts from the defaults. (On a server the server says
    // who the user is, so the test's host cannot be someone else.)
    if (WorkbenchOnPostgres()) return;
    auto other = host::ReferenceHost::Open({":memory:", "bob", 60, 3, true, true});
    MainWindow main(*other, ":memory:");
    ShowActive(main);
    QVERIFY(main.geometry() != mainAt);
    QVERIFY(main.Splitter()->sizes() != split);
    QCOMPARE(main.WorkingListView()->horizontalHeader()->sectionSize(nameCol), defaultNameWidth);
    main.OpenDetails(id);
    RecordWindow* editor = WindowOf(main, "ManagedAreaDetails");
    QVERIFY(editor);
    QVERIFY(editor->geometry() != editorAt);
    QCOMPARE(dynamic_cast<vaTabPro&>(In(*editor, "tabManagedAreas")).ActiveTab(), 0);
    main.FindManagedAreas();
    QCOMPARE(ResultsHeader(main)->sectionSize(1), defaultResultWidth);
    main.CloseAllWindows();
}

void FlowTest::aSearchFillsTheWorkingList() {
    auto ui = InstallScriptedUi();
    auto host = OpenHost(false);
    // A word of a sample name, so the search finds that area and perhaps more.
    std::string name = Db1(*host, "SELECT managed_area_name FROM ma ORDER BY managed_area_id");
    std::string word = name.substr(0, name.find(' '));
    MainWindow main(*host, ":memory:");
    ShowActive(main);
    QCOMPARE(main.WorkingListModel()->rowCount(), 0);

    main.FindManagedAreas();
    RecordWindow* find = WindowOf(main, "ManagedAreaSearch");
    QVERIFY(find);
    QCOMPARE(find->windowTitle(), QString("Find Managed Area"));
    auto* criterion = WidgetOf<QLineEdit>(In(*find, "txtManagedAreaName"));
    QVERIFY(criterion);
    QTest::mouseClick(criterion, Qt::LeftButton);
    QTest::keyClicks(criterion, Q(word));
    Click(In(*find, "cmdFindNow"));

    auto& grid = dynamic_cast<VSFlexGrid&>(In(*find, "flexResults"));
    auto* table = WidgetOf<QTableView>(grid);
    QVERIFY(table);
    QVERIFY(grid.Rows() >= 2);
    QCOMPARE(table->model()->rowCount(), static_cast<int>(grid.Rows() - grid.FixedRows()));
    QVERIFY(Q(grid.TextMatrix(1, 1)).contains(Q(word), Qt::CaseInsensitive));

    // The first row by a click, the others added with Ctrl; then Add to List.
    long rows = std::min<long>(grid.Rows() - 1, 3);
    for (int r = 0; r < rows; ++r) {
        QRect cell = table->visualRect(table->model()->index(r, 1));
        QTest::mouseClick(table->viewport(), Qt::LeftButton,
                          r == 0 ? Qt::KeyboardModifiers() : Qt::ControlModifier, cell.center());
    }
    QCOMPARE(grid.SelectedRows(), rows);
    Click(In(*find, "cmdAddToList"));
    QApplication::processEvents();
    RecordsetModel* list = main.WorkingListModel();
    QCOMPARE(list->rowCount(), static_cast<int>(rows));
    for (int r = 0; r < rows; ++r)
        QCOMPARE(list->IdAt(r), static_cast<long>(CLng(Variant(grid.TextMatrix(r + 1, 0)))));

    // Details opens the chosen record in a window of its own.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualRect(table->model()->index(0, 1)).center());
    Click(In(*find, "cmdDetails"));
    RecordWindow* record = WindowOf(main, "ManagedAreaDetails");
    QVERIFY(record);
    QCOMPARE(CLng(record->HostedControl()->Call("GetID")), CLng(Variant(grid.TextMatrix(1, 0))));
    QVERIFY(main.close());
    QCOMPARE(ui->PendingAnswers(), std::size_t{0});
}

void FlowTest::aSlowSearchStopsOnCancelOrEscape() {
    auto ui = std::make_shared<QtUiDriver>();
    SetUiDriver(ui);
    auto host = OpenHost(false);
    MainWindow main(*host, ":memory:");
    ShowActive(main);
    main.FindManagedAreas();
    RecordWindow* find = WindowOf(main, "ManagedAreaSearch");
    QVERIFY(find);
    auto& grid = dynamic_cast<VSFlexGrid&>(In(*find, "flexResults"));
    auto& count = dynamic_cast<Label&>(In(*find, "lblRecordsReturnedCount"));
    auto* criterion = WidgetOf<QLineEdit>(In(*find, "txtManagedAreaName"));
    QVERIFY(criterion);
    QTest::mouseClick(criterion, Qt::LeftButton);
    QTest::keyClicks(criterion, "e");
    Click(In(*find, "cmdFindNow"));
    QVERIFY(grid.Rows() > 6);
    const long rows = grid.Rows();
    const std::string first = grid.TextMatrix(1, 1), shown = count.Caption();

    // From here every search is slow: its rows arrive in steps of five, a second apart.
    FetchProgress::SetInterval(5);
    FetchProgress::SetClock(
        [t = FetchProgress::TimePoint{}]() mutable { return t += std::chrono::seconds(1); });
    criterion->selectAll();
    QTest::keyClicks(criterion, "a");
    QString label;
    WhenProgressShows([&](QProgressDialog& d) {
        label = d.labelText();
        auto* cancel = d.findChild<QPushButton*>();
        QVERIFY(cancel);
        QCOMPARE(cancel->text(), QString("Cancel"));
        cancel->click();
    });
    Click(In(*find, "cmdFindNow"));
    QVERIFY2(label.contains("Rows read: 5"), qPrintable(label));
    QCOMPARE(grid.Rows(), rows);
    QCOMPARE(grid.TextMatrix(1, 1), first);
    QCOMPARE(count.Caption(), shown);
    QApplication::processEvents();
    QVERIFY(!ProgressShowing());

    // The key as the window system delivers it, shortcuts and all.
    WhenProgressShows(
        [&](QProgressDialog& d) { QTest::keyClick(d.windowHandle(), Qt::Key_Escape); });
    Click(In(*find, "cmdFindNow"));
    QCOMPARE(grid.Rows(), rows);
    QCOMPARE(count.Caption(), shown);

    QVERIFY(!ProgressShowing());

    // Left alone, the same search runs to its end.
    Click(In(*find, "cmdFindNow"));
    QVERIFY(!ProgressShowing());
    QCOMPARE(count.Caption(), std::to_string(grid.Rows() - 1));
    QVERIFY(Q(grid.TextMatrix(1, 1)).contains("a", Qt::CaseInsensitive));
    FetchProgress::SetClock({});
    FetchProgress::SetInterval(1000);
    SetUiDriver(nullptr);
}

void FlowTest::anEditIsCheckedSavedAndShownInTheList() {
    auto ui = InstallScriptedUi();
    auto host = OpenHost(true);
    MainWindow main(*host, ":memory:");
    ShowActive(main);
    QTableView* listView = main.WorkingListView();
    RecordsetModel* list = main.WorkingListModel();
    const int row = 4;
    long id = list->IdAt(row);

    // Return on a row of the working list opens its record.
    listView->setFocus();
    listView->setCurrentIndex(listView->model()->index(row, 0));
    QTest::keyClick(listView, Qt::Key_Return);
    QApplication::processEvents();
    RecordWindow* record = WindowOf(main, "ManagedAreaDetails");
    QVERIFY(record);
    QCOMPARE(CLng(record->HostedControl()->Call("GetID")), id);

    // A coordinate the host refuses: told, and the focus stays in the field.
    ShowPage(*record, 1);
    Control& north = In(*record, "txtNorth");
    auto* northEdit = WidgetOf<QLineEdit>(north);
    QVERIFY(northEdit && northEdit->isVisible());
    ui->ClearLog();
    TypeAndTab(northEdit, "4012301N");
    QCOMPARE(ui->Messages().size(), std::size_t{1});
    QVERIFY(north.HasFocus());
    QCOMPARE(QApplication::focusWidget(), northEdit);
    TypeAndTab(northEdit, "401230N");
    QVERIFY(!north.HasFocus());
    QCOMPARE(ui->Messages().size(), std::size_t{1});

    // A new name, saved with Ctrl+S.
    ShowPage(*record, 0);
    auto* nameEdit = WidgetOf<QLineEdit>(In(*record, "ctlMAName"));
    QVERIFY(nameEdit);
    TypeAndTab(nameEdit, "Heron Marsh Preserve");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    QApplication::processEvents();
    std::string where = " FROM ma WHERE managed_area_id = " + std::to_string(id);
    QCOMPARE(Q(Db1(*host, "SELECT managed_area_name" + where)), QString("Heron Marsh Preserve"));
    QCOMPARE(Q(Db1(*host, "SELECT north" + where)), QString("401230N"));
    QCOMPARE(list->data(list->index(list->RowOf(id), 1)).toString(),
             QString("Heron Marsh Preserve"));
    QCOMPARE(record->windowTitle(), QString("MA - Heron Marsh Preserve (Managed Area)"));

    // Saved: the window closes without a question.
    ui->ClearLog();
    record->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(main.RecordWindows().isEmpty());
    QVERIFY(ui->Messages().empty());
}

void FlowTest::closingWithUnsavedChangesAsks() {
    auto ui = InstallScriptedUi();
    auto host = OpenHost(true);
    MainWindow main(*host, ":memory:");
    ShowActive(main);
    long id = main.WorkingListModel()->IdAt(2);
    std::string where = " FROM ma WHERE managed_area_id = " + std::to_string(id);
    std::string before = Db1(*host, "SELECT managed_area_name" + where);
    main.OpenDetails(id);
    RecordWindow* record = WindowOf(main, "ManagedAreaDetails");
    QVERIFY(record);
    auto* nameEdit = WidgetOf<QLineEdit>(In(*record, "ctlMAName"));
    TypeAndTab(nameEdit, "Unsaved Name");

    // Cancel keeps the window and the edit; so does refusing to leave the program.
    ui->ClearLog();
    ui->QueueAnswer(vb::Cancel);
    record->close();
    QCOMPARE(ui->Messages().size(), std::size_t{1});
    QCOMPARE(main.RecordWindows().size(), 1);
    ui->QueueAnswer(vb::Cancel);
    QVERIFY(!main.close());
    QCOMPARE(main.RecordWindows().size(), 1);
    QCOMPARE(nameEdit->text(), QString("Unsaved Name"));

    // No: the window closes, nothing is written.
    ui->QueueAnswer(vb::No);
    record->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(main.RecordWindows().isEmpty());
    QCOMPARE(Db1(*host, "SELECT managed_area_name" + where), before);
    QCOMPARE(ui->PendingAnswers(), std::size_t{0});
}

namespace {
// The captions of the main window's menu bar, as the user reads them.
QStringList BarCaptions(MainWindow& main) {
    QStringList out;
    for (QAction* a : main.menuBar()->actions())
        if (a->isVisible()) out << a->text().remove('&');
    return out;
}
} // namespace

void FlowTest::windowsCloseInAnyOrderWithTheirMenus() {
    auto ui = InstallScriptedUi();
    auto host = OpenHost(true);
    auto main = std::make_unique<MainWindow>(*host, ":memory:");
    ShowActive(*main);
    const QStringList own{"File", "Window", "Help"};
    QCOMPARE(BarCaptions(*main), own);

    long first = main->WorkingListModel()->IdAt(0), second = main->WorkingListModel()->IdAt(1);
    main->FindManagedAreas();
    main->OpenDetails(first);
    main->OpenDetails(second);
    QCOMPARE(main->RecordWindows().size(), 3);
    QApplication::processEvents();

    // The active record's menus sit in the main bar, between the workbench's own.
    RecordWindow* last = main->RecordWindows().last();
    main->Area()->setActiveSubWindow(last);
    QStringList bar = BarCaptions(*main);
    QCOMPARE(bar.first(), QString("File"));
    QCOMPARE(bar.count("File"), 1);
    QVERIFY(bar.contains("Tools"));
    // The record's Help takes the place of the workbench's.
    QCOMPARE(bar.count("Help"), 1);
    QVERIFY(bar.indexOf("Help") < bar.indexOf("Window"));

    // The middle record asks to be closed through its own File menu; then the search goes.
    RecordWindow* middle = main->RecordWindows()[1];
    dynamic_cast<Form&>(*middle->HostedControl()).Find("mnuFileClose")->UserClick();
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(main->RecordWindows().size(), 2);
    main->RecordWindows().first()->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(main->RecordWindows().size(), 1);
    QVERIFY(BarCaptions(*main).contains("Tools"));

    // The program goes with a record still open; then the bar is the workbench's alone.
    main->RecordWindows().first()->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
    QCOMPARE(BarCaptions(*main), own);
    main->OpenDetails(first);
    main.reset();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(ui->Messages().empty());
}

void FlowTest::theWorkingListSortsFiltersAndLosesDeletedRows() {
    auto ui = InstallScriptedUi();
    auto host = OpenHost(true);
    MainWindow main(*host, ":memory:");
    ShowActive(main);
    WorkingListPanel* panel = main.WorkingList();
    QTableView* view = panel->View();
    QAbstractItemModel* shown = view->model();
    const int all = shown->rowCount();
    QVERIFY(all > 3);
    int idCol = -1, nameCol = -1;
    for (int c = 0; c < shown->columnCount(); ++c) {
        const QString h = shown->headerData(c, Qt::Horizontal).toString();
        if (h == "ID") idCol = c;
        if (h == "Name") nameCol = c;
    }
    QVERIFY(idCol >= 0 && nameCol >= 0);

    // A click on the ID header sorts by number, a second one the other way round.
    QHeaderView* header = view->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(header->sectionViewportPosition(idCol) + 10, header->height() / 2));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(header->sectionViewportPosition(idCol) + 10, header->height() / 2));
    for (int r = 1; r < all; ++r)
        QVERIFY(shown->index(r - 1, idCol).data().toLongLong() >
                shown->index(r, idCol).data().toLongLong());

    // Typing filters; the count says how many of all are shown.
    const QString name = shown->index(2, nameCol).data().toString();
    QTest::keyClicks(panel->FilterBox(), name);
    QVERIFY(shown->rowCount() >= 1 && shown->rowCount() < all);
    for (int r = 0; r < shown->rowCount(); ++r) {
        bool has = false;
        for (int c = 0; c < shown->columnCount(); ++c)
            has = has || shown->index(r, c).data().toString().contains(name, Qt::CaseInsensitive);
        QVERIFY(has);
    }
    QVERIFY(panel->CountText().startsWith(QString::number(shown->rowCount()) + " of "));
    panel->FilterBox()->clear();
    QCOMPARE(shown->rowCount(), all);

    // Delete takes the selected rows off the list, the host's list with it; the records stay.
    const long first = panel->IdAtViewRow(0), second = panel->IdAtViewRow(1);
    view->setFocus();
    view->selectionModel()->select(QItemSelection(shown->index(0, 0), shown->index(1, 0)),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QTest::keyClick(view, Qt::Key_Delete);
    QCOMPARE(shown->rowCount(), all - 2);
    QCOMPARE(host->WorkingList()->RecordCount(), static_cast<long>(all - 2));
    QCOMPARE(main.WorkingListModel()->RowOf(first), -1);
    QCOMPARE(main.WorkingListModel()->RowOf(second), -1);
    QCOMPARE(Db1(*host,
                 "SELECT managed_area_id FROM ma WHERE managed_area_id = " + std::to_string(first)),
             std::to_string(first));
}

} // namespace zelk::view::testing
