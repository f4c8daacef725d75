#include "UsersTest.h"

#include "ViewTestSupport.h"
#include "host/ReferenceHost.h"
#include "host/data/PgDataService.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"
#include "shell/MainWindow.h"
#include "shell/RecordWindow.h"
#include "shell/RecordsetModel.h"
#include "shell/UsersWindow.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace zelk::view::testing {

namespace {

using host::PgDataService;

// The database the users share: a file, or a database of its own on the ZELK_TEST_PG server.
// Roles made on the server are the whole server's: their names carry this run's prefix, and
// they are dropped at the end with the database.
struct Shared {
    std::string path, database;
    std::vector<std::string> roles;
};
Shared& Made() {
    static Shared s;
    return s;
}

std::string Prefix() {
    return "zwb" + std::to_string(getpid()) + "_";
}

std::string NewDatabase() {
    static int made = 0;
    const std::string name = Prefix() + std::to_string(++made);
    if (WorkbenchOnPostgres()) {
        PgDataService::Administer(std::getenv("ZELK_TEST_PG"), "CREATE DATABASE " + name);
        Made().database = name;
        Made().path = PgDataService::WithDatabase(std::getenv("ZELK_TEST_PG"), name);
    } else {
        Made().path = (std::filesystem::temp_directory_path() / (name + ".db")).string();
    }
    return Made().path;
}

// The host of one user: on a server the login named in the URL, on a file the name given.
std::unique_ptr<host::ReferenceHost> OpenAs(const std::string& user) {
    if (WorkbenchOnPostgres())
        return host::ReferenceHost::Open(
            {user.empty() ? Made().path : PgDataService::WithUser(Made().path, user), "", 30, 2,
             true, true});
    return host::ReferenceHost::Open({Made().path, user, 30, 2, true, true});
}

QAction* ActionNamed(QWidget& w, const char* name) {
    for (QAction* a : w.findChildren<QAction*>())
        if (a->objectName() == name) return a;
    return nullptr;
}

template <class W> W* Child(QWidget& w, const char* name) {
    return w.findChild<W*>(name);
}

// The administrator fills the form and presses a button.
void Enter(UsersWindow& users, const std::string& name, const char* access, const char* button) {
    Child<QLineEdit>(users, "txtUserName")->setText(QString::fromStdString(name));
    Child<QComboBox>(users, "cboAccess")->setCurrentText(access);
    QTest::mouseClick(Child<QPushButton>(users, button), Qt::LeftButton);
    QApplication::processEvents();
}

bool Listed(UsersWindow& users, const std::string& name, const char* access) {
    QTableWidget* list = users.List();
    for (int r = 0; r < list->rowCount(); ++r)
        if (list->item(r, 0)->text() == QString::fromStdString(name) &&
            list->item(r, 1)->text() == access)
            return true;
    return false;
}

Control& In(RecordWindow& w, const char* name) {
    Control* c = dynamic_cast<Form&>(*w.HostedControl()).Find(name);
    if (!c) qFatal("no control %s", name);
    return *c;
}

std::string Db1(host::ReferenceHost& host, const std::string& sql) {
    auto rs = host.Db()->Query(sql);
    return rs->EOF() ? std::string("<none>") : CStr(rs->GetFields().Item(std::size_t{0}).Value());
}

} // namespace

void UsersTest::cleanup() {
    SetUiDriver(nullptr);
    const char* server = std::getenv("ZELK_TEST_PG");
    if (WorkbenchOnPostgres() && server) {
        try {
            PgDataService::Administer(server, "DROP DATABASE IF EXISTS " + Made().database +
                                                  " WITH (FORCE)");
            for (const auto& r : Made().roles)
                PgDataService::Administer(server, "DROP ROLE IF EXISTS \"" + r + "\"");
        } catch (const ComError&) {
            // Left behind, they go with the throw-away cluster.
        }
    } else if (!Made().path.empty()) {
        std::error_code ec;
        for (const char* suffix : {"", "-wal", "-shm"})
            std::filesystem::remove(Made().path + suffix, ec);
    }
    Made() = Shared{};
}

