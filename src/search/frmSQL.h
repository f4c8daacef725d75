#pragma once

#include "controls/RichTextControl.h"
#include "platform/ui/Form.h"
#include "platform/ui/Menu.h"

#include <memory>
#include <string>

namespace zelk::search {

// "View SQL": shows a statement read-only, with Edit > Copy for the selected part.
// The caller puts the text into txtSQL, shows the form modally, and unloads it after "O&K"
// has hidden it.
class frmSQL : public Form {
public:
    frmSQL();

    controls::RichTextControl& txtSQL() { return *txtSQL_; }
    CommandButton& cmdOK() { return *cmdOK_; }
    Menu& mnuEditCopy() { return *mnuEditCopy_; }

private:
    std::shared_ptr<controls::RichTextControl> txtSQL_;
    std::shared_ptr<CommandButton> cmdOK_;
    std::shared_ptr<Menu> mnuEdit_, mnuEditCopy_;
};

} // namespace zelk::search
