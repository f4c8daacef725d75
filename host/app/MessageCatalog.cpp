#include "host/app/MessageCatalog.h"

#include "platform/Strings.h"
#include "platform/ui/UiDriver.h"

namespace zelk::host {

namespace {
constexpr int Ask = vb::YesNo | vb::Question;
constexpr int AskCancel = vb::YesNoCancel | vb::Question;
constexpr int Warn = vb::OKOnly | vb::Exclamation;
constexpr int Fail = vb::OKOnly | vb::Critical;
constexpr int Tell = vb::OKOnly | vb::Information;
} // namespace

const MessageCatalog& MessageCatalog::Default() {
    static const MessageCatalog catalog = [] {
        MessageCatalog c;
        c.entries_ = {
            {"APP001", {"Put the cursor in a field that has a change history first.", Tell}},
            {"APP003", {"There is no record at that position in the working list.", Warn}},
            {"APP004", {"This record has nothing of that kind to open.", Tell}},
            {"APP007", {"A saved search named \"%1\" already exists. Replace it?", Ask}},
            {"APP027",
             {"Copy the data of the chosen managed area into this record? Values already in "
              "this record may be replaced.",
              Ask}},
            {"APP028", {"The data were not copied.", Warn}},
            {"APP029",
             {"This record has unsaved changes. Press OK to save them and go on, or Cancel to "
              "stop.",
              vb::OKCancel | vb::Question}},
            {"APP036", {"The data could not be copied.\n\n%1", Fail}},
            {"APP039", {"This %1 cannot be deleted while it has a shape in the GIS.", Warn}},
            {"APP043", {"No search criteria are set. Search for all records?", Ask}},
            {"APP045",
             {"The shape could not be shown. Check that the GIS viewer is running.", Warn}},
            {"APP046", {"This record has no shape record and cannot be shown.", Warn}},
            {"EGP011", {"No %1 records could be opened for this managed area.", Tell}},
            {"MGA001", {"Save the changes to this managed area?", AskCancel}},
            {"MGA002", {"A managed area cannot be its own major managed area.", Warn}},
            {"MGA004",
             {"Delete this managed area and everything recorded for it? This cannot be undone.",
              Ask | vb::DefaultButton2}},
            {"MGA005", {"The managed area could not be deleted.\n\n%1", Fail}},
            {"MGA006", {"A new managed area could not be started.\n\n%1", Fail}},
            {"MGA007", {"The managed area could not be saved.\n\n%1", Fail}},
            {"MGA008", {"The managed area could not be saved: %1", Fail}},
            {"MGA009", {"This managed area has no shape drawn in the GIS.", Tell}},
            {"MGA010", {"The shape could not be shown in the GIS viewer.", Warn}},
            {"MGA011", {"Managed area %1 already has this equivalent site.", Warn}},
            {"MGA012", {"Managed area %1 already has this managed area code.", Warn}},
            {"MGA013", {"No %1 records could be opened for this managed area.", Tell}},
            {"MGA014", {"This element is already listed for the managed area.", Warn}},
            {"MGA015", {"The year must lie between 1900 and 2100.", Warn}},
            {"MGA017", {"The area in the state (hectares) must be a number.", Warn}},
            {"MGA018", {"The area in the state (acres) must be a number.", Warn}},
            {"MGA019", {"The total area (acres) must be a number.", Warn}},
            {"MGA020", {"The total area (hectares) must be a number.", Warn}},
            {"MGA023", {"Every element row needs an element. Choose one or remove the row.", Warn}},
            {"MGA024", {"The managed area ID must be a whole number.", Warn}},
            {"MGA025",
             {"The budget must be a plain number, without a currency sign or thousands "
              "separators.",
              Warn}},
            // The module's own codes start at 900.
            // Import: the reasons a row of a file is not imported.
            {"MGA910", {"%1", Warn}},
            {"MGA911", {"No %1 has the code or name \"%2\".", Warn}},
            {"MGA912", {"\"%1\" is not a %2.", Warn}},
            {"MGA913", {"The text is not UTF-8; save the file with the UTF-8 encoding.", Warn}},
            {"MGA914", {"The text is longer than the %1 characters the field holds.", Warn}},
            {"MGA915", {"Row %1 of the file already has this managed area code.", Warn}},
            {"MGA916", {"Row %1 of the file already has this equivalent site.", Warn}},
            {"MGA917", {"The file has no %1 column, which every managed area needs.", Warn}},
            {"MGA918", {"Every managed area needs a name.", Warn}},
            {"MGA919", {"The geometry was not taken: %1.", Warn}},
            {"MGA920", {"The file could not be read: %1.", Fail}},
            {"MGA921", {"No managed area has the major managed area code \"%1\".", Warn}},
            {"MGA922", {"The database refused the import: %1", Fail}},
            {"MGA900",
             {"Another user saved changes to this managed area after you opened it, so your "
              "changes were not saved. Merge the other user's changes with yours? (No keeps your "
              "changes on screen, unsaved.)",
              Ask}},
            {"MGA901",
             {"Another user changed or deleted this managed area after you opened it, so it was "
              "not deleted. Reload the record and delete it again if it should still go.",
              Warn}},
            {"MGA903",
             {"Another user deleted this managed area after you opened it, so there is nothing "
              "to merge your changes with. Keep your version as a new record (New record from "
              "this one)? No discards your changes.",
              Ask}},
            {"MGA902",
             {"You may only read this database, so the server refused the change. Nothing of it "
              "was saved; ask an administrator for the right to edit.",
              Warn}},
        };
        return c;
    }();
    return catalog;
}

bool MessageCatalog::Has(const std::string& code) const {
    for (const auto& [c, t] : entries_)
        if (IEquals(c, code)) return true;
    return false;
}

MessageText MessageCatalog::Lookup(const std::string& code) const {
    for (const auto& [c, t] : entries_)
        if (IEquals(c, code)) return t;
    return {"Message " + code + " has no text.", Warn};
}

std::string MessageCatalog::Format(const std::string& code,
                                   const std::vector<std::string>& args) const {
    std::string text = Lookup(code).text;
    std::vector<bool> used(args.size(), false);
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            std::size_t n = static_cast<std::size_t>(text[i + 1] - '1');
            if (n < args.size()) {
                out += args[n];
                used[n] = true;
            }
            ++i;
            continue;
        }
        out += text[i];
    }
    for (std::size_t n = 0; n < args.size(); ++n)
        if (!used[n] && !args[n].empty()) out += (out.empty() ? "" : " ") + args[n];
    return out;
}

std::vector<std::string> MessageCatalog::Codes() const {
    std::vector<std::string> out;
    for (const auto& [c, t] : entries_)
        out.push_back(c);
    return out;
}

} // namespace zelk::host
