#include "view/FormWidget.h"

#include "platform/ui/Form.h"
#include "view/ControlView.h"
#include "view/Convert.h"
#include "view/LayoutOrder.h"
#include "view/UserAction.h"
#include "view/ViewRegistry.h"

#include <QAction>
#include <QMenuBar>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

namespace zelk::view {

namespace {

// The form itself: its client area, caption and size; hiding or unloading it closes the window.
class FormRootView : public ControlView {
public:
    FormRootView(zelk::Form& form, FormWidget& widget, QWidget* client)
        : ControlView(form, widget), form_(form) {
        SetWidget(client);
    }
    void Mirror(std::string_view p) override {
        if (p == "Caption")
            Host().ModelCaption(Q(form_.Caption()));
        else if (p == "Width" || p == "Height")
            ApplyGeometry();
        else if ((p == "Visible" && !form_.Visible()) || p == "Unloaded")
            Host().ModelHidden();
        else if (p == "Enabled")
            Widget()->setEnabled(form_.Enabled());
    }
    void SyncAll() override {
        ApplyGeometry();
        Widget()->setEnabled(form_.Enabled());
        Host().ModelCaption(Q(form_.Caption()));
    }
    void ApplyVisible() override {}

private:
    void ApplyGeometry() {
        QSize size(Px(form_.Width()), Px(form_.Height()));
        Widget()->setMinimumSize(size);
        Widget()->resize(size);
    }
    zelk::Form& form_;
};

} // namespace

FormWidget::FormWidget(std::shared_ptr<zelk::Form> form, QWidget* parent)
    : QWidget(parent), form_(std::move(form)) {
    // The forms are laid out in twips for an 8-point sans serif of Arial's widths; a larger
    // desktop font would clip their captions and fields.
    QFont f = font();
    f.setFamilies({"Liberation Sans", "Arial", "DejaVu Sans"});
    f.setPixelSize(11);
    setFont(f);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    client_ = new QWidget(this);
    layout->addWidget(client_, 1);
    client_->installEventFilter(this); // its resizes place the controls again

    auto root = std::make_unique<FormRootView>(*form_, *this, client_);
    ControlView* rootView = root.get();
    views_[form_.get()] = std::move(root);
    order_.push_back(form_.get());
    rootView->SyncAll();

    Build(*form_);
    form_->AddObserver(this);
    ApplyTabOrder();
}

FormWidget::~FormWidget() {
    form_->RemoveObserver(this);
    for (auto it = order_.rbegin(); it != order_.rend(); ++it)
        views_.erase(*it);
    tracked_.clear();
}

void FormWidget::ModelCaption(const QString& caption) {
    setWindowTitle(caption);
    emit captionChanged(caption);
}

ControlView* FormWidget::ViewOf(const Control* control) const {
    auto it = views_.find(control);
    return it == views_.end() ? nullptr : it->second.get();
}

QWidget* FormWidget::ParentFor(const Control& control) const {
    const Control* container = control.Container();
    if (ControlView* v = container ? ViewOf(container) : nullptr)
        if (QWidget* area = v->ChildArea()) return area;
    return client_;
}

QMenuBar* FormWidget::MenuBar() {
    if (!menuBar_) {
        menuBar_ = new QMenuBar(this);
        layout()->setMenuBar(menuBar_);
    }
    return menuBar_;
}

void FormWidget::SetMenusMerged(bool merged) {
    menusMerged_ = merged;
    if (!menuBar_) return;
    bool any = false;
    for (QAction* a : menuBar_->actions())
        any = any || a->isVisible();
    ShowMenuBar(any);
}

void FormWidget::ShowMenuBar(bool any) {
    if (menuBar_) menuBar_->setVisible(any && !menusMerged_);
}

void FormWidget::Build(zelk::Form& form) {
    // Copy: creating a view never adds controls, but a handler run by a sync might.
    std::vector<ControlPtr> controls = form.Controls();
    for (const ControlPtr& c : controls) {
        if (ViewOf(c.get())) continue;
        CreateView(*c);
        if (auto* inner = dynamic_cast<zelk::Form*>(c.get())) Build(*inner);
    }
}

ControlView* FormWidget::CreateView(Control& control) {
    std::unique_ptr<ControlView> view = ViewRegistry::Instance().Create(control, *this);
    if (!view) return nullptr;
    ControlView* v = view.get();
    views_[&control] = std::move(view);
    order_.push_back(&control);
    if (QWidget* w = v->Widget()) Track(w, *v);
    if (QWidget* f = v->FocusWidget(); f && f != v->Widget()) Track(f, *v);
    v->SyncAll();
    return v;
}

void FormWidget::Track(QWidget* widget, ControlView& view) {
    // A container's children belong to their own views; only this widget's inner parts
    // (a combo's line edit, a tab control's bar) are the view's.
    auto add = [&](QObject* o) {
        if (tracked_.emplace(o, &view).second) o->installEventFilter(this);
    };
    add(widget);
    for (QWidget* child : widget->findChildren<QWidget*>())
        if (!tracked_.count(child)) add(child);
}

void FormWidget::DestroyView(const Control* control) {
    auto it = views_.find(control);
    if (it == views_.end()) return;
    ControlView* v = it->second.get();
    std::erase_if(tracked_, [v](const auto& entry) { return entry.second == v; });
    std::erase(order_, control);
    views_.erase(it);
}

void FormWidget::Regrow() {
    regrowQueued_ = false;
    const bool was = growth_.Grown();
    growth_.SetRoom(client_->size());
    if (!was && !growth_.Grown()) return;
    for (const Control* c : order_)
        if (c != form_.get())
            if (ControlView* v = ViewOf(c)) v->ApplyGeometry();
}

void FormWidget::RegrowLater() {
    growth_.Invalidate();
    if (!growth_.Grown() || regrowQueued_) return;
    regrowQueued_ = true;
    QMetaObject::invokeMethod(
        this, [this] { Regrow(); }, Qt::QueuedConnection);
}

void FormWidget::PropertyChanged(Control& control, std::string_view property) {
    if (property == "Left" || property == "Top" || property == "Width" || property == "Height" ||
        property == "Container" || property == "TabPage")
        RegrowLater();
    if (ControlView* v = ViewOf(&control)) v->Mirror(property);
    if (property == "ActiveTab") {
        for (auto& [c, v] : views_)
            if (c->Container() == &control) v->ApplyVisible();
    } else if (property == "TabIndex" || property == "TabStop" || property == "Caption" ||
               property == "Left" || property == "Top" || property == "Container") {
        InvalidateTabOrder();
    }
}

void FormWidget::ControlAdded(Control& control) {
    if (ViewOf(&control)) return;
    RegrowLater();
    CreateView(control);
    if (auto* inner = dynamic_cast<zelk::Form*>(&control)) Build(*inner);
    InvalidateTabOrder();
}

void FormWidget::ControlRemoved(Control& control) {
    std::vector<const Control*> doomed;
    for (const Control* c : order_) {
        bool inside = c == &control;
        for (const zelk::Form* o = c->Owner(); o && !inside; o = o->Owner())
            inside = o == &control;
        if (inside) doomed.push_back(c);
    }
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it)
        DestroyView(*it);
    RegrowLater();
    InvalidateTabOrder();
}

