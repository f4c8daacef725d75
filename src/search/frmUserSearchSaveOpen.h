#pragma once

#include "platform/ui/Form.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/StdControls.h"

#include <memory>
#include <string>

namespace zelk::search {

// System colours as the window system names them.
namespace syscolor {
constexpr long WindowBackground = static_cast<long>(0x80000005);
constexpr long ButtonFace = static_cast<long>(0x8000000F);
} // namespace syscolor

// The name box of the dialog: a text box with a background colour.
class SearchNameBox : public TextBox {
public:
    explicit SearchNameBox(std::string name);
    long BackColor() const { return backColor_; }
    void SetBackColor(long c);

private:
    long backColor_ = syscolor::WindowBackground;
};

// Picks the name of a saved search: mode 1 saves (a new name may be typed), 2 opens and 3
// deletes (an existing name must be chosen from the list).
class frmUserSearchSaveOpen : public Form {
public:
    frmUserSearchSaveOpen();

    bool Init(const std::string& categoryName, int mode, const ObjectPtr& appManager);
    bool IsCanceled() const { return cancelled_; }
    std::string GetSearchName() const { return txtSearchName_->Text(); }

private:
    void OnLoad();
    void FillList();
    void ListClick();

    std::string category_;
    int mode_ = 1;
    long userId_ = 0;
    std::string serverName_;
    int serverType_ = 0;
    bool cancelled_ = false;

    std::shared_ptr<ListBox> lstUserSearches_;
    std::shared_ptr<SearchNameBox> txtSearchName_;
    std::shared_ptr<CommandButton> cmdSave_, cmdCancel_;
};

} // namespace zelk::search
