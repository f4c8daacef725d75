// CommandButton, CheckBox and OptionButton. A click goes to the model, which moves the focus
// first (so the field being left is validated) and then decides the new state; the widget
// always shows the model's state afterwards. The buttons do not take the focus on a mouse
// press for the same reason: the model moves it.
#include "platform/ui/StdControls.h"
#include "view/ControlView.h"
#include "view/Convert.h"
#include "view/FormWidget.h"
#include "view/UserAction.h"
#include "view/ViewRegistry.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

namespace zelk::view {

namespace {

template <class W, class M> class ButtonViewBase : public ControlView {
public:
    ButtonViewBase(M& model, FormWidget& form) : ControlView(model, form), model_(model) {
        button_ = new W(ParentWidget());
        button_->setFocusPolicy(Qt::TabFocus);
        QObject::connect(button_, &QAbstractButton::clicked, button_, [this] { Clicked(); });
        SetWidget(button_);
    }
    void Mirror(std::string_view p) override {
        if (p == "Caption")
            button_->setText(Q(model_.Caption()));
        else if (p == "Value")
            ShowValue();
        else
            ControlView::Mirror(p);
    }
    void SyncAll() override {
        ControlView::SyncAll();
        button_->setText(Q(model_.Caption()));
        ShowValue();
    }

protected:
    virtual void ShowValue() {}
    void Clicked() {
        auto keep = model_.shared_from_this();
        RunUserAction([&] { model_.UserClick(); });
        ShowValue();
    }
    M& model_;
    W* button_;
};

class CommandButtonView : public ButtonViewBase<QPushButton, CommandButton> {
public:
    using ButtonViewBase::ButtonViewBase;
    void SyncAll() override {
        ButtonViewBase::SyncAll();
        button_->setAutoDefault(false);
        button_->setDefault(model_.Default());
    }
};

class CheckBoxView : public ButtonViewBase<QCheckBox, CheckBox> {
public:
    CheckBoxView(CheckBox& box, FormWidget& form) : ButtonViewBase(box, form) {
        button_->setTristate(true);
    }

protected:
    void ShowValue() override {
        static const Qt::CheckState states[] = {Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked};
        int v = model_.Value();
        QSignalBlocker block(button_);
        button_->setCheckState(states[v >= 0 && v <= 2 ? v : 0]);
    }
};

class OptionButtonView : public ButtonViewBase<QRadioButton, OptionButton> {
public:
    OptionButtonView(OptionButton& option, FormWidget& form) : ButtonViewBase(option, form) {
        // The model clears the other options of the container.
        button_->setAutoExclusive(false);
    }

protected:
    void ShowValue() override {
        QSignalBlocker block(button_);
        button_->setChecked(model_.Value());
    }
};

} // namespace

void RegisterButtonViews(ViewRegistry& r) {
    r.Register("CommandButton", MakeView<CommandButtonView, CommandButton>());
    r.Register("CheckBox", MakeView<CheckBoxView, CheckBox>());
    r.Register("OptionButton", MakeView<OptionButtonView, OptionButton>());
}

} // namespace zelk::view
