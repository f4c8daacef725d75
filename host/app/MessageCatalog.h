#pragma once

#include <string>
#include <vector>

namespace zelk::host {

// The texts behind the module's message codes. "%1", "%2" ... stand for the arguments.
struct MessageText {
    std::string text;
    int flags = 0; // buttons and icon, as for a message box
};

class MessageCatalog {
public:
    // The built-in texts of every code the module uses.
    static const MessageCatalog& Default();

    // An unknown code still shows something useful: the code and its arguments.
    MessageText Lookup(const std::string& code) const;
    bool Has(const std::string& code) const;
    // The text with its arguments in place; arguments beyond the placeholders are appended.
    std::string Format(const std::string& code, const std::vector<std::string>& args) const;
    std::vector<std::string> Codes() const;

private:
    std::vector<std::pair<std::string, MessageText>> entries_;
};

// The title of every message box the host shows.
inline constexpr const char* kAppTitle = "Wayfold";

} // namespace zelk::host
