#include "shell/Session.h"

#include "host/ReferenceHost.h"
#include "host/data/PgDataService.h"
#include "map/MapImage.h"
#include "map/MapWindows.h"
#include "platform/Error.h"
#include "platform/ui/UiDriver.h"
#include "shell/MainWindow.h"
#include "shell/Remembered.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QProgressDialog>

namespace zelk::view {

namespace {
constexpr int kRecentMost = 8;
constexpr const char* kRecentKey = "recent/databases";

QString Shown(const QString& database) {
    return QString::fromStdString(host::PgDataService::Redacted(database.toStdString()));
}

bool IsServer(const QString& database) {
    return host::PgDataService::IsUrl(database.toStdString());
}
} // namespace

Session::Session(QString user, QObject* parent) : QObject(parent), user_(std::move(user)) {}

Session::~Session() {
    ShowMapsInReports(nullptr);
    // The windows before the host they show.
    maps_.reset();
    main_.reset();
    host_.reset();
}

QStringList Session::RecentDatabases() {
    return WorkbenchSettings().value(kRecentKey).toStringList();
}

void Session::Remember(const QString& database) {
    // Never a password: a server's URL is kept as it is shown.
    const QString kept = Shown(database);
    QStringList list = RecentDatabases();
    list.removeAll(kept);
    list.prepend(kept);
    while (list.size() > kRecentMost)
        list.removeLast();
    WorkbenchSettings().setValue(kRecentKey, list);
}

bool Session::Open(const QString& database) {
    return OpenWith(database, 0, false);
}

bool Session::Create(const QString& file, int sampleAreas) {
    if (QFileInfo::exists(file)) {
        Ui().MsgBox(tr("%1 exists already: choose another name for the new database.")
                        .arg(file)
                        .toStdString(),
                    vb::Exclamation, "Wayfold");
        return false;
    }
    return OpenWith(file, sampleAreas, true);
}

bool Session::Connect(const QString& url, const QString& user,
                      const std::function<QString()>& password) {
    host::PgDataService::SetPasswordPrompt(
        [password](const std::string&) { return password ? password().toStdString() : ""; });
    const std::string to =
        user.isEmpty() ? url.toStdString()
                       : host::PgDataService::WithUser(url.toStdString(), user.toStdString());
    return Open(QString::fromStdString(to));
}

bool Session::OpenWith(const QString& database, int sampleAreas, bool create) {
    // The windows go first, each asking to save as closing does; one kept open keeps them all.
    if (main_) {
        if (!main_->CloseAllWindows()) return false;
        main_->SaveLayout();
    }
    host::HostOptions options;
    options.dbPath = database.toStdString();
    options.userName = IsServer(database) ? std::string() : user_.toStdString();
    options.fillWorkingList = true;
    // A file that is not there yet is made: with the chosen sample data, or else empty.
    options.sampleData = !create || sampleAreas > 0;
    options.sampleAreas = create ? sampleAreas : options.sampleAreas;
    const bool fresh =
        !IsServer(database) && database != ":memory:" && !QFileInfo::exists(database);
    if (fresh) QDir().mkpath(QFileInfo(database).absolutePath());
    std::unique_ptr<QProgressDialog> bar;
    if (fresh && options.sampleData) {
        bar = std::make_unique<QProgressDialog>(
            tr("Writing %n sample managed area(s) to %1...", nullptr, options.sampleAreas)
                .arg(database),
            QString(), 0, 100);
        bar->setWindowTitle("Wayfold");
        bar->setWindowModality(Qt::ApplicationModal);
        bar->setMinimumDuration(0);
        bar->setValue(0);
    }
    std::unique_ptr<host::ReferenceHost> made;
    try {
        made = host::ReferenceHost::Open(options, [&](int percent) {
            if (bar) bar->setValue(percent);
            if (progress) progress(percent);
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    } catch (const ComError& e) {
        bar.reset();
        Ui().MsgBox(tr("The database %1 could not be opened:\n\n%2")
                        .arg(Shown(database), QString::fromStdString(e.Description()))
                        .toStdString(),
                    vb::Exclamation, "Wayfold");
        return false;
    }
    bar.reset();
    // The new windows show before the old ones go, so the program never is without a window
    // (it would end); the old windows go before the host they show.
    auto oldMaps = std::move(maps_);
    auto oldMain = std::move(main_);
    auto oldHost = std::move(host_);
    host_ = std::move(made);
    database_ = database;
    Show();
    oldMaps.reset();
    oldMain.reset();
    oldHost.reset();
    host_->MakeCurrent();
    Remember(database);
    emit opened(Shown(database));
    return true;
}

void Session::Show() {
    main_ = std::make_unique<MainWindow>(*host_, database_);
    maps_ = std::make_unique<MapWindows>(main_->Area());
    ShowMapsInReports(host_->Db());
    // Run from the event loop, never inside the menu of the window they replace.
    auto later = [this](void (Session::*ask)()) {
        return [this, ask] { QMetaObject::invokeMethod(this, ask, Qt::QueuedConnection); };
    };
    QMenu* menu = main_->WorkbenchMenu();
    QAction* first = menu->actions().value(0);
    auto* open = new QAction(tr("Open Data&base..."), menu);
    open->setObjectName("actOpenDatabase");
    connect(open, &QAction::triggered, this, later(&Session::AskOpen));
    auto* make = new QAction(tr("Ne&w Database..."), menu);
    make->setObjectName("actNewDatabase");
    connect(make, &QAction::triggered, this, later(&Session::AskCreate));
    auto* connectTo = new QAction(tr("Connect to Ser&ver..."), menu);
    connectTo->setObjectName("actConnectToServer");
    connect(connectTo, &QAction::triggered, this, later(&Session::AskConnect));
    auto* recent = new QMenu(tr("&Recent Databases"), menu);
    recent->setObjectName("mnuRecentDatabases");
    connect(recent, &QMenu::aboutToShow, this, [this, recent] {
        recent->clear();
        int n = 1;
        for (const QString& db : RecentDatabases()) {
            QAction* a = recent->addAction(QString("&%1 %2").arg(n++).arg(db));
            connect(a, &QAction::triggered, this, [this, db] {
                QMetaObject::invokeMethod(
                    this, [this, db] { Open(db); }, Qt::QueuedConnection);
            });
        }
        if (n == 1) recent->addAction(tr("(none)"))->setEnabled(false);
    });
    menu->insertActions(first, {open, make, connectTo});
    menu->insertMenu(first, recent);
    menu->insertSeparator(first);
    main_->show();
}

void Session::AskOpen() {
    const QString file =
        QFileDialog::getOpenFileName(main_.get(), tr("Open Database"), QString(),
                                     tr("Wayfold databases (*.db *.sqlite);;All files (*)"));
    if (!file.isEmpty()) Open(file);
}

std::unique_ptr<QInputDialog> Session::NewDatabaseDialog(QWidget* parent) {
    QStringList sizes;
    for (int n : SampleSizes())
        sizes << (n == 0 ? tr("Empty") : tr("%n sample managed area(s)", nullptr, n));
    auto ask = std::make_unique<QInputDialog>(parent);
    ask->setWindowTitle(tr("New Database"));
    ask->setLabelText(tr("Contents:"));
    ask->setComboBoxItems(sizes);
    ask->setComboBoxEditable(false);
    ask->setTextValue(sizes.first());
    return ask;
}

void Session::AskCreate() {
    auto ask = NewDatabaseDialog(main_.get());
    if (ask->exec() != QDialog::Accepted) return;
    const int size = static_cast<int>(ask->comboBoxItems().indexOf(ask->textValue()));
    const QString file = QFileDialog::getSaveFileName(main_.get(), tr("New Database"), QString(),
                                                      tr("Wayfold databases (*.db)"));
    if (!file.isEmpty()) Create(file, SampleSizes().value(size));
}

void Session::AskConnect() {
    QDialog ask(main_.get());
    ask.setWindowTitle(tr("Connect to Server"));
    auto* form = new QFormLayout(&ask);
    auto* url = new QLineEdit("postgresql://localhost/wayfold");
    auto* user = new QLineEdit(qEnvironmentVariable("PGUSER"));
    form->addRow(tr("&Server URL:"), url);
    form->addRow(tr("&User:"), user);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, &ask, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &ask, &QDialog::reject);
    form->addRow(buttons);
    if (ask.exec() != QDialog::Accepted) return;
    Connect(url->text(), user->text(), [this] {
        return QInputDialog::getText(main_.get(), tr("Connect to Server"), tr("&Password:"),
                                     QLineEdit::Password);
    });
}

} // namespace zelk::view
