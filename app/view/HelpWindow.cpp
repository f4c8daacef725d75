#include "view/HelpWindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace zelk::view {

namespace {
QPointer<HelpWindow>& Instance() {
    static QPointer<HelpWindow> window;
    return window;
}

const char* kGuide = R"(<h2>Wayfold &mdash; Managed Areas</h2>
<p>The workbench keeps the managed areas of the database: parks, refuges, reserves and
easements with their owners, location, protection, management and the elements recorded in
them.</p>
<h3>Working list</h3>
<p>The list on the left holds the managed areas you are working with. Double-click a row, or
press Enter, to open the record.</p>
<h3>Finding managed areas</h3>
<p><b>File &gt; Find Managed Areas...</b> opens the search. Results can be added to the
working list or opened directly.</p>
<h3>Editing</h3>
<p><b>File &gt; New Managed Area</b> starts a new record. A record window asks before it
closes when there are unsaved changes.</p>)";

// The help file by its name, next to the program or in the shared data folder.
QString FindHelpFile(const QString& name) {
    if (name.isEmpty()) return {};
    QFileInfo direct(name);
    if (direct.isFile()) return direct.absoluteFilePath();
    QDir app(QApplication::applicationDirPath());
    for (const QString& candidate : {app.filePath(name), app.filePath("../share/wayfold/" + name),
                                     app.filePath("../../docs/" + name)})
        if (QFileInfo(candidate).isFile()) return candidate;
    return {};
}
} // namespace

HelpWindow::HelpWindow() {
    setWindowTitle(tr("Wayfold Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    browser_ = new QTextBrowser(this);
    browser_->setOpenExternalLinks(false);
    layout->addWidget(browser_);
    resize(560, 480);
}

HelpWindow* HelpWindow::Current() {
    return Instance();
}

QString HelpWindow::Text() const {
    return browser_->toPlainText();
}

void HelpWindow::Load(const QString& helpFile, long context) {
    QString file = FindHelpFile(helpFile);
    if (!file.isEmpty()) {
        browser_->setSource(QUrl::fromLocalFile(file));
        // A context names an anchor "topic<N>" in the file.
        if (context > 0) browser_->scrollToAnchor(QString("topic%1").arg(context));
        return;
    }
    browser_->setHtml(kGuide);
}

void HelpWindow::ShowTopic(const QString& helpFile, int /*command*/, long context) {
    if (!Instance()) Instance() = new HelpWindow;
    HelpWindow* w = Instance();
    w->Load(helpFile, context);
    w->show();
    w->raise();
    w->activateWindow();
}

} // namespace zelk::view
