#include "host/help/HelpTopics.h"

#include "host/app/MessageCatalog.h"
#include "host/embedded/HelpPages.h"
#include "platform/ReportDocument.h"
#include "platform/Strings.h"
#include "platform/ui/Form.h"
#include "platform/ui/TabControl.h"

namespace zelk::host::help {

namespace {

struct Topic {
    long id;
    const char* page;
};

// The numbers are the help contexts; pages keep theirs when others are added.
constexpr Topic kTopics[] = {
    {1, "index.html"},
    {2, "working-list.html"},
    {3, "search.html"},
    {4, "saved-searches.html"},
    {5, "view-sql.html"},
    {10, "editor.html"},
    {11, "editor-identifiers.html"},
    {12, "editor-locators.html"},
    {13, "editor-descriptors.html"},
    {14, "editor-legal-protection.html"},
    {15, "editor-manager.html"},
    {16, "editor-management.html"},
    {17, "editor-elements.html"},
    {18, "editor-additional-topics.html"},
    {19, "editor-references.html"},
    {20, "editor-version-qc.html"},
    {21, "editor-other-spatial.html"},
    {30, "coordinates.html"},
    {31, "areas.html"},
    {40, "goto.html"},
    {41, "audit-log.html"},
    {42, "spelling.html"},
    {43, "users.html"},
    {44, "map.html"},
    {45, "merge.html"},
    {46, "exchange.html"},
    {50, "messages.html"},
};
constexpr long kEditorFirstPage = 11;
constexpr long kEditorPages = 11;

// What to do about each coded message; the texts themselves come from the catalogue.
constexpr std::pair<const char*, const char*> kAdvice[] = {
    {"APP001", "Click into a field of the record, then open its history again."},
    {"APP003", "Type a position between 1 and the number of records in the list."},
    {"APP004", "Nothing to do: the record has no linked records of that kind yet."},
    {"APP007", "Answer Yes to replace the saved search, or No and choose another name."},
    {"APP027", "Answer Yes to copy, or No to keep this record as it is."},
    {"APP028", "Nothing was changed; choose another record to copy from if you wish."},
    {"APP029", "OK saves your changes first; Cancel keeps you on the record."},
    {"APP036", "Read the reason given, mend it and copy again."},
    {"APP039", "Remove the shape in the GIS first, then delete the record."},
    {"APP043", "Answer Yes to list every record, or No and fill in some criteria."},
    {"APP045", "Check that the map is available, then try View Shape again."},
    {"APP046", "The list points at a record without a shape: move on, or ask an administrator "
               "to repair it."},
    {"EGP011", "Nothing to do: no such records are linked to this managed area."},
    {"MGA001", "Yes saves, No discards your changes, Cancel keeps the record open."},
    {"MGA002", "Pick another managed area as the major area, or clear the field."},
    {"MGA004", "Yes deletes the record for good; No keeps it."},
    {"MGA005", "Read the reason given; the record is unchanged. Mend the cause and delete "
               "again."},
    {"MGA006", "Read the reason given and try again; nothing was created."},
    {"MGA007", "Read the reason given; nothing was saved and your changes are still shown."},
    {"MGA008", "Mend the field named in the message, then save again."},
    {"MGA009", "Nothing to show: the area has no shape yet."},
    {"MGA010", "Check that the map is available, then try again."},
    {"MGA011", "Open the managed area named and decide which record keeps the site."},
    {"MGA012", "Give this record another code, or correct the other record first."},
    {"MGA013", "Nothing to do: no such records are linked to this managed area."},
    {"MGA014", "Pick another element, or edit the row already there."},
    {"MGA015", "Type a year from 1900 to 2100."},
    {"MGA017", "Type a plain number of hectares, such as 1250.5."},
    {"MGA018", "Type a plain number of acres, such as 3090."},
    {"MGA019", "Type a plain number of acres, such as 3090."},
    {"MGA020", "Type a plain number of hectares, such as 1250.5."},
    {"MGA023", "Choose an element for the row with the ... button, or remove the row."},
    {"MGA024", "Type a whole number."},
    {"MGA025", "Type the budget as digits with an optional decimal point, such as 15000.50."},
    {"MGA910", "Correct the coordinate in the file as you would type it in the editor, such as "
               "443015N or 0931000W, and import the row again."},
    {"MGA911", "Use a code or name the database lists (see the lists in the editor), or leave "
               "the column empty."},
    {"MGA912", "Correct the value in the file to the kind named, and import the row again."},
    {"MGA913", "Save the file again with the UTF-8 encoding (in a spreadsheet: CSV UTF-8)."},
    {"MGA914", "Shorten the text in the file to the length given."},
    {"MGA915", "Give one of the two rows another managed area code."},
    {"MGA916", "Keep the equivalent site on one row of the file only."},
    {"MGA917", "Add the column to the file, or name it in the mapping file."},
    {"MGA918", "Fill in the managed area's name on the row."},
    {"MGA919", "Give the row a polygon in WGS 84 or another system the file names; the rest of "
               "the row can be imported without a shape by leaving the geometry empty."},
    {"MGA920", "Check that the file is whole and in one of the formats listed, then import "
               "again."},
    {"MGA921", "Import the major managed area first, or put it in the same file."},
    {"MGA922", "Read the reason given; nothing of the row was written. Mend the cause and "
               "import the rejected rows again."},
    {"MGA900", "Choose Yes to merge: changes that do not collide are combined, and you choose "
               "between yours and theirs where they do. Then save."},
    {"MGA901", "Reload the record; delete it again if it should still go."},
    {"MGA903", "Choose Yes to save your version as a new managed area, or No to drop it."},
    {"MGA902", "Ask an administrator to give you the right to edit (Workbench > Users...), then "
               "make the change again."},
};

std::string MessageTable() {
    const auto& catalog = MessageCatalog::Default();
    std::string html = "<table border=\"1\" cellpadding=\"4\" cellspacing=\"0\">\n"
                       "<tr><th>Code</th><th>Message</th><th>What to do</th></tr>\n";
    for (const auto& code : catalog.Codes()) {
        const char* advice = "";
        for (const auto& [c, a] : kAdvice)
            if (code == c) advice = a;
        html += "<tr><td><a name=\"" + code + "\"></a>" + code + "</td><td>" +
                HtmlEscaped(catalog.Lookup(code).text) + "</td><td>" + HtmlEscaped(advice) +
                "</td></tr>\n";
    }
    return html + "</table>";
}

} // namespace

std::vector<std::string> PageNames() {
    std::vector<std::string> names;
    for (const auto& [name, text] : embedded::HelpPages())
        names.push_back(name);
    return names;
}

std::string PageText(std::string_view name) {
    for (const auto& [page, text] : embedded::HelpPages())
        if (page == name) {
            if (page != "messages.html") return text;
            return Replace(text, "<!--MESSAGES-->", MessageTable());
        }
    return "";
}

std::string PageTitle(std::string_view name) {
    const std::string text = PageText(name);
    const auto start = text.find("<title>"), end = text.find("</title>");
    if (start == std::string::npos || end == std::string::npos || end < start) return "";
    return text.substr(start + 7, end - start - 7);
}

long TopicOfPage(std::string_view name) {
    for (const auto& t : kTopics)
        if (name == t.page) return t.id;
    return 0;
}

std::string PageOfTopic(long topic) {
    for (const auto& t : kTopics)
        if (t.id == topic) return t.page;
    return "index.html";
}

long TopicFor(const Control* control) {
    // From the control up through its containers and the forms holding them: the first that
    // has a page of its own answers.
    for (const Control* c = control; c;) {
        const std::string& name = c->Name();
        for (const char* coordinate :
             {"txtLatitude", "txtLongitude", "txtNorth", "txtSouth", "txtEast", "txtWest"})
            if (IEquals(name, coordinate)) return TopicOfPage("coordinates.html");
        for (const char* area :
             {"txtTotalAcres", "txtTotalHectares", "txtStateAcres", "txtStateHectares"})
            if (IEquals(name, area)) return TopicOfPage("areas.html");
        const std::string& type = c->TypeName();
        const auto* form = dynamic_cast<const Form*>(c);
        if (type == "ManagedAreaDetails") {
            auto* tabs = form ? form->FindAs<vaTabPro>("tabManagedAreas") : nullptr;
            const long page = tabs ? tabs->ActiveTab() : -1;
            return page >= 0 && page < kEditorPages ? kEditorFirstPage + page
                                                    : TopicOfPage("editor.html");
        }
        if (type == "ManagedAreaSearch") return TopicOfPage("search.html");
        if (form) {
            static const std::pair<const char*, const char*> forms[] = {
                {"frmGotoRecord", "goto.html"},
                {"frmAuditLog", "audit-log.html"},
                {"frmSpellCheck", "spelling.html"},
                {"frmSQL", "view-sql.html"},
                {"frmUserSearchSaveOpen", "saved-searches.html"},
                {"frmTextEditor", "editor.html"},
                {"frmMerge", "merge.html"},
            };
            for (const auto& [f, page] : forms)
                if (IEquals(form->Name(), f)) return TopicOfPage(page);
        }
        if (c->Container()) {
            c = c->Container();
        } else {
            const Form* owner = c->Owner();
            c = owner && owner != c ? owner : nullptr;
        }
    }
    return 0;
}

} // namespace zelk::host::help
