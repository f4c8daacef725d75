#include "platform/ui/Toolbar.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"

namespace zelk {

namespace {
constexpr int ElementNotFound = 35601;
constexpr int KeyNotUnique = 35602;
} // namespace

ImageList::ImageList(std::string name) : Control("ImageList", std::move(name)) {
    SetTabStop(false);
    SetVisible(false); // never shown by itself
    DefineMethod("ListImages", [this](Args& a) { return Variant(Picture(CStr(Arg(a, 0)))); });
}

void ImageList::Add(std::string key, std::string picture) {
    if (Exists(key)) Raise(KeyNotUnique, "Key is not unique in collection: " + key);
    if (picture.empty()) picture = key;
    images_.emplace_back(std::move(key), std::move(picture));
}

bool ImageList::Exists(const std::string& key) const {
    for (const auto& [k, p] : images_)
        if (IEquals(k, key)) return true;
    return false;
}

const std::string& ImageList::Picture(const std::string& key) const {
    for (const auto& [k, p] : images_)
        if (IEquals(k, key)) return p;
    Raise(ElementNotFound, "Element not found: " + key);
}

ToolbarButton::ToolbarButton(Toolbar& owner, std::string key, int index)
    : Dispatch("Button"), owner_(owner), key_(std::move(key)), index_(index) {
    DefineProperty("Key", [this](Args&) { return Variant(key_); });
    DefineProperty("Index", [this](Args&) { return Variant(index_); });
    DefineProperty(
        "Enabled", [this](Args&) { return Variant(enabled_); },
        [this](const Variant& v, Args&) { SetEnabled(CBool(v)); });
    DefineProperty(
        "Visible", [this](Args&) { return Variant(visible_); },
        [this](const Variant& v, Args&) { SetVisible(CBool(v)); });
    DefineProperty(
        "Value", [this](Args&) { return Variant(value_); },
        [this](const Variant& v, Args&) { SetValue(CLng(v)); });
    DefineProperty(
        "ToolTipText", [this](Args&) { return Variant(toolTip_); },
        [this](const Variant& v, Args&) { SetToolTipText(CStr(v)); });
    DefineProperty(
        "Image", [this](Args&) { return Variant(image_); },
        [this](const Variant& v, Args&) { SetImage(CStr(v)); });
    DefineProperty(
        "Caption", [this](Args&) { return Variant(caption_); },
        [this](const Variant& v, Args&) { SetCaption(CStr(v)); });
}

void ToolbarButton::Changed() {
    owner_.NotifyChanged("Buttons");
}

void ToolbarButton::SetEnabled(bool v) {
    if (enabled_ != v) {
        enabled_ = v;
        Changed();
    }
}
void ToolbarButton::SetVisible(bool v) {
    if (visible_ != v) {
        visible_ = v;
        Changed();
    }
}
void ToolbarButton::SetValue(int v) {
    if (value_ != v) {
        value_ = v;
        Changed();
    }
}
void ToolbarButton::SetToolTipText(std::string t) {
    if (toolTip_ != t) {
        toolTip_ = std::move(t);
        Changed();
    }
}
void ToolbarButton::SetImage(std::string image) {
    if (image_ != image) {
        image_ = std::move(image);
        Changed();
    }
}
void ToolbarButton::SetCaption(std::string c) {
    if (caption_ != c) {
        caption_ = std::move(c);
        Changed();
    }
}

namespace {
// Late-bound Buttons collection: Count, Item(index 1-based or key), Add(index, key, caption,
// style, image).
class ButtonsObject : public Dispatch {
public:
    explicit ButtonsObject(Toolbar& tb) : Dispatch("Buttons"), tb_(tb) {
        DefineProperty("Count", [this](Args&) { return Variant(tb_.ButtonCount()); });
        DefineMethod("Item", [this](Args& a) {
            const Variant& k = Arg(a, 0);
            if (k.IsString()) return Variant(tb_.Button(k.Str()).shared_from_this());
            int i = CLng(k);
            if (i < 1 || i > tb_.ButtonCount()) Raise(ElementNotFound, "Element not found");
            return Variant(tb_.ButtonAt(i - 1).shared_from_this());
        });
        DefineMethod("Add", [this](Args& a) {
            auto& b =
                tb_.AddButton(CStr(Arg(a, 1)), "", Arg(a, 4).IsEmpty() ? "" : CStr(Arg(a, 4)));
            if (!Arg(a, 2).IsEmpty()) b.SetCaption(CStr(Arg(a, 2)));
            if (!Arg(a, 3).IsEmpty()) b.SetStyle(CLng(Arg(a, 3)));
            return Variant(b.shared_from_this());
        });
    }

private:
    Toolbar& tb_;
};
} // namespace

Toolbar::Toolbar(std::string name) : Control("Toolbar", std::move(name)) {
    SetTabStop(false);
    DefineProperty("Buttons", [this](Args& a) {
        if (!buttonsObject_) buttonsObject_ = std::make_shared<ButtonsObject>(*this);
        if (a.empty()) return Variant(buttonsObject_);
        Args item{a[0]};
        return buttonsObject_->Invoke("Item", CallKind::Method, item);
    });
}

ToolbarButton& Toolbar::AddButton(std::string key, std::string toolTip, std::string image) {
    if (!key.empty() && FindButton(key))
        Raise(KeyNotUnique, "Key is not unique in collection: " + key);
    auto b = std::make_shared<ToolbarButton>(*this, std::move(key), ButtonCount() + 1);
    b->SetToolTipText(std::move(toolTip));
    b->SetImage(std::move(image));
    buttons_.push_back(b);
    NotifyChanged("Buttons");
    return *b;
}

ToolbarButton* Toolbar::FindButton(std::string_view key) {
    for (auto& b : buttons_)
        if (IEquals(b->Key(), key)) return b.get();
    return nullptr;
}

ToolbarButton& Toolbar::Button(std::string_view key) {
    if (auto* b = FindButton(key)) return *b;
    Raise(ElementNotFound, "Element not found: " + std::string(key));
}

bool Toolbar::UserClickButton(std::string_view key) {
    ToolbarButton& b = Button(key);
    if (!IsUsable() || !b.Enabled() || !b.Visible()) return false;
    Args a{Variant(b.shared_from_this())};
    RaiseEvent("ButtonClick", a);
    return true;
}

bool Toolbar::UserDropDown(std::string_view key) {
    ToolbarButton& b = Button(key);
    if (!IsUsable() || !b.Enabled() || !b.Visible()) return false;
    Args a{Variant(b.shared_from_this())};
    RaiseEvent("ButtonDropDown", a);
    return true;
}

} // namespace zelk
