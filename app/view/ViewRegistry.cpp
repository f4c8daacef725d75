#include "view/ViewRegistry.h"

#include "platform/ui/Form.h"
#include "platform/ui/StdControls.h"
#include "view/ControlView.h"

namespace zelk::view {

ViewRegistry& ViewRegistry::Instance() {
    static ViewRegistry* registry = [] {
        auto* r = new ViewRegistry;
        RegisterStaticViews(*r);
        RegisterTextViews(*r);
        RegisterButtonViews(*r);
        RegisterListViews(*r);
        RegisterMenuViews(*r);
        RegisterToolbarViews(*r);
        RegisterTabViews(*r);
        RegisterGridViews(*r);
        return r;
    }();
    return *registry;
}

void ViewRegistry::Register(std::string typeName, ViewFactory factory) {
    factories_[std::move(typeName)] = std::move(factory);
}

bool ViewRegistry::Has(std::string_view typeName) const {
    return factories_.find(std::string(typeName)) != factories_.end();
}

std::unique_ptr<ControlView> ViewRegistry::Create(Control& control, FormWidget& form) const {
    auto it = factories_.find(control.TypeName());
    // A kind without a view of its own is shown as the kind it is built on.
    if (it == factories_.end())
        it = factories_.find(dynamic_cast<UserControl*>(&control) ? "UserControl"
                             : dynamic_cast<TextBox*>(&control)   ? "TextBox"
                                                                  : "*placeholder");
    std::unique_ptr<ControlView> view;
    if (it != factories_.end()) view = it->second(control, form);
    if (!view && it != factories_.end() && it->first != "*placeholder")
        if (auto p = factories_.find("*placeholder"); p != factories_.end())
            view = p->second(control, form);
    return view;
}

} // namespace zelk::view
