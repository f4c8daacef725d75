#include "shell/RecordWindow.h"

#include "host/app/Views.h"
#include "platform/Conv.h"
#include "platform/Strings.h"
#include "view/FormWidget.h"
#include "view/UserAction.h"

#include <QCloseEvent>

namespace zelk::view {

RecordWindow::RecordWindow(std::shared_ptr<host::HostWindow> window, ControlPtr control,
                           QWidget* parent)
    : QMdiSubWindow(parent), window_(std::move(window)), control_(std::move(control)) {
    setAttribute(Qt::WA_DeleteOnClose);
    view_ = new FormWidget(window_, this);
    setWidget(view_);
    setWindowTitle(view_->windowTitle());
    connect(view_, &FormWidget::captionChanged, this, &QWidget::setWindowTitle);
    window_->AddObserver(this);
    cookie_ = control_->Advise([this](std::string_view name, Args& a) { OnEvent(name, a); });
}

RecordWindow::~RecordWindow() {
    Release();
}

void RecordWindow::OnEvent(std::string_view name, const Args& args) {
    if (IEquals(name, "Quit")) {
        // Asked by the control itself: close once the handler that raised it has returned.
        QMetaObject::invokeMethod(
            this, [this] { CloseAgreed(); }, Qt::QueuedConnection);
    } else if (IEquals(name, "NewItem")) {
        emit newItemRequested();
    } else if (IEquals(name, "UpdateList") || IEquals(name, "RemoveItem")) {
        long id = IsNumeric(Arg(args, 0)) ? static_cast<long>(CLng(Arg(args, 0))) : -1;
        emit workingListChanged(QString::fromUtf8(name.data(), static_cast<int>(name.size())), id);
    }
}

void RecordWindow::PropertyChanged(Control& control, std::string_view property) {
    if (&control == window_.get() && property == "MainGridRedraw")
        emit mainGridRedraw(window_->MainGridRedraw());
}

bool RecordWindow::CanClose() {
    if (agreed_ || released_) return true;
    if (!control_->HasMember("CanClose")) return true;
    bool ok = false;
    auto keep = control_;
    RunUserAction([&] { ok = CBool(control_->Call("CanClose")); });
    return ok;
}

void RecordWindow::CloseAgreed() {
    agreed_ = true;
    close();
}

void RecordWindow::closeEvent(QCloseEvent* event) {
    if (!CanClose()) {
        event->ignore();
        return;
    }
    agreed_ = true;
    Release();
    QMdiSubWindow::closeEvent(event);
}

void RecordWindow::Release() {
    if (released_) return;
    if (releasing) releasing(*this);
    released_ = true;
    window_->RemoveObserver(this);
    control_->Unadvise(cookie_);
    auto keep = control_;
    if (control_->HasMember("Deactivate")) RunUserAction([&] { control_->Call("Deactivate"); });
}

} // namespace zelk::view
