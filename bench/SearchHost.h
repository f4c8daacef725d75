#pragma once

// What the search benchmarks share: a host whose database holds exactly the sample areas asked
// for (written afresh when it holds anything else), with the search control on a window.
#include "host/ReferenceHost.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ui/ScriptedUiDriver.h"
#include "search/ManagedAreaSearch.h"

#include <cstddef>
#include <functional>
#include <memory>

namespace zelk::bench {

struct SearchHost {
    std::unique_ptr<host::ReferenceHost> host;
    std::shared_ptr<host::HostWindow> window;
    std::shared_ptr<search::ManagedAreaSearch> search;
    std::shared_ptr<ScriptedUiDriver> ui;

    // Opens the database `o` names; when that fails or it holds another number of areas than
    // o.sampleAreas, `discard` removes it and a new one is written. Errors of the second
    // opening reach the caller.
    void Open(const host::HostOptions& o, const std::function<void()>& discard) {
        ui = std::make_shared<ScriptedUiDriver>();
        SetUiDriver(ui);
        try {
            host = host::ReferenceHost::Open(o);
            if (CLng(host->Db()
                         ->Query("SELECT count(*) FROM ma")
                         ->GetFields()
                         .Item(std::size_t{0})
                         .Value()) != o.sampleAreas)
                host.reset();
        } catch (const ComError&) {
            host.reset();
        }
        if (!host) {
            discard();
            host = host::ReferenceHost::Open(o);
        }
        window = std::make_shared<host::HostWindow>("frmFind");
        search = std::dynamic_pointer_cast<search::ManagedAreaSearch>(
            window->AddControl(search::ManagedAreaSearch::kProgId, "ctlSearch"));
        search->InitSearch(host->WorkingList(), Variant(host->App()), 1, host->WinMan(),
                           host->Views(), "bench");
    }

    // The search for every area, the user agreeing to it; answers the rows in the grid.
    long AllRows() {
        search->Get<TextBox>("txtManagedAreaName").SetText("");
        ui->QueueAnswer(vb::Yes); // "search for all records?"
        search->Get<Control>("cmdFindNow").UserClick();
        return search->Get<VSFlexGrid>("flexResults").Rows() - 1;
    }
};

} // namespace zelk::bench
