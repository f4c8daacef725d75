// Builds a small form of the control model without any display and prints what a user would
// see: a toolbar, a tab control with a text box on each page and a grid.
#include "platform/ProgIdRegistry.h"
#include "platform/ui/ControlRegistry.h"
#include "platform/ui/ControlTree.h"
#include "platform/ui/Form.h"
#include "platform/ui/ScriptedUiDriver.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TabControl.h"
#include "platform/ui/Toolbar.h"

#include <iostream>

using namespace zelk;

int main() {
    try {
        RegisterControls(ProgIdRegistry::Instance());
        SetUiDriver(std::make_shared<ScriptedUiDriver>());

        auto form = std::make_shared<Form>("frmDemo");
        form->SetCaption("MA - Oak Hollow State Park (Managed Area)");
        auto tb = form->Add<Toolbar>("tbManagedAreas");
        for (const char* key : {"Open", "Save", "Delete", "Find"})
            tb->AddButton(key, key, key);
        auto tab = form->Add<vaTabPro>("tabManagedAreas");
        tab->SetTabCount(2);
        tab->SetTabCaption(0, "Identifiers");
        tab->SetTabCaption(1, "Locators");
        auto name = form->Add<TextBox>("txtMACodeBCD", tab.get());
        name->SetTabPage(0);
        name->SetText("MA.00123");
        auto lat = form->Add<TextBox>("txtLatitude", tab.get());
        lat->SetTabPage(1);
        lat->SetText("443015N");
        if (ProgIdRegistry::Instance().IsRegistered("VSFlex7Ctl.VSFlexGrid")) {
            ControlPtr grid = form->AddControl("VSFlex7Ctl.VSFlexGrid", "flexOwners", tab.get());
            grid->SetTabPage(0);
            grid->Let("Rows", Variant(3));
            grid->Let("Cols", Variant(2));
            grid->Let("TextMatrix", Variant("Owner"), {Variant(0), Variant(0)});
            grid->Let("TextMatrix", Variant("U.S. Forest Service"), {Variant(1), Variant(0)});
        }
        tb->Button("Delete").SetEnabled(false);
        name->SetFocus();

        std::cout << DescribeTree(*form);
        tab->UserSelectTab(1);
        std::cout << "\nafter choosing the Locators tab:\n" << DescribeTree(*form);
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "zelk-demo: " << e.what() << '\n';
        return 1;
    }
}
