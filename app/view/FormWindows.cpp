#include "view/FormWindows.h"

#include "host/help/HelpTopics.h"
#include "platform/ui/Form.h"
#include "platform/ui/UiDriver.h"
#include "view/FormWidget.h"
#include "view/UserAction.h"

#include <QCloseEvent>
#include <QShortcut>
#include <QVBoxLayout>

#include <map>

namespace zelk::view {

namespace {
constexpr int kUnloadFromControlMenu = 0;

std::map<const Form*, FormWindow*>& Windows() {
    static std::map<const Form*, FormWindow*> windows;
    return windows;
}

FormWidget* Embed(QWidget* host, const std::shared_ptr<Form>& form) {
    auto* layout = new QVBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* view = new FormWidget(form, host);
    layout->addWidget(view);
    host->setWindowTitle(view->windowTitle());
    QObject::connect(view, &FormWidget::captionChanged, host, &QWidget::setWindowTitle);
    return view;
}
} // namespace

bool UnloadByUser(Form& form) {
    if (!form.Visible()) return true;
    auto keep = form.shared_from_this();
    bool unloaded = false;
    RunUserAction([&] { unloaded = form.Unload(kUnloadFromControlMenu); });
    return unloaded || !form.Visible();
}

FormDialog::FormDialog(std::shared_ptr<Form> form, QWidget* parent)
    : QDialog(parent), form_(std::move(form)) {
    view_ = Embed(this, form_);
    connect(view_, &FormWidget::formHidden, this, [this] { done(0); });
    // A form that previews its keys answers F1 itself; for the others the help page of the
    // form (or of its focused control) opens.
    if (!form_->KeyPreview()) {
        auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
        connect(help, &QShortcut::activated, this, [this] {
            RunUserAction([&] {
                Control* focus = form_->FocusedControl();
                Ui().ShowHelp("", 1, host::help::TopicFor(focus ? focus : form_.get()));
            });
        });
    }
}

void FormDialog::reject() {
    // Escape without a Cancel button, or the window system closing the dialog.
    if (UnloadByUser(*form_)) QDialog::reject();
}

void FormDialog::closeEvent(QCloseEvent* event) {
    if (UnloadByUser(*form_))
        event->accept();
    else
        event->ignore();
}

FormWindow::FormWindow(std::shared_ptr<Form> form, QWidget* parent)
    : QWidget(parent, Qt::Window), form_(std::move(form)) {
    setAttribute(Qt::WA_DeleteOnClose);
    view_ = Embed(this, form_);
    Windows()[form_.get()] = this;
    connect(view_, &FormWidget::formHidden, this, [this] { ModelHidden(); });
    connect(this, &QObject::destroyed, [f = form_.get()] { Windows().erase(f); });
}

FormWindow* FormWindow::Of(const Form& form) {
    auto it = Windows().find(&form);
    return it == Windows().end() ? nullptr : it->second;
}

void FormWindow::ModelHidden() {
    if (form_->IsLoaded())
        hide();
    else
        close();
}

void FormWindow::closeEvent(QCloseEvent* event) {
    if (form_->Visible() && !UnloadByUser(*form_)) {
        event->ignore();
        return;
    }
    event->accept();
}

} // namespace zelk::view
