// Menu: one QAction per menu item; an item with items of its own gets a QMenu. Top-level
// menus of the form (and of user controls sited in it) go to the form's menu bar. Choosing an
// item is the model's UserClick; opening a menu clicks it too, so its handler can update the
// items before they show. Shortcuts are the actions' shortcuts, active in the form's window.
#include "view/MenuViews.h"
#include "view/Icons.h"

#include "platform/ui/Form.h"
#include "platform/ui/Menu.h"
#include "view/ControlView.h"
#include "view/Convert.h"
#include "view/FormWidget.h"
#include "view/UserAction.h"
#include "view/ViewRegistry.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace zelk::view {

namespace {

int popupDepth = 0;

// An item of a pop-up: it and every menu above it enabled; their visibility does not count.
bool EnabledInPopup(const Menu& item) {
    if (!item.Visible()) return false;
    for (const Control* c = &item; c && dynamic_cast<const Menu*>(c); c = c->Container())
        if (!c->Enabled()) return false;
    return true;
}

class MenuView : public ControlView {
public:
    MenuView(Menu& menu, FormWidget& form) : ControlView(menu, form), menu_(menu) {
        action_ = new QAction(&form);
        QObject::connect(action_, &QAction::triggered, action_, [this] { Chosen(); });
        // F1 is the workbench's help key in every window; a menu item that shows F1 sends it
        // by code, which reaches the same help. Two shortcuts for one key would silence both.
        if (!menu.Shortcut().empty() && menu.Shortcut() != "F1") {
            action_->setShortcut(QKeySequence(Q(menu.Shortcut())));
            action_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            form.addAction(action_);
        }
        auto* parent =
            menu.Container() ? dynamic_cast<MenuView*>(Host().ViewOf(menu.Container())) : nullptr;
        if (parent)
            parent->SubMenu()->addAction(action_);
        else
            form.MenuBar()->addAction(action_);
        topLevel_ = !parent;
    }
    ~MenuView() override {
        // Possibly inside this action's own signal: silence now, delete later.
        action_->disconnect();
        action_->setVisible(false);
        action_->deleteLater();
        if (submenu_) {
            submenu_->disconnect();
            submenu_->deleteLater();
        }
    }

    void Mirror(std::string_view p) override {
        if (p == "Caption")
            ShowCaption();
        else if (p == "Enabled")
            action_->setEnabled(menu_.Enabled());
        else if (p == "Visible")
            ShowVisible();
        else if (p == "Checked")
            ShowChecked();
    }
    void SyncAll() override {
        ShowCaption();
        action_->setEnabled(menu_.Enabled());
        ShowVisible();
        ShowChecked();
    }
    void ApplyVisible() override { ShowVisible(); }

    QMenu* SubMenu() {
        if (!submenu_) {
            submenu_ = new QMenu(&Host());
            QObject::connect(submenu_, &QMenu::aboutToShow, submenu_, [this] { Opening(); });
            action_->setMenu(submenu_);
        }
        return submenu_;
    }
    QMenu* Popup() const { return submenu_; }
    QAction* Action() const { return action_; }

private:
    void ShowCaption() {
        bool separator = menu_.Caption() == "-";
        action_->setSeparator(separator);
        if (!separator) action_->setText(Q(menu_.Caption()));
        // Items show the icon of their command, as the toolbar's buttons do; the bar's own
        // titles stay text.
        if (!separator && !topLevel_) action_->setIcon(CommandIcon(menu_.Caption()));
    }
    void ShowVisible() {
        action_->setVisible(menu_.Visible());
        // The bar shows while any of its menus does (pop-up-only menus are hidden).
        if (topLevel_) {
            QMenuBar* bar = Host().MenuBar();
            bool any = false;
            for (QAction* a : bar->actions())
                any = any || a->isVisible();
            Host().ShowMenuBar(any);
        }
    }
    void ShowChecked() {
        if (menu_.Checked()) action_->setCheckable(true);
        action_->setChecked(menu_.Checked());
    }
    void Chosen() {
        if (submenu_) return; // opening a menu is not choosing it
        auto keep = menu_.shared_from_this();
        RunUserAction([&] {
            if (menu_.IsUsable())
                menu_.UserClick();
            else if (PopupRun::Active() && EnabledInPopup(menu_))
                menu_.RaiseEvent("Click");
        });
        // The action toggles its own check mark; the model decides.
        ShowChecked();
    }
    void Opening() {
        auto keep = menu_.shared_from_this();
        if (menu_.Visible()) RunUserAction([&] { menu_.UserClick(); });
    }

    Menu& menu_;
    QAction* action_ = nullptr;
    QMenu* submenu_ = nullptr;
    bool topLevel_ = false;
};

} // namespace

PopupRun::PopupRun() {
    ++popupDepth;
}
PopupRun::~PopupRun() {
    --popupDepth;
}
bool PopupRun::Active() {
    return popupDepth > 0;
}

QMenu* PopupOf(const Menu& menu) {
    auto* v = dynamic_cast<MenuView*>(ControlView::Of(menu));
    return v ? v->Popup() : nullptr;
}

void RegisterMenuViews(ViewRegistry& r) {
    r.Register("Menu", MakeView<MenuView, Menu>());
}

} // namespace zelk::view
