#pragma once

#include "host/data/DataService.h"
#include "platform/Collection.h"
#include "platform/Dispatch.h"
#include "platform/Recordset.h"
#include "platform/ui/Form.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zelk {
class ProgIdRegistry;
}

namespace zelk::host {

// One view of the host: a module's window with its working list. Item("WORKING_LIST_TYPE")
// answers the module code.
class View : public Dispatch {
public:
    View(std::string moduleCode, RecordsetPtr workingList);
    const std::string& ModuleCode() const { return code_; }
    const RecordsetPtr& WorkingList() const { return rsView_; }
    void SetItem(const std::string& key, Variant value) { items_[key] = std::move(value); }
    Variant Item(const std::string& key) const;

private:
    std::string code_;
    RecordsetPtr rsView_;
    std::map<std::string, Variant, std::less<>> items_;
};

// The host's views, 1-based as the module walks them.
class ViewsCollection : public Collection {
public:
    std::shared_ptr<View> AddView(const std::string& moduleCode, RecordsetPtr workingList);
    // The first view of a module, or null.
    std::shared_ptr<View> FindView(const std::string& moduleCode) const;
};

// Opens windows for records. The reference host records each request; the workbench handles
// them by opening the window.
class WindowManager : public Dispatch {
public:
    struct Request {
        std::string kind; // "OpenDetails" or "NewDetails"
        Variant fromView, toView;
        std::string id, extra;
    };
    WindowManager();
    void SetHandler(std::function<void(const Request&)> f) { handler_ = std::move(f); }
    const std::vector<Request>& Requests() const { return requests_; }

private:
    void Handle(const Request& r);
    std::function<void(const Request&)> handler_;
    std::vector<Request> requests_;
};

// The window of the host that shows a module's control: caption, icon and the switch that
// suspends drawing of the host's own working-list grid.
class HostWindow : public Form {
public:
    explicit HostWindow(std::string name);
    bool MainGridRedraw() const { return mainGridRedraw_; }

private:
    bool mainGridRedraw_ = true;
};

} // namespace zelk::host
