#include "host/app/Views.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ProgIdRegistry.h"
#include "platform/Strings.h"

namespace zelk::host {

View::View(std::string moduleCode, RecordsetPtr workingList)
    : Dispatch("View"), code_(std::move(moduleCode)), rsView_(std::move(workingList)) {
    items_["WORKING_LIST_TYPE"] = Variant(code_);
    DefineMethod("Item", [this](Args& a) { return Item(CStr(Arg(a, 0))); });
    DefineProperty("rsView",
                   [this](Args&) { return rsView_ ? Variant(rsView_) : Variant::Nothing(); });
}

Variant View::Item(const std::string& key) const {
    for (const auto& [k, v] : items_)
        if (IEquals(k, key)) return v;
    Raise(err::SubscriptOutOfRange, "The view has no item " + key);
}

std::shared_ptr<View> ViewsCollection::AddView(const std::string& moduleCode,
                                               RecordsetPtr workingList) {
    auto v = std::make_shared<View>(moduleCode, std::move(workingList));
    Add(Variant(v));
    return v;
}

std::shared_ptr<View> ViewsCollection::FindView(const std::string& moduleCode) const {
    for (const Variant& item : *this)
        if (auto v = std::dynamic_pointer_cast<View>(item.Obj());
            v && IEquals(v->ModuleCode(), moduleCode))
            return v;
    return nullptr;
}

WindowManager::WindowManager() : Dispatch("WindowManager") {
    DefineMethod("OpenDetails", [this](Args& a) {
        Handle({"OpenDetails", Arg(a, 0), Arg(a, 1), CStr(Arg(a, 2)),
                Arg(a, 3).IsEmpty() ? std::string() : CStr(Arg(a, 3))});
        return Variant();
    });
    DefineMethod("NewDetails", [this](Args& a) {
        Handle({"NewDetails", Arg(a, 0), Arg(a, 1), "", CStr(Arg(a, 2))});
        return Variant();
    });
}

void WindowManager::Handle(const Request& r) {
    requests_.push_back(r);
    if (handler_) handler_(requests_.back());
}

HostWindow::HostWindow(std::string name) : Form(std::move(name), "HostWindow") {
    DefineMethod("SetMainGridRedraw", [this](Args& a) {
        mainGridRedraw_ = CBool(Arg(a, 0));
        NotifyChanged("MainGridRedraw");
        return Variant();
    });
}

} // namespace zelk::host
