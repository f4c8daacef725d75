#pragma once

#include <QPointer>
#include <QWidget>

#include <memory>
#include <string_view>

namespace zelk {
class Control;
}

namespace zelk::view {

class FormWidget;

// The view of one model control: the widget that shows it and the wiring both ways. The view
// holds the control alive while it exists; the form widget creates and destroys views as the
// model adds and removes controls.
class ControlView {
public:
    ControlView(Control& control, FormWidget& form);
    virtual ~ControlView();
    ControlView(const ControlView&) = delete;
    ControlView& operator=(const ControlView&) = delete;

    Control& Model() const { return *model_; }
    FormWidget& Host() const { return form_; }
    // Null for kinds without a widget (image lists, menus, dialogs).
    QWidget* Widget() const { return widget_; }
    // Where the control's children are placed.
    virtual QWidget* ChildArea() const { return widget_; }
    // The widget that takes the keyboard focus for the control.
    virtual QWidget* FocusWidget() const { return widget_; }

    // Mirrors one property change; the base handles position, size, the shared states and focus.
    virtual void Mirror(std::string_view property);
    // Mirrors every property once, after creation.
    virtual void SyncAll();
    // Shown when the control is visible and on show in its container (the current tab page).
    virtual void ApplyVisible();
    void ApplyGeometry();
    // The widget has just been given its place: views that lay out parts of their own do so.
    virtual void Placed() {}
    void ApplyFocus();
    // A label's access key focuses this widget (the next control in tab order).
    virtual void SetBuddy(QWidget* /*buddy*/) {}

    // The live view of a control, or null.
    static ControlView* Of(const Control& control);

protected:
    void SetWidget(QWidget* widget);
    // The parent widget for this control's widget: its container's child area.
    QWidget* ParentWidget() const;

private:
    std::shared_ptr<Control> model_;
    FormWidget& form_;
    QPointer<QWidget> widget_;
};

} // namespace zelk::view
