#include "view/QtUiDriver.h"

#include "platform/ui/Form.h"
#include "platform/ui/Menu.h"
#include "view/ControlView.h"
#include "view/Convert.h"
#include "view/FormWindows.h"
#include "view/HelpWindow.h"
#include "view/KeyMap.h"
#include "view/MenuViews.h"
#include "view/ReportPrinter.h"
#include "view/SendKeys.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QInputDialog>
#include <QMenu>

namespace zelk::view {

namespace {
constexpr const char* kTitle = "Wayfold";

QString TitleOr(const std::string& title) {
    return title.empty() ? QString(kTitle) : Q(title);
}
} // namespace

QMessageBox::StandardButtons MsgBoxButtons(int flags) {
    using B = QMessageBox;
    switch (flags & 7) {
    case vb::OKCancel:
        return B::Ok | B::Cancel;
    case vb::AbortRetryIgnore:
        return B::Abort | B::Retry | B::Ignore;
    case vb::YesNoCancel:
        return B::Yes | B::No | B::Cancel;
    case vb::YesNo:
        return B::Yes | B::No;
    case vb::RetryCancel:
        return B::Retry | B::Cancel;
    default:
        return B::Ok;
    }
}

QMessageBox::StandardButton MsgBoxDefault(int flags) {
    using B = QMessageBox;
    static const QMessageBox::StandardButton order[6][3] = {
        {B::Ok, B::Ok, B::Ok},           {B::Ok, B::Cancel, B::Cancel},
        {B::Abort, B::Retry, B::Ignore}, {B::Yes, B::No, B::Cancel},
        {B::Yes, B::No, B::No},          {B::Retry, B::Cancel, B::Cancel}};
    int set = flags & 7;
    if (set > 5) set = 0;
    int which = (flags >> 8) & 3;
    return order[set][which > 2 ? 0 : which];
}

QMessageBox::Icon MsgBoxIcon(int flags) {
    switch (flags & 0x70) {
    case vb::Critical:
        return QMessageBox::Critical;
    case vb::Question:
        return QMessageBox::Question;
    case vb::Exclamation:
        return QMessageBox::Warning;
    case vb::Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int MsgBoxAnswer(QMessageBox::StandardButton pressed) {
    switch (pressed) {
    case QMessageBox::Ok:
        return vb::OK;
    case QMessageBox::Cancel:
        return vb::Cancel;
    case QMessageBox::Abort:
        return vb::Abort;
    case QMessageBox::Retry:
        return vb::Retry;
    case QMessageBox::Ignore:
        return vb::Ignore;
    case QMessageBox::Yes:
        return vb::Yes;
    case QMessageBox::No:
        return vb::No;
    default:
        return vb::Cancel;
    }
}

void FollowScreenMousePointer() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    Screen::Instance().AddObserver([] {
        static bool waiting = false;
        bool hourglass = Screen::Instance().MousePointer() == mouse::Hourglass;
        if (hourglass && !waiting)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else if (!hourglass && waiting)
            QApplication::restoreOverrideCursor();
        waiting = hourglass;
    });
}

QtUiDriver::QtUiDriver() {
    FollowScreenMousePointer();
}

int QtUiDriver::MsgBox(const std::string& prompt, int flags, const std::string& title) {
    QMessageBox box(MsgBoxIcon(flags), TitleOr(title), Q(prompt), MsgBoxButtons(flags),
                    QApplication::activeWindow());
    box.setDefaultButton(MsgBoxDefault(flags));
    // A question answered by the hourglass would look frozen: show the arrow while it waits.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    int pressed = box.exec();
    QApplication::restoreOverrideCursor();
    return MsgBoxAnswer(static_cast<QMessageBox::StandardButton>(pressed));
}

std::string QtUiDriver::InputBox(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText) {
    bool ok = false;
    QString text = QInputDialog::getText(QApplication::activeWindow(), TitleOr(title), Q(prompt),
                                         QLineEdit::Normal, Q(defaultText), &ok);
    return ok ? S(text) : std::string();
}

void QtUiDriver::ShowModal(Form& form) {
    if (!form.Visible()) return; // hidden again while it was being activated
    auto keep = std::static_pointer_cast<Form>(form.shared_from_this());
    FormDialog dialog(keep, QApplication::activeWindow());
    dialog.exec();
}

void QtUiDriver::ShowModeless(Form& form) {
    FormWindow* window = FormWindow::Of(form);
    if (!window)
        window = new FormWindow(std::static_pointer_cast<Form>(form.shared_from_this()),
                                QApplication::activeWindow());
    window->show();
    window->raise();
    window->activateWindow();
}

namespace {
std::function<bool(QWidget*)>& HelpKeyHandler() {
    static std::function<bool(QWidget*)> handler;
    return handler;
}
} // namespace

void SetHelpKeyHandler(std::function<bool(QWidget* window)> handler) {
    HelpKeyHandler() = std::move(handler);
}

void QtUiDriver::SendKeys(const std::string& keys) {
    // F1 asks for help, as pressing it does.
    if (keys == "{F1}" && HelpKeyHandler()) {
        QWidget* focus = QApplication::focusWidget();
        QWidget* window = focus ? focus->window() : QApplication::activeWindow();
        if (HelpKeyHandler()(window)) return;
    }
    SendKeysTo(QApplication::focusWidget(), keys);
}

void QtUiDriver::PopupMenu(Form& form, Control& menu, long x, long y) {
    auto* m = dynamic_cast<Menu*>(&menu);
    QMenu* popup = m ? PopupOf(*m) : nullptr;
    if (!popup) return;
    QPoint at = QCursor::pos();
    if (ControlView* v = ControlView::Of(form); v && v->Widget())
        at = v->Widget()->mapToGlobal(QPoint(Px(x), Px(y)));
    PopupRun running;
    popup->exec(at);
}

void QtUiDriver::SetClipboardText(const std::string& text) {
    QApplication::clipboard()->setText(Q(text));
}

std::string QtUiDriver::ClipboardText() {
    return S(QApplication::clipboard()->text());
}

void QtUiDriver::ShowHelp(const std::string& helpFile, int command, long context) {
    HelpWindow::ShowTopic(Q(helpFile), command, context);
}

void QtUiDriver::PrintReport(const ReportDocument& document) {
    PreviewReport(document, QApplication::activeWindow());
}

void QtUiDriver::DoEvents() {
    // Paints and window-system events only: a click arriving now would run in the middle of
    // the operation that asked for the repaint.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool QtUiDriver::ShowProgress(const std::string& caption, long count) {
    if (!progress_) {
        progress_ = new QProgressDialog(QApplication::activeWindow());
        progress_->setObjectName("progress");
        progress_->setWindowTitle(kTitle);
        progress_->setCancelButtonText("Cancel");
        progress_->setRange(0, 0); // the total is known only at the end
        progress_->setMinimumDuration(0);
        progress_->setAutoClose(false);
        progress_->setAutoReset(false);
        // Escape closes a dialog; here it means the same as Cancel.
        QObject::connect(progress_.data(), &QDialog::rejected, progress_.data(),
                         &QProgressDialog::cancel);
        // Nothing else may be clicked while the operation runs underneath.
        progress_->setWindowModality(Qt::ApplicationModal);
        progress_->show();
        // The arrow over the Cancel button, not the hourglass.
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    progress_->setLabelText(Q(caption) + "\n" + QString("Rows read: %L1").arg(count));
    // Unlike DoEvents, the person's input runs here: that is how Cancel and Escape arrive.
    QApplication::processEvents();
    return progress_ && progress_->wasCanceled();
}

void QtUiDriver::EndProgress() {
    if (!progress_) return;
    QApplication::restoreOverrideCursor();
    progress_->hide();
    delete progress_.data();
}

} // namespace zelk::view
