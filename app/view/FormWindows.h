#pragma once

#include <QDialog>
#include <QWidget>

#include <memory>

namespace zelk {
class Form;
}

namespace zelk::view {

class FormWidget;

// A model form shown modally: the dialog closes when the form is hidden or unloaded; the
// window's close button asks the form to unload (QueryUnload may refuse).
class FormDialog : public QDialog {
    Q_OBJECT
public:
    FormDialog(std::shared_ptr<Form> form, QWidget* parent = nullptr);
    FormWidget* View() const { return view_; }
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::shared_ptr<Form> form_;
    FormWidget* view_;
};

// A model form shown modelessly, in a window of its own.
class FormWindow : public QWidget {
    Q_OBJECT
public:
    explicit FormWindow(std::shared_ptr<Form> form, QWidget* parent = nullptr);
    FormWidget* View() const { return view_; }
    // The window of a form, if it has one.
    static FormWindow* Of(const Form& form);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ModelHidden();
    std::shared_ptr<Form> form_;
    FormWidget* view_;
};

// Asks the form to unload as the window's close button does; true when it did (or it was
// hidden already).
bool UnloadByUser(Form& form);

} // namespace zelk::view