void UsersTest::anAdministratorAddsAReaderAndAnEditorWhoWorkAsSuch() {
    auto ui = InstallScriptedUi();
    NewDatabase();
    const std::string reader = Prefix() + "reader", editor = Prefix() + "editor";
    const std::string db = Made().database;
    Made().roles = {reader, editor, db + "_reader", db + "_editor", db + "_admin"};
    long id = 0;
    {
        // Whoever made the database administers it.
        auto admin = OpenAs("");
        MainWindow main(*admin, QString::fromStdString(Made().path));
        ShowActive(main);
        QAction* open = ActionNamed(main, "actUsers");
        QVERIFY(open);
        open->trigger();
        UsersWindow* users = main.findChild<UsersWindow*>();
        QVERIFY(users && users->isVisible());
        Enter(*users, reader, "read", "cmdAdd");
        Enter(*users, editor, "read", "cmdAdd");
        // The editor was added as a reader by mistake: selected and changed.
        Enter(*users, editor, "edit", "cmdChange");
        QVERIFY(ui->Messages().empty());
        QVERIFY(Listed(*users, reader, "read"));
        QVERIFY(Listed(*users, editor, "edit"));
        id = main.WorkingListModel()->IdAt(0);
    }

    {
        // The reader: nothing to administer, no New, every field locked, Save off.
        auto host = OpenAs(reader);
        MainWindow main(*host, QString::fromStdString(Made().path));
        ShowActive(main);
        QVERIFY(!ActionNamed(main, "actUsers"));
        QAction* add = ActionNamed(main, "actNewManagedArea");
        QVERIFY(add && !add->isEnabled());
        main.OpenDetails(id);
        QCOMPARE(main.RecordWindows().size(), 1);
        RecordWindow& record = *main.RecordWindows().first();
        auto* name = WidgetOf<QLineEdit>(In(record, "ctlMAName"));
        QVERIFY(name && name->isReadOnly());
        QVERIFY(!In(record, "mnuFileSave").Enabled());
        QVERIFY(!In(record, "mnuEditDelete").Enabled());
        QVERIFY(!In(record, "mnuFileNew").Enabled());
        main.CloseAllWindows();
    }

    {
        // The editor saves, and the record names who did.
        auto host = OpenAs(editor);
        MainWindow main(*host, QString::fromStdString(Made().path));
        ShowActive(main);
        QVERIFY(!ActionNamed(main, "actUsers"));
        main.OpenDetails(id);
        RecordWindow& record = *main.RecordWindows().first();
        auto* name = WidgetOf<QLineEdit>(In(record, "ctlMAName"));
        QVERIFY(name && !name->isReadOnly());
        QTest::mouseClick(name, Qt::LeftButton);
        name->selectAll();
        QTest::keyClicks(name, "Edited By The Editor");
        QTest::keyClick(name, Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
        QApplication::processEvents();
        const std::string where = " FROM ma WHERE managed_area_id = " + std::to_string(id);
        QCOMPARE(QString::fromStdString(Db1(*host, "SELECT managed_area_name" + where)),
                 QString("Edited By The Editor"));
        QCOMPARE(QString::fromStdString(Db1(*host, "SELECT rec_last_mod_user" + where)),
                 QString::fromStdString(editor));
        QVERIFY(ui->Messages().empty());
        main.CloseAllWindows();
    }
}

void UsersTest::hostileNamesAreTakenLiterallyOrRefused() {
    auto ui = InstallScriptedUi();
    NewDatabase();
    const std::string db = Made().database;
    const std::vector<std::string> names = {Prefix() + "o'brien; DROP TABLE ma; --",
                                            Prefix() + "\"quoted\" name", Prefix() + "Zo\xc3\xab",
                                            Prefix() + std::string(200, 'x')};
    Made().roles = {names[0], names[1], names[2], db + "_reader", db + "_editor", db + "_admin"};
    auto admin = OpenAs("");
    const std::string areas = Db1(*admin, "SELECT count(*) FROM ma");
    UsersWindow users(*admin->Db());
    users.show();
    for (const std::string& n : names) {
        ui->ClearLog();
        Enter(users, n, "read", "cmdAdd");
        if (Listed(users, n, "read")) {
            QVERIFY(ui->Messages().empty());
            continue;
        }
        // Refused, with the reason: only a name the server cannot hold.
        QVERIFY(WorkbenchOnPostgres() && n.size() > 63);
        QCOMPARE(ui->Messages().size(), std::size_t{1});
        QVERIFY(ui->Messages().front().find("too long") != std::string::npos);
    }
    QCOMPARE(Db1(*admin, "SELECT count(*) FROM ma"), areas);
    // Removing asks first.
    ui->ClearLog();
    ui->QueueAnswer(vb::Yes);
    Enter(users, names[0], "read", "cmdRemove");
    QVERIFY(!Listed(users, names[0], "read"));
}

} // namespace zelk::view::testing
