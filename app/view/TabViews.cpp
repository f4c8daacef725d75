// vaTabPro: a tab bar over a panel; the controls of the current page are the ones on show.
// Choosing a tab is the model's UserSelectTab, which may refuse (a field being left fails its
// validation, a handler cancels the switch); the bar then shows the model's tab again.
#include "platform/ui/TabControl.h"
#include "view/ControlView.h"
#include "view/Convert.h"
#include "view/FormWidget.h"
#include "view/UserAction.h"
#include "view/ViewRegistry.h"

#include <QFrame>
#include <QScopedValueRollback>
#include <QTabBar>

namespace zelk::view {

namespace {

class TabView : public ControlView {
public:
    TabView(vaTabPro& tab, FormWidget& form) : ControlView(tab, form), tab_(tab) {
        area_ = new QWidget(ParentWidget());
        panel_ = new QFrame(area_);
        panel_->setFrameShape(QFrame::StyledPanel);
        bar_ = new QTabBar(area_);
        bar_->setDrawBase(false);
        bar_->setExpanding(false);
        bar_->setFocusPolicy(Qt::TabFocus);
        QObject::connect(bar_, &QTabBar::currentChanged, bar_, [this](int i) { Chosen(i); });
        SetWidget(area_);
    }
    QWidget* FocusWidget() const override { return bar_; }

    void Mirror(std::string_view p) override {
        if (p == "Tabs")
            ShowTabs();
        else if (p == "ActiveTab")
            ShowActive();
        else {
            ControlView::Mirror(p);
        }
    }
    void SyncAll() override {
        ControlView::SyncAll();
        ShowTabs();
        Layout();
    }

    void Placed() override { Layout(); }
    QTabBar* Bar() const { return bar_; }

private:
    void Layout() {
        QSize size = Widget()->size();
        int barHeight = std::max(bar_->sizeHint().height(), Px(tab_.ClientTop()) - 2);
        bar_->setGeometry(0, 0, size.width(), barHeight);
        panel_->setGeometry(0, barHeight - 1, size.width(),
                            std::max(0, size.height() - barHeight + 1));
        panel_->lower();
    }
    void ShowTabs() {
        QScopedValueRollback guard(updating_, true);
        while (bar_->count() > tab_.TabCount())
            bar_->removeTab(bar_->count() - 1);
        while (bar_->count() < tab_.TabCount())
            bar_->addTab(QString());
        for (int i = 0; i < tab_.TabCount(); ++i) {
            bar_->setTabText(i, Q(tab_.TabCaption(i)));
            bar_->setTabVisible(i, tab_.TabVisible(i));
            bar_->setTabEnabled(i, tab_.TabEnabled(i));
        }
        ShowActive();
    }
    void ShowActive() {
        QScopedValueRollback guard(updating_, true);
        if (tab_.TabCount() > 0 && bar_->currentIndex() != tab_.ActiveTab())
            bar_->setCurrentIndex(tab_.ActiveTab());
    }
    void Chosen(int index) {
        if (updating_ || index < 0) return;
        auto keep = tab_.shared_from_this();
        RunUserAction([&] { tab_.UserSelectTab(index); });
        ShowActive();
    }

    vaTabPro& tab_;
    QWidget* area_;
    QFrame* panel_;
    QTabBar* bar_;
    bool updating_ = false;
};

} // namespace

void RegisterTabViews(ViewRegistry& r) {
    r.Register("vaTabPro", MakeView<TabView, vaTabPro>());
}

} // namespace zelk::view
