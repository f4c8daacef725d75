// Hosts the record editor without any display, as a host program does: opens the reference
// host on a fresh in-memory sample database, creates the editor by its programmatic
// identifier, loads a record and shows every page, printing what a user would see.
//   zelk-demo [managed-area-id]
#include "CommandLine.h"
#include "host/ReferenceHost.h"
#include "host/app/Views.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ui/ControlTree.h"
#include "platform/ui/ScriptedUiDriver.h"
#include "platform/ui/TabControl.h"

#include <cstdlib>
#include <iostream>

using namespace zelk;

namespace {
constexpr const char* kUsage =
    "usage: zelk-demo [ID]\n"
    "Shows every page of a managed area record, as a user would see it, on a sample database\n"
    "in memory.\n"
    "  ID  the managed area to show, 1 to 2147483647 (default: the first of the working list)\n";
} // namespace

int main(int argc, char** argv) {
    std::string idText;
    cli::CommandLine cli("zelk-demo", kUsage);
    cli.Operand("ID", idText, false, cli::WholeNumber(1, 2147483647L));
    if (auto status = cli.Parse(argc, argv)) return *status;
    try {
        auto ui = std::make_shared<ScriptedUiDriver>();
        SetUiDriver(ui);
        auto host = host::ReferenceHost::Open({":memory:", "demo", 50, 1, true, true});
        auto window = std::make_shared<host::HostWindow>("frmManagedArea");
        ControlPtr editor = window->AddControl("ZELK_ManagedArea.ManagedAreaDetails", "ctlDetails");
        editor->Call("InitDetails", {Variant(host->WorkingList()), Variant(ObjectPtr(host->App())),
                                     Variant(static_cast<int>(host->ManagedAreaViewId())),
                                     Variant(ObjectPtr(host->WinMan())),
                                     Variant(ObjectPtr(host->Views())), Variant(std::string())});
        long id = 0;
        if (!idText.empty()) {
            id = std::strtol(idText.c_str(), nullptr, 10);
        } else {
            host->WorkingList()->MoveFirst();
            id = static_cast<long>(CLng(host->WorkingList()->Value("ID")));
        }
        editor->Call("LoadData", {Variant(static_cast<int>(id))});
        auto* tab = dynamic_cast<Form&>(*editor).FindAs<vaTabPro>("tabManagedAreas");
        for (int page = 0; tab && page < tab->TabCount(); ++page) {
            tab->UserSelectTab(page);
            std::cout << "=== " << tab->TabCaption(page) << " ===\n"
                      << DescribeTree(*window) << '\n';
        }
        for (const std::string& m : ui->Messages())
            std::cout << "message: " << m << '\n';
        editor->Call("Deactivate");
        return 0;
    } catch (const ComError& e) {
        std::cerr << "zelk-demo: " << e.Description() << '\n';
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "zelk-demo: " << e.what() << '\n';
        return 1;
    }
}
