// Kinds that show and contain but take no input: Label, Frame, PictureBox, nested user
// controls, and a placeholder for kinds without a view of their own.
#include "platform/ui/Form.h"
#include "platform/ui/StdControls.h"
#include "view/ControlView.h"
#include "view/Convert.h"
#include "view/FormWidget.h"
#include "view/Icons.h"
#include "view/ViewRegistry.h"

#include <QGroupBox>
#include <QLabel>

namespace zelk::view {

namespace {

// A caption with an access key shows it underlined only when it has a buddy; without one,
// the marker is dropped so no stray "&" shows.
QString PlainCaption(const std::string& caption) {
    QString out;
    QString c = Q(caption);
    for (qsizetype i = 0; i < c.size(); ++i) {
        if (c[i] == '&' && i + 1 < c.size()) ++i;
        out += c[i];
    }
    return out;
}

class LabelView : public ControlView {
public:
    LabelView(Label& label, FormWidget& form) : ControlView(label, form), label_(label) {
        label_widget_ = new QLabel(ParentWidget());
        label_widget_->setWordWrap(true);
        label_widget_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        SetWidget(label_widget_);
    }
    void Mirror(std::string_view p) override {
        if (p == "Caption")
            ShowCaption();
        else
            ControlView::Mirror(p);
    }
    void Placed() override { Fit(); }
    void SyncAll() override {
        ControlView::SyncAll();
        ShowCaption();
    }
    void SetBuddy(QWidget* buddy) override {
        buddy_ = buddy;
        ShowCaption();
    }

private:
    void ShowCaption() {
        label_widget_->setBuddy(buddy_);
        label_widget_->setText(buddy_ ? Q(label_.Caption()) : PlainCaption(label_.Caption()));
        Fit();
    }
    // A label one line high keeps its caption on that line: the forms were laid out for a
    // narrower font, so a caption that does not fit its box runs on past it rather than
    // wrapping into a second line nobody sees.
    void Fit() {
        QFontMetrics fm(label_widget_->font());
        bool oneLine = label_widget_->height() < 2 * fm.lineSpacing();
        label_widget_->setWordWrap(!oneLine);
        if (!oneLine) return;
        int need = fm.horizontalAdvance(PlainCaption(label_.Caption())) + 4;
        if (need > label_widget_->width()) label_widget_->resize(need, label_widget_->height());
    }
    Label& label_;
    QLabel* label_widget_;
    QPointer<QWidget> buddy_;
};

class FrameView : public ControlView {
public:
    FrameView(Frame& frame, FormWidget& form) : ControlView(frame, form), frame_(frame) {
        box_ = new QGroupBox(ParentWidget());
        SetWidget(box_);
    }
    void Mirror(std::string_view p) override {
        if (p == "Caption")
            box_->setTitle(PlainCaption(frame_.Caption()));
        else
            ControlView::Mirror(p);
    }
    void SyncAll() override {
        ControlView::SyncAll();
        box_->setTitle(PlainCaption(frame_.Caption()));
    }

private:
    Frame& frame_;
    QGroupBox* box_;
};

class PictureBoxView : public ControlView {
public:
    PictureBoxView(PictureBox& box, FormWidget& form) : ControlView(box, form), box_(box) {
        label_ = new QLabel(ParentWidget());
        label_->setAlignment(Qt::AlignCenter);
        SetWidget(label_);
    }
    void Mirror(std::string_view p) override {
        ControlView::Mirror(p);
        if (p == "Picture") ShowPicture();
    }
    void SyncAll() override {
        ControlView::SyncAll();
        ShowPicture();
    }

private:
    void Placed() override { ShowPicture(); }
    void ShowPicture() { label_->setPixmap(PictureFor(box_.Picture(), label_->size())); }
    PictureBox& box_;
    QLabel* label_;
};

// A user control sited in a form: a plain container; its own controls are its children.
class UserControlView : public ControlView {
public:
    UserControlView(Control& control, FormWidget& form) : ControlView(control, form) {
        auto* w = new QWidget(ParentWidget());
        w->setFocusPolicy(Qt::NoFocus);
        SetWidget(w);
    }
};

// A kind the workbench cannot draw yet: a framed box with its kind and name.
class PlaceholderView : public ControlView {
public:
    PlaceholderView(Control& control, FormWidget& form) : ControlView(control, form) {
        auto* label = new QLabel(Q(control.TypeName() + " " + control.Name()), ParentWidget());
        label->setFrameShape(QFrame::Box);
        label->setAlignment(Qt::AlignCenter);
        label->setStyleSheet("color: gray;");
        SetWidget(label);
    }
};

} // namespace

void RegisterStaticViews(ViewRegistry& r) {
    r.Register("Label", MakeView<LabelView, Label>());
    r.Register("Frame", MakeView<FrameView, Frame>());
    r.Register("PictureBox", MakeView<PictureBoxView, PictureBox>());
    r.Register("UserControl", MakeView<UserControlView, Control>());
    r.Register("*placeholder", MakeView<PlaceholderView, Control>());
}

} // namespace zelk::view
