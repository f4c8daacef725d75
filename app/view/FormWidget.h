#pragma once

#include "platform/ui/Control.h"
#include "view/Growth.h"

#include <QWidget>

#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

class QKeyEvent;
class QMenuBar;

namespace zelk {
class Form;
}

namespace zelk::view {

class ControlView;

// The view of one top-level model form: a widget tree mirroring its controls (and those of the
// user controls sited in it), kept in step through the model's change notifications, and the
// place where the user's focus moves and keys go back to the model.
class FormWidget : public QWidget, public ControlObserver {
    Q_OBJECT
public:
    explicit FormWidget(std::shared_ptr<Form> form, QWidget* parent = nullptr);
    ~FormWidget() override;

    Form& Model() const { return *form_; }
    const std::shared_ptr<Form>& ModelPtr() const { return form_; }
    // The area the form's own controls are placed in (below the menu bar).
    QWidget* Client() const { return client_; }
    ControlView* ViewOf(const Control* control) const;
    // Where the control's widget goes: its laid-out place, moved and grown when the window
    // gives the form more room.
    QRect Place(const Control& control) { return growth_.Place(control); }
    // The child area of the control's container.
    QWidget* ParentFor(const Control& control) const;
    // The bar of the form's top-level menus, created on first use.
    QMenuBar* MenuBar();
    // The menus a window that shows this form puts into its own menu bar (null: none).
    QMenuBar* ExistingMenuBar() const { return menuBar_; }
    // While merged, the form's own bar stays hidden: its menus show in the window's bar.
    void SetMenusMerged(bool merged);
    // Shows or hides the form's own bar (it shows while any of its menus is visible).
    void ShowMenuBar(bool any);

    // Moves the Qt focus without telling the model (the model already has it there).
    void MoveQtFocus(QWidget* widget);
    // The user put the Qt focus on the view's widget: the model moves its focus, which runs
    // Validate on the control being left; when the model refuses, the Qt focus goes back.
    void UserFocus(ControlView& view);
    // Whether the model refused the focus to this control since the last move that succeeded;
    // an action of the same gesture (a click on a list) must not ask again.
    bool FocusRefused(const Control& control) const;
    // Routes focus and key events of the widget and its children to the view.
    void Track(QWidget* widget, ControlView& view);
    // Tab order and label access keys follow TabIndex; recomputed after changes.
    void InvalidateTabOrder();
    void ApplyTabOrder();
    // Called by the form's own view.
    void ModelHidden() { emit formHidden(); }
    void ModelCaption(const QString& caption);

    void PropertyChanged(Control& control, std::string_view property) override;
    void ControlAdded(Control& control) override;
    void ControlRemoved(Control& control) override;

signals:
    // The model form was hidden or unloaded: whatever shows this widget should close.
    void formHidden();
    void captionChanged(const QString& caption);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Build(Form& form);
    ControlView* CreateView(Control& control);
    void DestroyView(const Control* control);
    bool HandleKey(QObject* target, ControlView& view, QKeyEvent* event);
    // The client area changed size, or the controls moved: every widget is placed again.
    void Regrow();
    void RegrowLater();
    bool ClickDefaultButton(Control& from, bool isReturn);

    std::shared_ptr<Form> form_;
    QWidget* client_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    std::unordered_map<const Control*, std::unique_ptr<ControlView>> views_;
    std::vector<const Control*> order_; // creation order, for teardown in reverse
    Growth growth_{*form_, order_};
    bool regrowQueued_ = false;
    std::unordered_map<QObject*, ControlView*> tracked_;
    std::weak_ptr<Object> refused_;
    bool tabOrderDirty_ = false;
    bool sendingKey_ = false;
    bool menusMerged_ = false;
};

} // namespace zelk::view
