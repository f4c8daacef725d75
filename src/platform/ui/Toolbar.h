#pragma once

#include "platform/ui/Control.h"

#include <memory>
#include <string>
#include <vector>

namespace zelk {

// Pictures by key, for toolbars and wait panels. Pictures are named, not drawn: the view
// layer maps a key to an icon.
class ImageList : public Control {
public:
    explicit ImageList(std::string name);
    void Add(std::string key, std::string picture = "");
    bool Exists(const std::string& key) const;
    // Error 35601 ("Element not found") for an unknown key.
    const std::string& Picture(const std::string& key) const;
    int Count() const { return static_cast<int>(images_.size()); }
    const std::string& KeyAt(int index) const {
        return images_.at(static_cast<std::size_t>(index)).first;
    }

private:
    std::vector<std::pair<std::string, std::string>> images_;
};

class Toolbar;

// One toolbar button. Style 0 is a push button, 5 a drop-down button.
class ToolbarButton : public Dispatch {
public:
    ToolbarButton(Toolbar& owner, std::string key, int index);
    const std::string& Key() const { return key_; }
    int Index() const { return index_; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    int Value() const { return value_; } // 0 unpressed, 1 pressed
    void SetValue(int v);
    const std::string& ToolTipText() const { return toolTip_; }
    void SetToolTipText(std::string t);
    const std::string& Image() const { return image_; }
    void SetImage(std::string image);
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string c);
    int Style() const { return style_; }
    void SetStyle(int s) { style_ = s; }

private:
    void Changed();
    Toolbar& owner_;
    std::string key_;
    int index_;
    bool enabled_ = true, visible_ = true;
    int value_ = 0, style_ = 0;
    std::string toolTip_, image_, caption_;
};

// Events: ButtonClick(Button), ButtonDropDown(Button), both with the button object.
class Toolbar : public Control {
public:
    explicit Toolbar(std::string name);
    // Keys are unique (case-insensitive); error 35602 when taken.
    ToolbarButton& AddButton(std::string key, std::string toolTip = "", std::string image = "");
    // By key; error 35601 when there is none.
    ToolbarButton& Button(std::string_view key);
    ToolbarButton* FindButton(std::string_view key);
    int ButtonCount() const { return static_cast<int>(buttons_.size()); }
    ToolbarButton& ButtonAt(int index) { return *buttons_.at(static_cast<std::size_t>(index)); }
    std::string ImageList() const { return imageList_; }
    void SetImageList(std::string name) { imageList_ = std::move(name); }

    // The user presses a button: nothing happens when it or the toolbar is disabled.
    bool UserClickButton(std::string_view key);
    bool UserDropDown(std::string_view key);

private:
    friend class ToolbarButton;
    std::vector<std::shared_ptr<ToolbarButton>> buttons_;
    std::string imageList_;
    ObjectPtr buttonsObject_;
};

} // namespace zelk
