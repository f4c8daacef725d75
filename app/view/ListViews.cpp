// ListBox, ComboBox and DataCombo. Choosing an entry is the model's UserPick, typing in an
// editable combo its UserType; the widget then shows what the model chose.
#include "platform/ui/DataCombo.h"
#include "platform/ui/ListControls.h"
#include "view/ControlView.h"
#include "view/Convert.h"
#include "view/FormWidget.h"
#include "view/UserAction.h"
#include "view/ViewRegistry.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QScopedValueRollback>

namespace zelk::view {

namespace {

class ListBoxView : public ControlView {
public:
    ListBoxView(ListBox& list, FormWidget& form) : ControlView(list, form), list_(list) {
        widget_ = new QListWidget(ParentWidget());
        QObject::connect(widget_, &QListWidget::currentRowChanged, widget_,
                         [this](int row) { Picked(row); });
        SetWidget(widget_);
    }
    void Mirror(std::string_view p) override {
        if (p == "List")
            ShowItems();
        else if (p == "ListIndex")
            ShowIndex();
        else
            ControlView::Mirror(p);
    }
    void SyncAll() override {
        ControlView::SyncAll();
        ShowItems();
    }

private:
    void Picked(int row) {
        if (updating_) return;
        auto keep = list_.shared_from_this();
        if (!Host().FocusRefused(list_)) RunUserAction([&] { list_.UserPick(row); });
        ShowIndex();
    }
    void ShowItems() {
        QScopedValueRollback guard(updating_, true);
        widget_->clear();
        for (int i = 0; i < list_.ListCount(); ++i)
            widget_->addItem(Q(list_.List(i)));
        ShowIndex();
    }
    void ShowIndex() {
        QScopedValueRollback guard(updating_, true);
        if (widget_->currentRow() != list_.ListIndex()) widget_->setCurrentRow(list_.ListIndex());
    }
    ListBox& list_;
    QListWidget* widget_;
    bool updating_ = false;
};

// What the two combo kinds share: a QComboBox, editable unless the style is a drop-down list.
template <class M> class ComboViewBase : public ControlView {
public:
    ComboViewBase(M& model, FormWidget& form) : ControlView(model, form), model_(model) {
        combo_ = new QComboBox(ParentWidget());
        combo_->setInsertPolicy(QComboBox::NoInsert);
        QObject::connect(combo_, &QComboBox::activated, combo_, [this](int i) { Picked(i); });
        SetWidget(combo_);
    }
    void Mirror(std::string_view p) override {
        if (p == "List")
            ShowItems();
        else if (p == "ListIndex" || p == "Text" || p == "BoundText")
            ShowChoice();
        else
            ControlView::Mirror(p);
    }
    void SyncAll() override {
        ControlView::SyncAll();
        ShowItems();
    }

protected:
    virtual int Count() const = 0;
    virtual QString Entry(int i) const = 0;
    virtual int Chosen() const = 0;
    virtual bool Pick(int i) = 0;
    virtual bool Type(const std::string& text) = 0;

    void ShowItems() {
        QScopedValueRollback guard(updating_, true);
        SetEditable(model_.Style() != 2);
        combo_->clear();
        for (int i = 0; i < Count(); ++i)
            combo_->addItem(Entry(i));
        ShowChoice();
    }
    void ShowChoice() {
        QScopedValueRollback guard(updating_, true);
        int chosen = Chosen();
        if (combo_->currentIndex() != chosen) combo_->setCurrentIndex(chosen);
        if (combo_->isEditable() && combo_->currentText() != Q(model_.Text()))
            combo_->setEditText(Q(model_.Text()));
    }

private:
    void SetEditable(bool editable) {
        if (combo_->isEditable() == editable) return;
        combo_->setEditable(editable);
        if (!editable) return;
        Host().Track(combo_->lineEdit(), *this);
        QObject::connect(combo_->lineEdit(), &QLineEdit::textEdited, combo_,
                         [this](const QString& t) { Typed(t); });
    }
    void Picked(int i) {
        if (updating_) return;
        auto keep = model_.shared_from_this();
        if (!Host().FocusRefused(model_)) RunUserAction([&] { Pick(i); });
        ShowChoice();
    }
    void Typed(const QString& text) {
        if (updating_) return;
        auto keep = model_.shared_from_this();
        bool taken = false;
        if (!Host().FocusRefused(model_)) RunUserAction([&] { taken = Type(S(text)); });
        if (!taken) ShowChoice();
    }

protected:
    M& model_;
    QComboBox* combo_;
    bool updating_ = false;
};

class ComboBoxView : public ComboViewBase<ComboBox> {
public:
    using ComboViewBase::ComboViewBase;

protected:
    int Count() const override { return model_.ListCount(); }
    QString Entry(int i) const override { return Q(model_.List(i)); }
    int Chosen() const override { return model_.ListIndex(); }
    bool Pick(int i) override { return model_.UserPick(i); }
    bool Type(const std::string& text) override { return model_.UserType(text); }
};

class DataComboView : public ComboViewBase<DataCombo> {
public:
    using ComboViewBase::ComboViewBase;

protected:
    int Count() const override { return model_.ListCount(); }
    QString Entry(int i) const override { return Q(model_.ListText(i)); }
    int Chosen() const override { return model_.SelectedIndex(); }
    bool Pick(int i) override { return model_.UserPick(i); }
    bool Type(const std::string& text) override { return model_.UserType(text); }
};

} // namespace

void RegisterListViews(ViewRegistry& r) {
    r.Register("ListBox", MakeView<ListBoxView, ListBox>());
    r.Register("ComboBox", MakeView<ComboBoxView, ComboBox>());
    r.Register("DataCombo", MakeView<DataComboView, DataCombo>());
}

} // namespace zelk::view
