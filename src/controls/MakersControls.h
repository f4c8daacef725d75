#pragma once

namespace zelk {
class ProgIdRegistry;
}

namespace zelk::controls {

// Registers the maker's controls under their programmatic identifiers:
// "VardenBindGrid.ctrlBindGrid", "VardenDomainSelectGrid.DomainSelectGrid",
// "ZELKMapsheetGrid.ctlMapsheet", "RichTextControlProject.RichTextControl",
// "VardenDateControl.ctrlDateSelect", "ZELK_KeywordListBox.ZELKKeywordLB".
void RegisterMakersControls(ProgIdRegistry& registry);

} // namespace zelk::controls
