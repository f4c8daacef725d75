#include "view/ControlView.h"

#include "platform/ui/Control.h"
#include "view/Convert.h"
#include "view/FormWidget.h"

#include <unordered_map>

namespace zelk::view {

namespace {
std::unordered_map<const Control*, ControlView*>& Live() {
    static std::unordered_map<const Control*, ControlView*> views;
    return views;
}
} // namespace

ControlView::ControlView(Control& control, FormWidget& form)
    : model_(std::static_pointer_cast<Control>(control.shared_from_this())), form_(form) {
    Live()[model_.get()] = this;
}

ControlView::~ControlView() {
    auto it = Live().find(model_.get());
    if (it != Live().end() && it->second == this) Live().erase(it);
    // The control may be going away inside one of its own widget's signals (a handler that
    // removes the button just clicked): hide and silence the widget now, delete it later.
    if (QWidget* w = widget_.data()) {
        w->hide();
        for (QObject* o : w->findChildren<QObject*>())
            o->disconnect();
        w->disconnect();
        w->deleteLater();
    }
}

ControlView* ControlView::Of(const Control& control) {
    auto it = Live().find(&control);
    return it == Live().end() ? nullptr : it->second;
}

void ControlView::SetWidget(QWidget* widget) {
    widget_ = widget;
}

QWidget* ControlView::ParentWidget() const {
    return form_.ParentFor(*model_);
}

void ControlView::Mirror(std::string_view p) {
    if (!widget_) return;
    if (p == "Left" || p == "Top" || p == "Width" || p == "Height")
        ApplyGeometry();
    else if (p == "Visible" || p == "TabPage")
        ApplyVisible();
    else if (p == "Container") {
        widget_->setParent(ParentWidget());
        ApplyGeometry();
        ApplyVisible();
    } else if (p == "Enabled")
        widget_->setEnabled(model_->Enabled());
    else if (p == "ToolTipText")
        widget_->setToolTip(Q(model_->ToolTipText()));
    else if (p == "Focus")
        ApplyFocus();
}

void ControlView::SyncAll() {
    if (!widget_) return;
    ApplyGeometry();
    widget_->setEnabled(model_->Enabled());
    widget_->setToolTip(Q(model_->ToolTipText()));
    ApplyVisible();
}

void ControlView::ApplyGeometry() {
    if (!widget_) return;
    widget_->setGeometry(form_.Place(*model_));
    Placed();
}

void ControlView::ApplyVisible() {
    if (!widget_) return;
    const Control* container = model_->Container();
    bool shown = model_->Visible() && (!container || container->ShowsChild(*model_));
    widget_->setVisible(shown);
}

void ControlView::ApplyFocus() {
    QWidget* w = FocusWidget();
    if (!w || !model_->HasFocus() || w->hasFocus()) return;
    form_.MoveQtFocus(w);
}

} // namespace zelk::view
