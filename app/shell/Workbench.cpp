#include "shell/Workbench.h"

#include "platform/Conv.h"

#include "host/ReferenceHost.h"
#include "host/data/PgDataService.h"
#include "map/MapImage.h"
#include "map/MapWindows.h"
#include "platform/Error.h"
#include "platform/ui/UiDriver.h"
#include "shell/Gallery.h"
#include "shell/MainWindow.h"
#include "shell/Screenshots.h"
#include "shell/Session.h"
#include "shell/UnattendedUiDriver.h"
#include "view/FormWidget.h"
#include "view/QtUiDriver.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QSettings>
#include <QTemporaryDir>

#include <iostream>

namespace zelk::view {

namespace {

std::unique_ptr<host::ReferenceHost> OpenHost(const StartupOptions& o, const QString& path,
                                              bool unattended) {
    host::HostOptions options;
    options.dbPath = path.toStdString();
    options.userName = o.user.toStdString();
    // Until a search fills it, the working list shows every managed area.
    options.fillWorkingList = true;
    const bool server = host::PgDataService::IsUrl(path.toStdString());
    bool fresh = !server && path != ":memory:" && !QFileInfo::exists(path);
    if (fresh) QDir().mkpath(QFileInfo(path).absolutePath());
    std::unique_ptr<QProgressDialog> progress;
    if (fresh && !unattended) {
        progress = std::make_unique<QProgressDialog>(
            QObject::tr("Creating the sample database in %1...").arg(path), QString(), 0, 100);
        progress->setWindowTitle("Wayfold");
        progress->setWindowModality(Qt::ApplicationModal);
        progress->setMinimumDuration(0);
        progress->setValue(0);
    }
    return host::ReferenceHost::Open(options, [&](int percent) {
        if (!progress) return;
        progress->setValue(percent);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
}

void Fail(const QString& text, bool unattended) {
    std::cerr << "zelk-workbench: " << text.toStdString() << '\n';
    if (!unattended) QMessageBox::critical(nullptr, "Wayfold", text);
}

} // namespace

int RunWorkbench(const StartupOptions& o) {
    bool unattended = !o.screenshotDir.isEmpty();
    std::shared_ptr<UiDriver> driver =
        unattended ? std::make_shared<UnattendedUiDriver>() : std::make_shared<QtUiDriver>();
    SetUiDriver(driver);
    struct ResetDriver {
        ~ResetDriver() { SetUiDriver(nullptr); }
    } reset;

    if (o.gallery) {
        FormWidget gallery(MakeGalleryForm());
        gallery.show();
        return QApplication::exec();
    }

    QString path = o.database.isEmpty() ? DefaultDatabasePath() : o.database;
    // Shown wherever the database is named: never with a password in it.
    const QString shown = QString::fromStdString(host::PgDataService::Redacted(path.toStdString()));
    if (host::PgDataService::IsUrl(path.toStdString()) && !o.user.isEmpty()) {
        Fail(QObject::tr("--user cannot be used with a server database: the server decides who "
                         "you are. Connect as another user in the URL (postgresql://NAME@host/db) "
                         "or with PGUSER=NAME."),
             unattended);
        return 2;
    }
    if (!unattended)
        host::PgDataService::SetPasswordPrompt([](const std::string& url) {
            bool ok = false;
            QString pw = QInputDialog::getText(
                nullptr, "Wayfold",
                QObject::tr("Password for %1:").arg(QString::fromStdString(url)),
                QLineEdit::Password, QString(), &ok);
            return ok ? pw.toStdString() : std::string();
        });
    if (!unattended) {
        Session session(o.user);
        if (!session.Open(path)) return 1;
        return QApplication::exec();
    }
    // The screenshots show the default layout, and leave the user's own alone.
    QTemporaryDir layout;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, layout.path());
    std::unique_ptr<host::ReferenceHost> host;
    try {
        host = OpenHost(o, path, unattended);
    } catch (const ComError& e) {
        Fail(QObject::tr("The database %1 could not be opened:\n\n%2")
                 .arg(shown, QString::fromStdString(e.Description())),
             unattended);
        return 1;
    }

    int rc = 0;
    {
        MainWindow main(*host, path);
        MapWindows maps(main.Area());
        ShowMapsInReports(host->Db());
        // The search's and the editor's pages are part of the look to review: the search,
        // then the first record.
        main.FindManagedAreas();
        const RecordsetPtr& list = host->WorkingList();
        if (list && list->RecordCount() > 0) {
            list->MoveFirst();
            main.OpenDetails(static_cast<long>(CLng(list->Value("ID"))));
        }
        ShowFirstMappedArea(*host);
        QStringList saved = SaveWorkbenchShots(main, o.screenshotDir);
        for (const QString& f : saved)
            std::cout << f.toStdString() << '\n';
        main.CloseAllWindows();
        rc = saved.isEmpty() ? 1 : 0;
        ShowMapsInReports(nullptr);
    }
    return rc;
}

} // namespace zelk::view
