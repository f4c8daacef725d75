#include "search/frmSQL.h"

#include "platform/ui/StdControls.h"

namespace zelk::search {

frmSQL::frmSQL() : Form("frmSQL") {
    SetCaption("View SQL");
    Move(0, 0, 8400, 5100);

    mnuEdit_ = Add<Menu>("mnuEdit");
    mnuEdit_->SetCaption("&Edit");
    mnuEditCopy_ = Add<Menu>("mnuEditCopy", mnuEdit_.get());
    mnuEditCopy_->SetCaption("&Copy");

    txtSQL_ = Add<controls::RichTextControl>("txtSQL");
    txtSQL_->SetMultiLine(true);
    txtSQL_->SetLocked(true);
    txtSQL_->Move(120, 120, 8040, 3960);

    cmdOK_ = Add<CommandButton>("cmdOK");
    cmdOK_->SetCaption("O&K");
    cmdOK_->SetDefault(true);
    cmdOK_->SetCancel(true);
    cmdOK_->Move(7080, 4200, 1080, 360);

    cmdOK_->On("Click", [this](Args&) { Hide(); });
    // The selection goes to the clipboard straight from the text field: a synthetic Ctrl+C
    // would copy whatever happens to have the focus, or nothing when no window is drawn.
    mnuEditCopy_->On("Click", [this](Args&) { txtSQL_->DoCopy(); });
}

} // namespace zelk::search
