#pragma once

#include "host/framework/ComponentCollection.h"

namespace zelk::host {

// "ZELK_UserOptClient.UserOptClient": one stored option of one user.
// Properties: ID / UserOptionId, UserOptionCategoryId, UserId, OptionName (at most 255
// characters), OptionValue (any length, kept as written), CategoryName (read only).
// Named queries for the component collection, parameters as literal texts:
//   "CATEGORY_OPTION_NAME" (category name, option name, user ID): that one option;
//   "CATEGORY_OPTIONS" (category name, user ID): the user's options of the category, by name;
//   "Empty": none.
class UserOption : public Component {
public:
    explicit UserOption(bo::StorePtr store);
    std::vector<ComponentPtr> Fetch(const std::string& query,
                                    const std::vector<std::string>& params) override;

private:
    ComponentPtr MakeSibling() const override;
};

// "ZELK_UserOpCatClient.UserOpCatClient": an option category and its options.
// Properties: ID / UserOptionCategoryId, CategoryName (at most 255 characters), UserOptions
// (a component collection of the category's options; options added to it are stored under
// the category when the category is saved, alone or by its own collection).
// Named queries: "USER_OPTION_CATEGORY_NAME" (category name); "Empty".
class UserOptionCategory : public Component {
public:
    UserOptionCategory(bo::StorePtr store, ComponentCollection::Factory create);
    std::vector<ComponentPtr> Fetch(const std::string& query,
                                    const std::vector<std::string>& params) override;

    bool HasProperty(std::string_view name) const override;
    void SetProperty(std::string_view name, const Variant& value) override;
    bool HasChanges() const override;
    void Load(const Variant& id) override;
    void CheckLengths() const override;
    Variant WriteTo(bo::Saver& s, const Variant& parentId) override;
    Variant Invoke(std::string_view name, CallKind kind, Args& args) override;
    ComponentCollection& Options() { return *options_; }

private:
    ComponentPtr MakeSibling() const override;
    void ArmOptions();
    ComponentCollection::Factory create_;
    std::shared_ptr<ComponentCollection> options_;
};

} // namespace zelk::host
