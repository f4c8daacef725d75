// TextBox: a line edit, or a plain-text editor when multi-line. Typing replaces the model's
// text (the model may refuse or change it); the caret stays where the user had it.
#include "platform/ui/StdControls.h"
#include "view/ControlView.h"
#include "view/Convert.h"
#include "view/FormWidget.h"
#include "view/UserAction.h"
#include "view/ViewRegistry.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QTextBlock>

namespace zelk::view {

namespace {

class TextBoxView : public ControlView {
public:
    TextBoxView(TextBox& box, FormWidget& form) : ControlView(box, form), box_(box) {
        if (box.MultiLine()) {
            multi_ = new QPlainTextEdit(ParentWidget());
            multi_->setTabChangesFocus(true);
            QObject::connect(multi_, &QPlainTextEdit::textChanged, multi_,
                             [this] { Edited(multi_->toPlainText()); });
            SetWidget(multi_);
        } else {
            line_ = new QLineEdit(ParentWidget());
            QObject::connect(line_, &QLineEdit::textEdited, line_,
                             [this](const QString& t) { Edited(t); });
            QObject::connect(line_, &QLineEdit::selectionChanged, line_,
                             [this] { FeedSelection(); });
            QObject::connect(line_, &QLineEdit::cursorPositionChanged, line_,
                             [this] { FeedSelection(); });
            SetWidget(line_);
        }
    }

    void Mirror(std::string_view p) override {
        if (p == "Text")
            ShowText();
        else if (p == "Locked")
            ShowLocked();
        else if (p == "SelStart" || p == "SelLength")
            ShowSelection();
        else
            ControlView::Mirror(p);
    }
    void SyncAll() override {
        ControlView::SyncAll();
        ShowText();
        ShowLocked();
    }

private:
    QString WidgetText() const { return line_ ? line_->text() : multi_->toPlainText(); }

    void Edited(const QString& text) {
        if (updating_) return;
        // The model refused the focus for this gesture: the keystroke does not count.
        if (Host().FocusRefused(box_)) {
            ShowText();
            return;
        }
        bool taken = false;
        auto keep = box_.shared_from_this();
        RunUserAction([&] { taken = box_.UserType(S(text)); });
        // Refused (locked, not usable) or changed by a handler: show the model's text.
        if (!taken || WidgetText() != Q(box_.Text())) ShowText();
    }

    void ShowText() {
        QString text = Q(box_.Text());
        if (line_) {
            // Setting it moves the caret to the end, so only when it differs.
            int max = box_.MaxLength() > 0 ? static_cast<int>(box_.MaxLength()) : 32767;
            if (line_->maxLength() != max) line_->setMaxLength(max);
        }
        if (WidgetText() == text) return;
        QScopedValueRollback guard(updating_, true);
        if (line_) {
            int caret = line_->cursorPosition();
            line_->setText(text);
            line_->setCursorPosition(std::min(caret, static_cast<int>(text.size())));
        } else {
            int caret = multi_->textCursor().position();
            multi_->setPlainText(text);
            QTextCursor cursor = multi_->textCursor();
            cursor.setPosition(std::min(caret, static_cast<int>(text.size())));
            multi_->setTextCursor(cursor);
        }
    }

    void ShowLocked() {
        if (line_) line_->setReadOnly(box_.Locked());
        if (multi_) multi_->setReadOnly(box_.Locked());
    }

    // The model set the selection from code (a GotFocus that selects everything).
    void ShowSelection() {
        if (feeding_) return;
        QScopedValueRollback guard(updating_, true);
        const std::string& text = box_.Text();
        int start = CharIndex(text, box_.SelStart());
        int end = CharIndex(text, box_.SelStart() + box_.SelLength());
        if (line_) {
            line_->setSelection(start, end - start);
        } else {
            QTextCursor cursor = multi_->textCursor();
            cursor.setPosition(start);
            cursor.setPosition(end, QTextCursor::KeepAnchor);
            multi_->setTextCursor(cursor);
        }
    }

    // The user moved the caret or selection: the model's SelStart and SelLength follow, so
    // code that reads SelText sees what the user selected.
    void FeedSelection() {
        if (updating_ || !line_ || line_->text() != Q(box_.Text())) return;
        QString text = line_->text();
        int start = line_->hasSelectedText() ? line_->selectionStart() : line_->cursorPosition();
        int length = line_->hasSelectedText() ? static_cast<int>(line_->selectedText().size()) : 0;
        long s = ByteOffset(text, start), e = ByteOffset(text, start + length);
        if (s == box_.SelStart() && e - s == box_.SelLength()) return;
        QScopedValueRollback guard(feeding_, true);
        RunUserAction([&] {
            box_.SetSelStart(s);
            box_.SetSelLength(e - s);
        });
    }

    TextBox& box_;
    QLineEdit* line_ = nullptr;
    QPlainTextEdit* multi_ = nullptr;
    bool updating_ = false;
    bool feeding_ = false;
};

} // namespace

void RegisterTextViews(ViewRegistry& r) {
    r.Register("TextBox", MakeView<TextBoxView, TextBox>());
}

} // namespace zelk::view
