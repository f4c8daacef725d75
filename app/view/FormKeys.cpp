// Focus and key events of the form's widgets, fed back to the model.
#include "platform/ui/Form.h"
#include "platform/ui/StdControls.h"
#include "view/ControlView.h"
#include "view/FormWidget.h"
#include "view/KeyMap.h"
#include "view/UserAction.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>

namespace zelk::view {

namespace {
bool IsUserFocusReason(Qt::FocusReason r) {
    return r == Qt::MouseFocusReason || r == Qt::TabFocusReason || r == Qt::BacktabFocusReason ||
           r == Qt::ShortcutFocusReason;
}

bool IsMultiLineText(const Control& c) {
    auto* t = dynamic_cast<const TextBox*>(&c);
    return t && t->MultiLine();
}
} // namespace

bool FormWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize) Regrow();
    auto it = tracked_.find(watched);
    if (it == tracked_.end()) return QWidget::eventFilter(watched, event);
    ControlView& view = *it->second;
    if (event->type() == QEvent::FocusIn) {
        // Focus moves the view makes itself, or that the window system makes (a window
        // activated, a pop-up closed), are not the user's and change nothing in the model.
        // The first focus of a window that the model has not given one yet counts too: it
        // is where the user starts.
        if (IsUserFocusReason(static_cast<QFocusEvent*>(event)->reason()) ||
            !form_->FocusedControl())
            UserFocus(view);
    } else if (event->type() == QEvent::KeyPress) {
        return HandleKey(watched, view, static_cast<QKeyEvent*>(event));
    }
    return QWidget::eventFilter(watched, event);
}

bool FormWidget::HandleKey(QObject* target, ControlView& view, QKeyEvent* e) {
    if (sendingKey_) return false;
    int code = VbKeyCode(e->key());
    // Tab moves the focus through Qt's chain, which the model hears as focus moves.
    if (code == key::Tab) return false;
    int shift = VbShift(e->modifiers());
    // Keep the control alive: a handler may remove it.
    auto keep = view.Model().shared_from_this();
    Control& c = view.Model();
    int left = code;
    // Keys without a code of the model (punctuation) still type their character below.
    if (code != 0) {
        RunUserAction([&] {
            zelk::Form* top = c.TopForm();
            left = top && c.HasFocus() ? top->UserKeyDownFocused(code, shift)
                                       : c.UserKeyDown(code, shift);
        });
        if (left == 0) return true;
    }
    bool plain = !(shift & (key::CtrlMask | key::AltMask));
    if (plain && (left == key::Return || left == key::Escape) &&
        ClickDefaultButton(c, left == key::Return))
        return true;
    QString text = e->text();
    if (!plain || text.size() != 1) return false;
    int ascii = text[0].unicode();
    if (ascii >= 128 ||
        (ascii < 32 && ascii != key::Back && ascii != key::Return && ascii != key::Escape))
        return false;
    int result = ascii;
    RunUserAction([&] { result = c.UserKeyPress(ascii); });
    if (result == 0) return true;
    if (result != ascii) {
        // A handler changed the character (upper case, a replacement): type that instead.
        QKeyEvent replaced(QEvent::KeyPress, e->key(), e->modifiers(), QString(QChar(result)));
        sendingKey_ = true;
        QCoreApplication::sendEvent(target, &replaced);
        sendingKey_ = false;
        return true;
    }
    return false;
}

bool FormWidget::ClickDefaultButton(Control& from, bool isReturn) {
    if (isReturn) {
        if (IsMultiLineText(from)) return false;
        if (auto* b = dynamic_cast<CommandButton*>(&from)) {
            RunUserAction([&] { b->UserClick(); });
            return true;
        }
    }
    // The form's Default button answers Return, its Cancel button Escape; a user control's
    // own buttons come first.
    for (zelk::Form* f = from.Owner(); f; f = f->Owner())
        for (const ControlPtr& c : f->Controls()) {
            auto* b = dynamic_cast<CommandButton*>(c.get());
            if (!b || !(isReturn ? b->Default() : b->Cancel()) || !b->IsUsable()) continue;
            auto keep = c;
            RunUserAction([&] { b->UserClick(); });
            return true;
        }
    return false;
}

} // namespace zelk::view
