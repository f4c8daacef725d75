#include "view/HelpWindow.h"

#include "host/help/HelpTopics.h"
#include "platform/ui/UiDriver.h"
#include "view/UserAction.h"

#include <QPointer>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace zelk::view {

namespace {
QPointer<HelpWindow>& Instance() {
    static QPointer<HelpWindow> window;
    return window;
}

// Reads pages (and the pages links lead to) from the built-in set.
class HelpBrowser : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;
    QVariant loadResource(int type, const QUrl& name) override {
        if (type == QTextDocument::HtmlResource) {
            const std::string text = host::help::PageText(name.fileName().toStdString());
            if (!text.empty()) return QString::fromStdString(text);
            return QString("<h1>%1</h1><p>This help page does not exist.</p>")
                .arg(name.fileName().toHtmlEscaped());
        }
        return QTextBrowser::loadResource(type, name);
    }
};
} // namespace

HelpWindow::HelpWindow() {
    setWindowTitle(tr("Wayfold Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    browser_ = new HelpBrowser(this);
    browser_->setOpenLinks(true);
    browser_->setOpenExternalLinks(false);
    layout->addWidget(browser_);
    connect(browser_, &QTextBrowser::sourceChanged, this,
            [this] { setWindowTitle(tr("Wayfold Help - %1").arg(browser_->documentTitle())); });
    resize(640, 520);
}

HelpWindow* HelpWindow::Current() {
    return Instance();
}

QString HelpWindow::Text() const {
    return browser_->toPlainText();
}

QString HelpWindow::Page() const {
    return browser_->source().fileName();
}

void HelpWindow::OpenLink(const QString& href) {
    browser_->setSource(browser_->source().resolved(QUrl(href)));
}

void HelpWindow::ShowTopic(const QString& /*helpFile*/, int /*command*/, long context) {
    if (!Instance()) Instance() = new HelpWindow;
    HelpWindow* w = Instance();
    w->browser_->setSource(QUrl(QString::fromStdString(host::help::PageOfTopic(context))));
    w->show();
    w->raise();
    w->activateWindow();
}

namespace {
constexpr const char* kHelpPage = "helpPage";
}

void SetHelpPage(QWidget* window, const std::string& page) {
    window->setProperty(kHelpPage, QString::fromStdString(page));
}

std::string HelpPageOf(const QWidget* window) {
    return window ? window->property(kHelpPage).toString().toStdString() : std::string();
}

void AddHelpKey(QWidget* window, const std::string& page) {
    SetHelpPage(window, page);
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window);
    QObject::connect(key, &QShortcut::activated, window, [page] {
        RunUserAction([&] { Ui().ShowHelp("", 1, host::help::TopicOfPage(page)); });
    });
}

} // namespace zelk::view
