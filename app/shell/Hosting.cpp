#include "shell/Hosting.h"

#include "host/ReferenceHost.h"
#include "host/app/Views.h"
#include "platform/ProgIdRegistry.h"

namespace zelk::view {

HostedControl CreateHosted(const std::string& progId, const std::string& windowName) {
    HostedControl h;
    if (!ProgIdRegistry::Instance().IsRegistered(progId)) return h;
    h.window = std::make_shared<host::HostWindow>(windowName);
    h.control = h.window->AddControl(progId, "ctlHosted");
    h.control->Move(0, 0);
    h.window->Move(0, 0, h.control->Width(), h.control->Height());
    h.window->Load();
    return h;
}

namespace {
Args FramedArgs(host::ReferenceHost& host) {
    return {Variant(host.WorkingList()),
            Variant(std::static_pointer_cast<Object>(host.App())),
            Variant(static_cast<int>(host.ManagedAreaViewId())),
            Variant(std::static_pointer_cast<Object>(host.WinMan())),
            Variant(std::static_pointer_cast<Object>(host.Views())),
            Variant("")};
}
} // namespace

void InitDetailsWindow(HostedControl& h, host::ReferenceHost& host, long id) {
    h.control->Call("InitDetails", FramedArgs(host));
    if (id >= 0)
        h.control->Call("LoadData", {Variant(static_cast<int>(id))});
    else
        h.control->Call("NewData", {Variant(-1)});
}

void InitSearchWindow(HostedControl& h, host::ReferenceHost& host) {
    h.control->Call("InitSearch", FramedArgs(host));
}

} // namespace zelk::view
