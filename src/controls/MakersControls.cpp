#include "controls/MakersControls.h"

#include "controls/DomainSelectGrid.h"
#include "controls/RichTextControl.h"
#include "controls/ZELKKeywordLB.h"
#include "controls/ctlMapsheet.h"
#include "controls/ctrlBindGrid.h"
#include "controls/ctrlDateSelect.h"
#include "platform/ProgIdRegistry.h"

namespace zelk::controls {

namespace {
template <class T> void Kind(ProgIdRegistry& r, const char* progId) {
    // The form that adds the control gives it its name.
    r.Register(progId, [] { return std::make_shared<T>(std::string()); });
}
} // namespace

void RegisterMakersControls(ProgIdRegistry& registry) {
    Kind<ctrlBindGrid>(registry, "VardenBindGrid.ctrlBindGrid");
    Kind<DomainSelectGrid>(registry, "VardenDomainSelectGrid.DomainSelectGrid");
    Kind<ctlMapsheet>(registry, "ZELKMapsheetGrid.ctlMapsheet");
    Kind<RichTextControl>(registry, "RichTextControlProject.RichTextControl");
    Kind<ctrlDateSelect>(registry, "VardenDateControl.ctrlDateSelect");
    Kind<ZELKKeywordLB>(registry, "ZELK_KeywordListBox.ZELKKeywordLB");
}

} // namespace zelk::controls
