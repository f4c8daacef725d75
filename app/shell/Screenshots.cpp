#include "shell/Screenshots.h"

#include "dialogs/frmMerge.h"
#include "host/ReferenceHost.h"
#include "host/exchange/Exporter.h"
#include "map/MapWindow.h"
#include "platform/ui/Form.h"
#include "platform/ui/TabControl.h"
#include "platform/ui/UiDriver.h"
#include "shell/ExportDialog.h"
#include "shell/Gallery.h"
#include "shell/ImportWindow.h"
#include "shell/MainWindow.h"
#include "shell/RecordWindow.h"
#include "shell/Session.h"
#include "shell/UnattendedUiDriver.h"
#include "shell/UsersWindow.h"
#include "view/FormWidget.h"
#include "view/HelpWindow.h"
#include "view/ReportPrinter.h"
#include "zelk/ManagedAreaDetails.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace zelk::view {

namespace {
void Settle() {
    // Queued work (tab order, layouts) and paints; nothing here waits for time to pass.
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

QString Slug(const std::string& text) {
    QString s = QString::fromStdString(text).toLower();
    s.remove('&');
    s.replace(QRegularExpression("[^a-z0-9]+"), "-");
    return s.remove(QRegularExpression("^-+|-+$"));
}

void CollectTabs(Form& form, std::vector<vaTabPro*>& out) {
    for (const ControlPtr& c : form.Controls()) {
        if (auto* t = dynamic_cast<vaTabPro*>(c.get())) out.push_back(t);
        if (auto* inner = dynamic_cast<Form*>(c.get())) CollectTabs(*inner, out);
    }
}
} // namespace

QString SaveShot(QWidget& widget, const QString& dir, const QString& name) {
    Settle();
    QString file = QDir(dir).filePath(name + ".png");
    return widget.grab().save(file) ? file : QString();
}

void SaveFormPages(FormWidget& view, const QString& dir, const QString& base, QStringList& saved) {
    std::vector<vaTabPro*> tabs;
    CollectTabs(view.Model(), tabs);
    auto save = [&](const QString& name) {
        QString f = SaveShot(*view.window(), dir, name);
        if (!f.isEmpty()) saved << f;
    };
    bool anyShown = false;
    for (vaTabPro* tab : tabs) {
        if (!tab->IsShowing()) continue;
        int before = tab->ActiveTab();
        for (int i = 0; i < tab->TabCount(); ++i) {
            if (!tab->TabVisible(i)) continue;
            // As the user switches pages, so pages that fill when first shown are filled.
            if (!tab->UserSelectTab(i)) tab->SetActiveTab(i);
            save(QString("%1-%2-%3").arg(base).arg(i + 1).arg(Slug(tab->TabCaption(i))));
            anyShown = true;
        }
        if (tab->TabCount() > 0) tab->SetActiveTab(before);
    }
    if (!anyShown) save(base);
}

void SaveReportPages(const ReportDocument& report, const QString& dir, const QString& base,
                     QStringList& saved) {
    const QString pdf = QDir(dir).filePath(base + ".pdf");
    if (!WriteReportPdf(report, pdf)) return;
    saved << pdf;
    // Without poppler's pdftoppm the PDF alone is kept.
    QProcess render;
    render.start("pdftoppm",
                 {"-png", "-r", "60", "-f", "1", "-l", "3", pdf, QDir(dir).filePath(base)});
    if (!render.waitForFinished(60000) || render.exitCode() != 0) return;
    const QStringList pages = QDir(dir).entryList({base + "-*.png"}, QDir::Files, QDir::Name);
    for (const QString& page : pages)
        saved << QDir(dir).filePath(page);
}

// The merge window as a user meets it after a refused save, with a field and a row in it.
QString SaveMergeWindowShot(const QString& dir) {
    std::vector<bo::MergeConflict> conflicts(2);
    auto& name = conflicts[0];
    name.field = "ManagedAreaName";
    name.loaded = "Oak Hollow Preserve";
    name.mine = "Oak Hollow Nature Preserve";
    name.theirs = "Oak Hollow State Preserve";
    name.changedBy = "ann";
    name.changedOn = "2026-12-08 10:15:00";
    auto& owner = conflicts[1];
    owner.kind = bo::MergeConflict::Kind::Row;
    owner.list = bo::ChildList::Owners;
    owner.loaded = owner.row = "Private, Hollow Land Trust";
    owner.mine = "Private, Hollow Land Trust, easement since 1998";
    owner.theirs = "(removed)";
    owner.changedBy = "ann";
    owner.changedOn = "2026-12-08 10:15:00";
    auto form = std::make_shared<dialogs::frmMerge>();
    form->LoadConflicts(
        {{"Identifiers", "Name", &name}, {"Identifiers", "Owners: " + owner.row, &owner}});
    FormWidget view(form);
    view.show();
    return SaveShot(view, dir, "merge-window");
}

QStringList SaveWorkbenchShots(MainWindow& main, const QString& dir) {
    QStringList saved;
    QDir().mkpath(dir);
    main.show();
    QString f = SaveShot(main, dir, "main-window");
    if (!f.isEmpty()) saved << f;
    // Administrators have the Users window too.
    if (main.findChild<QAction*>("actUsers")) {
        UsersWindow* users = main.ShowUsers();
        QString u = SaveShot(*users, dir, "users-window");
        if (!u.isEmpty()) saved << u;
        users->hide();
    }

    for (RecordWindow* w : main.RecordWindows()) {
        main.Area()->setActiveSubWindow(w);
        w->showMaximized();
        SaveFormPages(*w->View(), dir, Slug(w->HostedControl()->TypeName()), saved);
    }

    // The first record's printed report, as poppler's renderer shows its pages.
    for (RecordWindow* w : main.RecordWindows())
        if (auto* details = dynamic_cast<editor::ManagedAreaDetails*>(w->HostedControl().get())) {
            details->mnuFilePrint->UserClick();
            if (auto* unattended = dynamic_cast<UnattendedUiDriver*>(&Ui());
                unattended && unattended->LastReport()) {
                SaveReportPages(*unattended->LastReport(), dir, "record-report", saved);
                // The preview the user sees before printing, at a size that shows a page.
                PreviewReport(*unattended->LastReport(), &main, [&](QDialog& preview) {
                    preview.resize(1000, 760);
                    preview.show();
                    const QString p = SaveShot(preview, dir, "print-preview");
                    if (!p.isEmpty()) saved << p;
                    preview.hide();
                });
            }
            break;
        }
    HelpWindow::ShowTopic(QString(), 0, 0);
    if (HelpWindow* help = HelpWindow::Current()) {
        f = SaveShot(*help, dir, "help-window");
        if (!f.isEmpty()) saved << f;
        help->hide();
    }

    {
        auto ask = Session::NewDatabaseDialog(&main);
        ask->show();
        f = SaveShot(*ask, dir, "new-database-dialog");
        if (!f.isEmpty()) saved << f;
    }

    f = SaveMergeWindowShot(dir);
    if (!f.isEmpty()) saved << f;

    // The export as it opens, and the import with a file of the database's own areas in it.
    if (ExportDialog* exporter = main.ExportWorkingList()) {
        exporter->PathEdit()->setText(QDir(dir).filePath("managed-areas.csv"));
        f = SaveShot(*exporter, dir, "export-dialog");
        if (!f.isEmpty()) saved << f;
        exporter->close();
        QTemporaryDir work;
        const QString sample = work.filePath("managed-areas.csv");
        std::vector<long> ids(
            exporter->Ids().begin(),
            exporter->Ids().begin() +
                std::min<std::ptrdiff_t>(ImportWindow::kPreviewRows, std::ssize(exporter->Ids())));
        if (work.isValid() &&
            host::exchange::ExportAreas(
                *main.Host().Db(), {ids, host::exchange::Format::Csv, sample.toStdString(), {}})
                .error.empty()) {
            ImportWindow* importer = main.ShowImport();
            importer->PathEdit()->setText(sample);
            importer->LoadPreview();
            f = SaveShot(*importer, dir, "import-window");
            if (!f.isEmpty()) saved << f;
            importer->close();
        }
    }

    for (QMdiSubWindow* sub : main.Area()->subWindowList())
        if (qobject_cast<MapWindow*>(sub->widget())) {
            main.Area()->setActiveSubWindow(sub);
            sub->showMaximized();
            f = SaveShot(*sub, dir, "map-window");
            if (!f.isEmpty()) saved << f;
        }

    FormWidget gallery(MakeGalleryForm());
    gallery.show();
    SaveFormPages(gallery, dir, "gallery", saved);
    return saved;
}

} // namespace zelk::view
