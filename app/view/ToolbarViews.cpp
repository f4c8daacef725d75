// Toolbar: a QToolBar with one action per button, icons by the button's image key (through
// the toolbar's image list when it names one). A drop-down button gets a small arrow button
// beside it that raises ButtonDropDown. ImageList has no widget.
#include "platform/ui/Form.h"
#include "platform/ui/Toolbar.h"
#include "view/ControlView.h"
#include "view/Convert.h"
#include "view/FormWidget.h"
#include "view/Icons.h"
#include "view/UserAction.h"
#include "view/ViewRegistry.h"

#include <QAction>
#include <QToolBar>
#include <QToolButton>

#include <vector>

namespace zelk::view {

namespace {

class ToolbarView : public ControlView {
public:
    ToolbarView(Toolbar& toolbar, FormWidget& form)
        : ControlView(toolbar, form), toolbar_(toolbar) {
        bar_ = new QToolBar(ParentWidget());
        bar_->setFocusPolicy(Qt::NoFocus);
        // The icons' own size: drawn at 24 (48 on a dense screen) they stay sharp.
        bar_->setIconSize(QSize(24, 24));
        bar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
        SetWidget(bar_);
    }
    void Mirror(std::string_view p) override {
        if (p == "Buttons")
            ShowButtons();
        else
            ControlView::Mirror(p);
    }
    void SyncAll() override {
        ControlView::SyncAll();
        ShowButtons();
    }

    // The action of a button, for tests and the script runner.
    QAction* ActionOf(int index) const {
        return index >= 0 && index < static_cast<int>(buttons_.size())
                   ? buttons_[static_cast<std::size_t>(index)].action
                   : nullptr;
    }

private:
    struct ButtonWidgets {
        QAction* action = nullptr;
        QAction* arrow = nullptr;
    };

    std::string PictureName(const ToolbarButton& b) const {
        const std::string& image = b.Image().empty() ? b.Key() : b.Image();
        // The image list maps keys to pictures; a key it lacks is drawn by name.
        if (zelk::Form* owner = toolbar_.Owner())
            if (auto* list = owner->FindAs<ImageList>(toolbar_.ImageList());
                list && list->Exists(image))
                return list->Picture(image);
        return image;
    }

    // Buttons are only ever added; existing ones are updated in place, so a handler that
    // changes buttons while one is being clicked never deletes that one.
    void ShowButtons() {
        while (static_cast<int>(buttons_.size()) < toolbar_.ButtonCount())
            AddButton(static_cast<int>(buttons_.size()));
        for (int i = 0; i < toolbar_.ButtonCount(); ++i) {
            ToolbarButton& b = toolbar_.ButtonAt(i);
            ButtonWidgets& w = buttons_[static_cast<std::size_t>(i)];
            bool separator = b.Style() == 3;
            w.action->setSeparator(separator);
            w.action->setText(Q(b.Caption().empty() ? b.ToolTipText() : b.Caption()));
            w.action->setToolTip(Q(b.ToolTipText()));
            if (!separator) w.action->setIcon(IconFor(PictureName(b)));
            w.action->setEnabled(b.Enabled());
            w.action->setVisible(b.Visible());
            w.action->setCheckable(b.Value() != 0 || b.Style() == 1);
            w.action->setChecked(b.Value() != 0);
            if (w.arrow) {
                w.arrow->setEnabled(b.Enabled());
                w.arrow->setVisible(b.Visible() && b.Style() == 5);
            }
        }
    }

    void AddButton(int index) {
        ButtonWidgets w;
        w.action = bar_->addAction(QString());
        QObject::connect(w.action, &QAction::triggered, bar_, [this, index] { Clicked(index); });
        if (toolbar_.ButtonAt(index).Style() == 5) {
            auto* arrow = new QToolButton(bar_);
            arrow->setArrowType(Qt::DownArrow);
            arrow->setAutoRaise(true);
            arrow->setFixedWidth(12);
            arrow->setFocusPolicy(Qt::NoFocus);
            QObject::connect(arrow, &QToolButton::clicked, bar_,
                             [this, index] { DroppedDown(index); });
            w.arrow = bar_->addWidget(arrow);
        }
        buttons_.push_back(w);
    }

    void Clicked(int index) {
        auto keep = toolbar_.shared_from_this();
        std::string key = toolbar_.ButtonAt(index).Key();
        RunUserAction([&] { toolbar_.UserClickButton(key); });
        ShowButtons();
    }
    void DroppedDown(int index) {
        auto keep = toolbar_.shared_from_this();
        std::string key = toolbar_.ButtonAt(index).Key();
        RunUserAction([&] { toolbar_.UserDropDown(key); });
    }

    Toolbar& toolbar_;
    QToolBar* bar_;
    std::vector<ButtonWidgets> buttons_;
};

// Image lists and dialogs hold data for other controls; nothing to draw.
class NoWidgetView : public ControlView {
public:
    using ControlView::ControlView;
    void Mirror(std::string_view) override {}
    void SyncAll() override {}
    void ApplyVisible() override {}
};

} // namespace

void RegisterToolbarViews(ViewRegistry& r) {
    r.Register("Toolbar", MakeView<ToolbarView, Toolbar>());
    r.Register("ImageList", MakeView<NoWidgetView, Control>());
    r.Register("CommonDialog", MakeView<NoWidgetView, Control>());
}

} // namespace zelk::view
