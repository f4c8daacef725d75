#include "platform/ui/ControlRegistry.h"

#include "platform/ProgIdRegistry.h"
#include "platform/ui/DataCombo.h"
#include "platform/ui/Form.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/Menu.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TabControl.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/VSFlexGrid.h"

namespace zelk {

namespace {
template <class T> void Kind(ProgIdRegistry& r, const char* progId) {
    // The form that adds the control gives it its name.
    r.Register(progId, [] { return std::make_shared<T>(std::string()); });
}
} // namespace

void RegisterControls(ProgIdRegistry& r) {
    Kind<Label>(r, "VB.Label");
    Kind<Frame>(r, "VB.Frame");
    Kind<PictureBox>(r, "VB.PictureBox");
    Kind<TextBox>(r, "VB.TextBox");
    Kind<CheckBox>(r, "VB.CheckBox");
    Kind<OptionButton>(r, "VB.OptionButton");
    Kind<CommandButton>(r, "VB.CommandButton");
    Kind<ListBox>(r, "VB.ListBox");
    Kind<ComboBox>(r, "VB.ComboBox");
    Kind<DataCombo>(r, "MSDataListLib.DataCombo");
    Kind<Toolbar>(r, "MSComctlLib.Toolbar");
    Kind<ImageList>(r, "MSComctlLib.ImageList");
    Kind<vaTabPro>(r, "TabproLib.vaTabPro");
    Kind<CommonDialog>(r, "MSComDlg.CommonDialog");
    RegisterGridControl(r);
}

} // namespace zelk
