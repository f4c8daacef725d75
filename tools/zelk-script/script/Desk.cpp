#include "script/Desk.h"

#include "host/ReferenceHost.h"
#include "host/app/Views.h"
#include "host/app/WorkingListRows.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ProgIdRegistry.h"
#include "platform/Strings.h"

#include <algorithm>

namespace zelk::script {

namespace {
constexpr const char* kDetailsProgId = "ZELK_ManagedArea.ManagedAreaDetails";
constexpr const char* kSearchProgId = "ZELK_ManagedArea.ManagedAreaSearch";

std::string Describe(const ComError& e) {
    return e.Description() + " (error " + std::to_string(e.Number()) + ")";
}
} // namespace

bool DeskWindow::IsSearch() const {
    return IEquals(control->TypeName(), "ManagedAreaSearch");
}

long DeskWindow::RecordId() const {
    if (IsSearch() || !control->HasMember("GetID")) return -1;
    return CLng(control->Call("GetID"));
}

std::string DeskWindow::Caption() const {
    return window->Caption().empty() ? window->Name() : window->Caption();
}

Desk::Desk(host::ReferenceHost& host, ObjectPtr app, std::function<void(const std::string&)> notice)
    : host_(host), app_(std::move(app)), notice_(std::move(notice)) {
    host_.WinMan()->SetHandler([this](const host::WindowManager::Request& r) {
        if (r.kind == "NewDetails") {
            NewDetails();
        } else if (r.kind == "OpenDetails") {
            Variant id(r.id);
            if (IsNumeric(id)) OpenDetails(CLng(id));
        }
    });
}

Desk::~Desk() {
    host_.WinMan()->SetHandler({});
    notice_ = nullptr;
    // The program ends: every control lets go of what it holds, newest first.
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
        Release(**it);
}

std::vector<DeskWindow*> Desk::Windows() const {
    std::vector<DeskWindow*> out;
    for (const auto& w : windows_)
        if (!w->closed) out.push_back(w.get());
    return out;
}

DeskWindow* Desk::Host(const std::string& progId, const std::string& windowName,
                       const std::function<void(DeskWindow&)>& init) {
    if (!ProgIdRegistry::Instance().IsRegistered(progId)) {
        Notice("cannot open a window: nothing is registered as " + progId);
        return nullptr;
    }
    auto owned = std::make_unique<DeskWindow>();
    DeskWindow* w = owned.get();
    w->window = std::make_shared<host::HostWindow>(windowName + std::to_string(++serial_));
    try {
        w->control = w->window->AddControl(progId, "ctlHosted");
        w->control->Move(0, 0);
        w->window->Move(0, 0, w->control->Width(), w->control->Height());
        w->window->Show();
        w->cookie =
            w->control->Advise([this, w](std::string_view ev, Args& a) { OnEvent(w, ev, a); });
        windows_.push_back(std::move(owned));
        init(*w);
        current_ = w;
        Notice("window opened: " + w->Caption());
        return w;
    } catch (const ComError& e) {
        Notice("the window could not be opened: " + Describe(e));
        if (!windows_.empty() && windows_.back().get() == w) {
            // A control that failed half-way still gives back what it took.
            Release(*w);
            windows_.pop_back();
        }
        return nullptr;
    }
}

namespace {
Args FramedArgs(host::ReferenceHost& host, const ObjectPtr& app) {
    return {Variant(host.WorkingList()),
            Variant(app),
            Variant(static_cast<int>(host.ManagedAreaViewId())),
            Variant(std::static_pointer_cast<Object>(host.WinMan())),
            Variant(std::static_pointer_cast<Object>(host.Views())),
            Variant("")};
}
} // namespace

DeskWindow* Desk::OpenSearch() {
    for (DeskWindow* w : Windows())
        if (w->IsSearch()) return current_ = w;
    return Host(kSearchProgId, "frmFind",
                [this](DeskWindow& w) { w.control->Call("InitSearch", FramedArgs(host_, app_)); });
}

DeskWindow* Desk::OpenDetails(long id) {
    for (DeskWindow* w : Windows())
        if (w->RecordId() == id) return current_ = w;
    return Host(kDetailsProgId, "frmDetails", [this, id](DeskWindow& w) {
        w.control->Call("InitDetails", FramedArgs(host_, app_));
        w.control->Call("LoadData", {Variant(static_cast<int>(id))});
    });
}

DeskWindow* Desk::NewDetails() {
    return Host(kDetailsProgId, "frmDetails", [this](DeskWindow& w) {
        w.control->Call("InitDetails", FramedArgs(host_, app_));
        w.control->Call("NewData", {Variant(-1)});
    });
}

void Desk::OnEvent(DeskWindow* w, std::string_view name, const Args& args) {
    if (IEquals(name, "Quit")) {
        pending_.push_back([this, w] {
            if (w->closed) return;
            Release(*w);
        });
    } else if (IEquals(name, "NewItem")) {
        pending_.push_back([this] { NewDetails(); });
    } else if (IEquals(name, "UpdateList") || IEquals(name, "RemoveItem")) {
        std::string event(name);
        long id = IsNumeric(Arg(args, 0)) ? static_cast<long>(CLng(Arg(args, 0))) : -1;
        pending_.push_back([this, w, event, id] {
            // The host's list follows the record first; then the other windows hear of it.
            if (IEquals(event, "RemoveItem"))
                host::RemoveWorkingListRow(*host_.WorkingList(), id);
            else
                host::RefreshWorkingListRow(*host_.Db(), *host_.WorkingList(), id);
            // After a delete the window that deleted shows a neighbour: its count changed too.
            bool all = IEquals(event, "RemoveItem");
            for (DeskWindow* other : Windows())
                if ((all || other != w) && !other->IsSearch() &&
                    other->control->HasMember("NotifyListChanges")) {
                    try {
                        other->control->Call("NotifyListChanges", {Variant(event)});
                    } catch (const ComError& e) {
                        Notice("the window " + other->Caption() +
                               " could not follow the list: " + Describe(e));
                    }
                }
        });
    }
}

void Desk::Settle() {
    // Each round may raise more events; a control that keeps asking is stopped after a while.
    for (int round = 0; round < 20 && !pending_.empty(); ++round) {
        auto now = std::move(pending_);
        pending_.clear();
        for (auto& f : now) {
            try {
                f();
            } catch (const ComError& e) {
                Notice("the host could not follow an event: " + Describe(e));
            }
        }
    }
    pending_.clear();
}

bool Desk::Close(DeskWindow& w) {
    if (w.closed) return true;
    if (w.control->HasMember("CanClose")) {
        bool ok = true;
        try {
            ok = CBool(w.control->Call("CanClose"));
        } catch (const ComError& e) {
            Notice("CanClose failed: " + Describe(e));
        }
        if (!ok) {
            Notice("window stays open: " + w.Caption());
            return false;
        }
    }
    Release(w);
    return true;
}

bool Desk::CloseAll() {
    std::vector<DeskWindow*> open = Windows();
    for (auto it = open.rbegin(); it != open.rend(); ++it) {
        current_ = *it;
        if (!Close(**it)) return false;
    }
    return true;
}

void Desk::Release(DeskWindow& w) {
    if (w.closed) return;
    w.closed = true;
    std::string caption = w.Caption();
    w.control->Unadvise(w.cookie);
    if (w.control->HasMember("Deactivate")) {
        try {
            w.control->Call("Deactivate");
        } catch (const ComError&) {
            // Deactivate reports nothing; the window goes in any case.
        }
    }
    w.window->Unload();
    Notice("window closed: " + caption);
    if (current_ == &w) {
        std::vector<DeskWindow*> open = Windows();
        current_ = open.empty() ? nullptr : open.back();
    }
}

} // namespace zelk::script
