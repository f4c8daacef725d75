#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/Strings.h"

namespace zelk {
class Control;
}

namespace zelk::view {

class ControlView;
class FormWidget;

using ViewFactory = std::function<std::unique_ptr<ControlView>(Control&, FormWidget&)>;

// Factories of views by the model's kind name (its TypeName). A kind with no factory of its
// own is shown by its children when it is a user control, and as a labelled placeholder
// otherwise, so a new kind never breaks a window.
class ViewRegistry {
public:
    // The registry with every standard kind registered.
    static ViewRegistry& Instance();

    void Register(std::string typeName, ViewFactory factory);
    bool Has(std::string_view typeName) const;
    std::unique_ptr<ControlView> Create(Control& control, FormWidget& form) const;

private:
    std::unordered_map<std::string, ViewFactory, IHash, IEqual> factories_;
};

// A factory for view V of model kind M; a control of that name but another class gets the
// placeholder.
template <class V, class M> ViewFactory MakeView() {
    return [](Control& c, FormWidget& f) -> std::unique_ptr<ControlView> {
        auto* m = dynamic_cast<M*>(&c);
        if (!m) return nullptr;
        return std::make_unique<V>(*m, f);
    };
}

// Registration of each family of kinds; one per source file.
void RegisterStaticViews(ViewRegistry& r);  // Label, Frame, PictureBox, UserControl, placeholders
void RegisterTextViews(ViewRegistry& r);    // TextBox
void RegisterButtonViews(ViewRegistry& r);  // CommandButton, CheckBox, OptionButton
void RegisterListViews(ViewRegistry& r);    // ListBox, ComboBox, DataCombo
void RegisterMenuViews(ViewRegistry& r);    // Menu
void RegisterToolbarViews(ViewRegistry& r); // Toolbar, ImageList
void RegisterTabViews(ViewRegistry& r);     // vaTabPro, CommonDialog
void RegisterGridViews(ViewRegistry& r);    // VSFlexGrid

} // namespace zelk::view
