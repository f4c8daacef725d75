#include "host/framework/UserOptions.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"

namespace zelk::host {

namespace {
const char* const kOptionClass = "ZELK_UserOptClient.UserOptClient";
const char* const kCategoryClass = "ZELK_UserOpCatClient.UserOpCatClient";

const bo::TableDef& OptionTable() {
    using bo::FieldKind;
    static const bo::TableDef t{
        "user_option",
        "user_option_id",
        "user_option_category_id",
        {{"UserOptionId", "user_option_id", FieldKind::Long, 0, "", ""},
         {"UserOptionCategoryId", "user_option_category_id", FieldKind::Long, 0, "", ""},
         {"UserId", "user_id", FieldKind::Long, 0, "", ""},
         {"OptionName", "option_name", FieldKind::Text, 255, "", ""},
         {"OptionValue", "option_value", FieldKind::Text, 0, "", ""},
         {"CategoryName", "category_name", FieldKind::Text, 0, "user_option_category",
          "user_option_category_id"}},
        false,
        false};
    return t;
}

const bo::TableDef& CategoryTable() {
    using bo::FieldKind;
    static const bo::TableDef t{
        "user_option_category",
        "user_option_category_id",
        "",
        {{"UserOptionCategoryId", "user_option_category_id", FieldKind::Long, 0, "", ""},
         {"CategoryName", "category_name", FieldKind::Text, 255, "", ""}},
        false,
        false};
    return t;
}

void Expect(const std::string& query, const std::vector<std::string>& params, std::size_t n,
            const char* what) {
    if (params.size() != n)
        Raise(err::InvalidProcedureCall, query + " takes " + std::to_string(n) + " parameter" +
                                             (n == 1 ? "" : "s") + " (" + what + "), not " +
                                             std::to_string(params.size()));
}

[[noreturn]] void UnknownQuery(const std::string& query, const char* cls) {
    Raise(err::InvalidProcedureCall, "Unknown query '" + query + "' for " + cls);
}

const char* const kCategoryById =
    "t.user_option_category_id = (SELECT c.user_option_category_id FROM user_option_category c "
    "WHERE c.category_name = ?)";
} // namespace

UserOption::UserOption(bo::StorePtr store)
    : Component(kOptionClass, OptionTable(), std::move(store)) {}

ComponentPtr UserOption::MakeSibling() const {
    return std::make_shared<UserOption>(store_);
}

std::vector<ComponentPtr> UserOption::Fetch(const std::string& query,
                                            const std::vector<std::string>& p) {
    if (IEquals(query, "Empty")) return {};
    if (IEquals(query, "CATEGORY_OPTION_NAME")) {
        Expect(query, p, 3, "category name, option name, user ID");
        return FetchWhere(
            std::string(kCategoryById) + " AND t.option_name = ? AND t.user_id = ?",
            {Variant(Unquote(p[0])), Variant(Unquote(p[1])), WholeNumber(p[2], "The user ID")});
    }
    if (IEquals(query, "CATEGORY_OPTIONS")) {
        Expect(query, p, 2, "category name, user ID");
        return FetchWhere(std::string(kCategoryById) + " AND t.user_id = ?",
                          {Variant(Unquote(p[0])), WholeNumber(p[1], "The user ID")},
                          "t.option_name, t.user_option_id");
    }
    // The options of one category, for the category's own list.
    if (IEquals(query, "CATEGORY_ID")) {
        Expect(query, p, 1, "category ID");
        return FetchWhere("t.user_option_category_id = ?", {WholeNumber(p[0], "The category ID")},
                          "t.user_id, t.option_name, t.user_option_id");
    }
    UnknownQuery(query, kOptionClass);
}

UserOptionCategory::UserOptionCategory(bo::StorePtr store, ComponentCollection::Factory create)
    : Component(kCategoryClass, CategoryTable(), std::move(store)), create_(std::move(create)),
      options_(std::make_shared<ComponentCollection>(create_, store_)) {
    options_->Initialize(kOptionClass, "", 0);
}

ComponentPtr UserOptionCategory::MakeSibling() const {
    auto c = std::make_shared<UserOptionCategory>(store_, create_);
    return c;
}

void UserOptionCategory::ArmOptions() {
    options_->LoadLater("CATEGORY_ID", {CStr(Id())});
}

void UserOptionCategory::Load(const Variant& id) {
    Component::Load(id);
    ArmOptions();
}

std::vector<ComponentPtr> UserOptionCategory::Fetch(const std::string& query,
                                                    const std::vector<std::string>& p) {
    std::vector<ComponentPtr> found;
    if (IEquals(query, "Empty")) return found;
    if (!IEquals(query, "USER_OPTION_CATEGORY_NAME")) UnknownQuery(query, kCategoryClass);
    Expect(query, p, 1, "category name");
    found = FetchWhere("t.category_name = ?", {Variant(Unquote(p[0]))});
    for (auto& c : found)
        std::static_pointer_cast<UserOptionCategory>(c)->ArmOptions();
    return found;
}

bool UserOptionCategory::HasProperty(std::string_view name) const {
    return IEquals(name, "UserOptions") || Component::HasProperty(name);
}

void UserOptionCategory::SetProperty(std::string_view name, const Variant& value) {
    if (IEquals(name, "UserOptions"))
        Raise(err::InvalidProcedureCall, "UserOptions is a list; add options to it instead");
    Component::SetProperty(name, value);
}

bool UserOptionCategory::HasChanges() const {
    return Component::HasChanges() || options_->HasChanges();
}

void UserOptionCategory::CheckLengths() const {
    Component::CheckLengths();
    options_->CheckLengths();
}

Variant UserOptionCategory::WriteTo(bo::Saver& s, const Variant& parentId) {
    Variant id = Component::HasChanges() ? Component::WriteTo(s, parentId) : Id();
    options_->WriteTo(s, id);
    return id;
}

Variant UserOptionCategory::Invoke(std::string_view name, CallKind kind, Args& args) {
    if (kind != CallKind::PropertyLet && IEquals(name, "UserOptions"))
        return Variant(std::static_pointer_cast<Object>(options_));
    return Component::Invoke(name, kind, args);
}

} // namespace zelk::host