void FormWidget::InvalidateTabOrder() {
    if (tabOrderDirty_) return;
    tabOrderDirty_ = true;
    QMetaObject::invokeMethod(
        this, [this] { ApplyTabOrder(); }, Qt::QueuedConnection);
}

namespace {
void CollectTabStops(const zelk::Form& form, std::vector<Control*>& out) {
    std::vector<Control*> controls;
    for (const ControlPtr& c : form.Controls())
        controls.push_back(c.get());
    std::stable_sort(controls.begin(), controls.end(),
                     [](Control* a, Control* b) { return a->TabIndex() < b->TabIndex(); });
    for (Control* c : controls) {
        if (auto* inner = dynamic_cast<zelk::Form*>(c)) {
            std::size_t before = out.size();
            CollectTabStops(*inner, out);
            if (out.size() == before && c->CanFocus() && c->TabStop()) out.push_back(c);
        } else if (c->CanFocus() && c->TabStop()) {
            out.push_back(c);
        } else if (!c->CanFocus() && !dynamic_cast<zelk::Form*>(c)) {
            out.push_back(c); // kept for label access keys; skipped in the chain
        }
    }
}
} // namespace

namespace {
// The widgets of one control that take the focus by Tab, not going into other controls' own.
void PartsOf(QWidget* widget, const std::set<const QWidget*>& others, std::vector<QWidget*>& out) {
    for (QObject* o : widget->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w->isWindow() || others.count(w)) continue;
        if (w->focusPolicy() & Qt::TabFocus) out.push_back(w);
        PartsOf(w, others, out);
    }
}
} // namespace

void FormWidget::ApplyTabOrder() {
    tabOrderDirty_ = false;
    std::vector<Control*> stops;
    CollectTabStops(*form_, stops);
    QWidget* previous = nullptr;
    for (std::size_t i = 0; i < stops.size(); ++i) {
        ControlView* v = ViewOf(stops[i]);
        if (!v) continue;
        if (!stops[i]->CanFocus()) {
            // A label's access key moves the focus to the next control in tab order.
            QWidget* buddy = nullptr;
            for (std::size_t j = i + 1; j < stops.size() && !buddy; ++j)
                if (stops[j]->CanFocus() && stops[j]->Owner() == stops[i]->Owner())
                    if (ControlView* bv = ViewOf(stops[j])) buddy = bv->FocusWidget();
            v->SetBuddy(buddy);
        }
    }
    // Tab goes as the eye does, whatever order the controls were made in; a control made of
    // several widgets (a navigator's buttons and box) is walked through in its own layout.
    std::set<const QWidget*> others;
    for (const auto& [c, v] : views_)
        if (v->Widget()) others.insert(v->Widget());
    // A control kept out of the Tab order still takes the focus by a click.
    for (const auto& [c, v] : views_) {
        QWidget* focus = c->CanFocus() ? v->FocusWidget() : nullptr;
        if (!focus) continue;
        const int policy = focus->focusPolicy();
        if (!c->TabStop() && (policy & Qt::TabFocus))
            focus->setFocusPolicy(static_cast<Qt::FocusPolicy>(policy & ~Qt::TabFocus));
        else if (c->TabStop() && (policy & Qt::ClickFocus) && !(policy & Qt::TabFocus))
            focus->setFocusPolicy(static_cast<Qt::FocusPolicy>(policy | Qt::TabFocus));
    }
    for (Control* c : TabStopsByLayout(*form_)) {
        ControlView* v = ViewOf(c);
        QWidget* focus = v ? v->FocusWidget() : nullptr;
        if (!focus) continue;
        std::vector<QWidget*> parts;
        if (v->Widget() && v->Widget() != focus) PartsOf(v->Widget(), others, parts);
        if (std::find(parts.begin(), parts.end(), focus) == parts.end()) parts.push_back(focus);
        QWidget* root = v->Widget() ? v->Widget() : focus;
        // Rows a few pixels deep, so parts not quite aligned still share one.
        auto key = [root](QWidget* w) {
            const QPoint at = w->mapTo(root, QPoint(0, 0));
            return std::pair((at.y() + w->height() / 2) / 16, at.x());
        };
        std::stable_sort(parts.begin(), parts.end(),
                         [&](QWidget* a, QWidget* b) { return key(a) < key(b); });
        for (QWidget* w : parts) {
            if (previous) QWidget::setTabOrder(previous, w);
            previous = w;
        }
    }
}

void FormWidget::MoveQtFocus(QWidget* widget) {
    widget->setFocus(Qt::OtherFocusReason);
}

bool FormWidget::FocusRefused(const Control& control) const {
    auto r = refused_.lock();
    return r && r.get() == static_cast<const Object*>(&control);
}

void FormWidget::UserFocus(ControlView& view) {
    Control& c = view.Model();
    if (!c.CanFocus() || c.HasFocus()) {
        refused_.reset();
        return;
    }
    bool moved = false;
    RunUserAction([&] { moved = c.SetFocus(); });
    if (moved) {
        refused_.reset();
        return;
    }
    refused_ = c.weak_from_this();
    // The model keeps its focus where it was: so does Qt.
    if (Control* f = form_->FocusedControl())
        if (ControlView* fv = ViewOf(f))
            if (QWidget* w = fv->FocusWidget()) MoveQtFocus(w);
}

} // namespace zelk::view
