// Search state: reset, the two XML documents, the user's defaults and named searches in the
// host's option store.
#include "search/ManagedAreaSearch.h"

#include "common/RS_Functions.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ProgIdRegistry.h"
#include "platform/Strings.h"
#include "platform/XmlDocument.h"
#include "platform/ui/UiDriver.h"
#include "search/frmUserSearchSaveOpen.h"

namespace zelk::search {

namespace {

constexpr const char* kControl = "ZELK_MANAGEDAREA.SEARCH";
constexpr const char* kNamedSearches = "$USER_FIND_MANAGED_AREA";
constexpr const char* kOptionClient = "ZELK_UserOptClient.UserOptClient";
constexpr const char* kCategoryClient = "ZELK_UserOpCatClient.UserOpCatClient";

struct Hourglass {
    Hourglass() { Screen::Instance().SetMousePointer(mouse::Hourglass); }
    ~Hourglass() { Screen::Instance().SetMousePointer(mouse::Default); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
};

// The second-level element of a document of ours, or a null node for anything else.
XmlNode OurElement(XmlDocument& doc, const std::string& text, const char* path) {
    try {
        doc.LoadXml(text);
    } catch (const ComError&) {
        return {};
    }
    XmlNode node = doc.SelectSingleNode(path);
    if (node.IsNull() || !IEquals(node.Attribute("control"), kControl)) return {};
    return node;
}

// A comparison code as stored: a whole number naming one of the five list entries.
int ComparisonCode(const XmlNode& element) {
    if (!element.HasAttribute("comparison"))
        Raise(err::InvalidProcedureCall, element.Name() + " has no comparison");
    auto n = ParseNumber(element.Attribute("comparison"));
    if (!n || *n < 0 || *n > 4 || *n != static_cast<int>(*n))
        Raise(err::InvalidProcedureCall,
              element.Name() + " has an unknown comparison: " + element.Attribute("comparison"));
    return static_cast<int>(*n);
}

Variant Texts(std::initializer_list<std::string> items) {
    auto c = std::make_shared<Collection>();
    for (const std::string& s : items)
        c->Add(Variant(s));
    return Variant(c);
}

} // namespace

std::vector<ManagedAreaSearch::Criterion> ManagedAreaSearch::Criteria() const {
    return {
        {txtManagedAreaName_.get(), cboMANameComparison_.get(), "MANAGED_AREA_NAME"},
        {txtManagedAreaType_.get(), cboMATypeComparison_.get(), "MANAGED_AREA_TYPE"},
        {txtManagedAreaID_.get(), nullptr, "MANAGED_AREA_ID"},
        {txtManagedAreaCodeBCD_.get(), nullptr, "MANAGED_AREA_CODE_BCD"},
        {txtMapsheetCode_.get(), cboMapsheetCodeComparison_.get(), "MANAGED_AREA_MAPSHEET"},
        {txtCountyName_.get(), cboCountyNameComparison_.get(), "MANAGED_AREA_COUNTY"},
        {txtLocalJurisdiction_.get(), cboLocalJurisComparison_.get(), "MANAGED_AREA_LOCAL_JURIS"},
        {txtSiteName_.get(), cboSiteNameComparison_.get(), "MANAGED_AREA_SITE"},
        {txtStateCode_.get(), nullptr, "STATECODE"},
        {txtStateName_.get(), cboStateComparison_.get(), "STATENAME"},
    };
}

void ManagedAreaSearch::NewSearch() {
    mstrSearchName.clear();
    ResetSearch();
}

void ManagedAreaSearch::ResetSearch() {
    for (const Criterion& c : Criteria()) {
        if (c.comparison) c.comparison->SetListIndex(Contains);
        c.text->SetText("");
    }
    optMAName_->SetValue(true);
    if (!mrsResults) {
        Variant proto = App("GetPrototypeRSForView", {Variant("MGA")});
        mrsResults = proto.IsObject() ? std::dynamic_pointer_cast<Recordset>(proto.Obj()) : nullptr;
    } else {
        EmptyRecordset(*mrsResults);
    }
    BindResults();
    tab_->SetActiveTab(0);
    lblRecordsReturnedCount_->SetCaption(
        std::to_string(mrsResults ? mrsResults->RecordCount() : 0));
}

std::string ManagedAreaSearch::BuildSearchPropertiesXml() {
    XmlDocument doc;
    doc.LoadXml("<ZELK><SEARCH_PROPERTIES control=\"ZELK_MANAGEDAREA.SEARCH\">"
                "</SEARCH_PROPERTIES></ZELK>");
    XmlNode props = doc.SelectSingleNode("ZELK/SEARCH_PROPERTIES");
    XmlNode item = doc.CreateElement("SAVE_SETTINGS_AS_DEFAULT");
    item.SetText(mnuOptionsSaveDefault_->Checked() ? "1" : "0");
    props.AppendChild(item);
    return doc.Xml();
}

void ManagedAreaSearch::ReadSearchPropertiesXml(const std::string& text) {
    ResetSearch();
    XmlDocument doc;
    XmlNode props = OurElement(doc, text, "ZELK/SEARCH_PROPERTIES");
    if (props.IsNull()) {
        Ui().MsgBox("Unable to read search properties xml: Invalid xml content", vb::OKOnly, "");
        return;
    }
    XmlNode item = props.SelectSingleNode("SAVE_SETTINGS_AS_DEFAULT");
    if (!item.IsNull()) mnuOptionsSaveDefault_->SetChecked(item.Text() != "0");
}

std::string ManagedAreaSearch::BuildSearchStateXml() {
    XmlDocument doc;
    doc.LoadXml("<ZELK><SEARCH_STATE control=\"ZELK_MANAGEDAREA.SEARCH\"></SEARCH_STATE></ZELK>");
    XmlNode state = doc.SelectSingleNode("ZELK/SEARCH_STATE");
    for (const Criterion& c : Criteria()) {
        if (!Filled(*c.text)) continue;
        XmlNode e = doc.CreateElement(c.element);
        if (c.comparison) e.SetAttribute("comparison", std::to_string(c.comparison->ListIndex()));
        if (c.text == txtManagedAreaName_.get())
            e.SetAttribute("name_or_alias", optMAAlias_->Value()  ? "1"
                                            : optMABoth_->Value() ? "2"
                                                                  : "0");
        e.SetText(c.text->Text());
        state.AppendChild(e);
    }
    return doc.Xml();
}

void ManagedAreaSearch::ReadSearchStateXml(const std::string& text) {
    ResetSearch();
    XmlDocument doc;
    XmlNode state = OurElement(doc, text, "ZELK/SEARCH_STATE");
    if (state.IsNull()) {
        Ui().MsgBox("Unable to read search state xml: Invalid xml content", vb::OKOnly, "");
        return;
    }
    // Each criterion is applied whole or not at all; what cannot be applied is reported once,
    // so the user knows the search differs from the one saved. Elements we do not know (from
    // another layout) carry no criterion of ours and are passed over.
    std::vector<Criterion> all = Criteria();
    std::swap(all[8], all[9]); // the state name is read before the state code
    std::vector<std::string> problems;
    for (const Criterion& c : all) {
        XmlNode e = state.SelectSingleNode(c.element);
        if (e.IsNull()) continue;
        try {
            const int code = c.comparison ? ComparisonCode(e) : 0;
            OptionButton* option = nullptr;
            if (c.text == txtManagedAreaName_.get()) {
                if (!e.HasAttribute("name_or_alias"))
                    Raise(err::InvalidProcedureCall, "MANAGED_AREA_NAME has no name_or_alias");
                const std::string which = Trim(e.Attribute("name_or_alias"));
                option = which == "0"   ? optMAName_.get()
                         : which == "1" ? optMAAlias_.get()
                         : which == "2" ? optMABoth_.get()
                                        : nullptr;
            }
            if (c.comparison) c.comparison->SetListIndex(code);
            c.text->SetText(e.Text());
            if (option) option->SetValue(true);
        } catch (const ComError& ex) {
            problems.push_back(ex.Description());
        }
    }
    if (!problems.empty())
        Ui().MsgBox("Unable to read search state xml: " + Join(problems, "; "), vb::OKOnly, "");
}

// ---- Option store ----

std::string ManagedAreaSearch::UserIdText() {
    return CStr(App("GetUserID"));
}

ObjectPtr ManagedAreaSearch::NewOptionCollection(const std::string& progId) {
    ObjectPtr c = CreateObject("ClientFramework.ComponentCollection");
    c->Call("Initialize", {Variant(progId), App("GetServerName"), App("GetServerType")});
    return c;
}

ObjectPtr ManagedAreaSearch::FindOption(const std::string& category,
                                        const std::string& optionName) {
    ObjectPtr opts = NewOptionCollection(kOptionClient);
    if (!CBool(opts->Call("Load", {Variant("CATEGORY_OPTION_NAME"),
                                   Texts({category, optionName, UserIdText()}), Variant(-1),
                                   Variant(-1), Variant(-1)})))
        Raise(err::ProviderError, "The option store could not be read");
    return opts;
}

void ManagedAreaSearch::StoreNewOption(const std::string& category, const std::string& optionName,
                                       const std::string& value) {
    ObjectPtr opt = CreateObject(kOptionClient);
    opt->Call("Init", {App("GetServerName"), App("GetServerType"), Variant(-1)});
    opt->Let("OptionName", Variant(optionName));
    opt->Let("OptionValue", Variant(value));
    opt->Let("UserId", App("GetUserID"));
    ObjectPtr cats = NewOptionCollection(kCategoryClient);
    if (!CBool(cats->Call("Load", {Variant("USER_OPTION_CATEGORY_NAME"), Variant(category),
                                   Variant(-1), Variant(-1), Variant(-1)})) ||
        CLng(cats->Get("Count")) < 1)
        Raise(err::ItemNotFound, "There is no option category " + category);
    ObjectPtr cat = RequireObject(cats->Call("Item", {Variant(1)}));
    RequireObject(cat->Get("UserOptions"))->Call("Add", {Variant(opt)});
    if (!CBool(cats->Call("SaveAll"))) Raise(err::ProviderError, "The option was not stored");
    cats->Call("Release");
}

void ManagedAreaSearch::LoadDefault(const std::string& category, bool criteria) {
    Hourglass wait;
    ObjectPtr opts;
    try {
        opts = FindOption(category, kControl);
        if (CLng(opts->Get("Count")) > 0) {
            std::string value =
                CStr(RequireObject(opts->Call("Item", {Variant(1)}))->Get("OptionValue"));
            if (criteria)
                ReadSearchStateXml(value);
            else
                ReadSearchPropertiesXml(value);
        }
    } catch (const ComError& e) {
        Ui().MsgBox("Unable to load default settings: " + e.Description(), vb::Exclamation, "");
    }
    if (opts) opts->Call("Release");
}

void ManagedAreaSearch::SaveDefault(const std::string& category, const std::string& document) {
    Hourglass wait;
    try {
        ObjectPtr opts = FindOption(category, kControl);
        if (CLng(opts->Get("Count")) > 0) {
            RequireObject(opts->Call("Item", {Variant(1)}))->Let("OptionValue", Variant(document));
            if (!CBool(opts->Call("SaveAll")))
                Raise(err::ProviderError, "The option was not stored");
        } else {
            StoreNewOption(category, kControl, document);
        }
        opts->Call("Release");
    } catch (const ComError& e) {
        Ui().MsgBox("Unable to save default settings: " + e.Description(), vb::Exclamation, "");
    }
}

std::string ManagedAreaSearch::AskSearchName(const std::string& category, int mode) {
    auto dlg = std::make_shared<frmUserSearchSaveOpen>();
    dlg->Init(category, mode, mobjAppManager);
    dlg->Show(true);
    std::string name = dlg->IsCanceled() ? std::string() : dlg->GetSearchName();
    dlg->Unload();
    return name;
}

void ManagedAreaSearch::OpenSearch() {
    const std::string name = AskSearchName(kNamedSearches, 2);
    if (name.empty()) return;
    mstrSearchName = name;
    Hourglass wait;
    try {
        ObjectPtr opts = FindOption(kNamedSearches, QuoteEscape(name));
        if (CLng(opts->Get("Count")) > 0)
            ReadSearchStateXml(
                CStr(RequireObject(opts->Call("Item", {Variant(1)}))->Get("OptionValue")));
        else
            Ui().MsgBox("Unable to load search criteria under the name: '" + name + "'", vb::OKOnly,
                        "");
        opts->Call("Release");
    } catch (const ComError& e) {
        Ui().MsgBox("Unable to load default settings: " + e.Description(), vb::Exclamation, "");
    }
}

void ManagedAreaSearch::SaveSearch(bool ask) {
    const std::string previous = mstrSearchName;
    if (ask || mstrSearchName.empty()) {
        std::string name = AskSearchName(kNamedSearches, 1);
        if (name.empty()) return;
        mstrSearchName = name;
    }
    Hourglass wait;
    try {
        ObjectPtr opts = FindOption(kNamedSearches, QuoteEscape(mstrSearchName));
        if (CLng(opts->Get("Count")) > 0) {
            if (ask) {
                auto args = std::make_shared<Collection>();
                args->Add(Variant(mstrSearchName));
                if (CLng(App("Message", {Variant("APP007"), Variant(args)})) == vb::No) {
                    // Declined: a later plain save must not overwrite that search either.
                    mstrSearchName = previous;
                    return;
                }
            }
            RequireObject(opts->Call("Item", {Variant(1)}))
                ->Let("OptionValue", Variant(BuildSearchStateXml()));
            if (!CBool(opts->Call("SaveAll")))
                Raise(err::ProviderError, "The search was not stored");
        } else {
            StoreNewOption(kNamedSearches, mstrSearchName, BuildSearchStateXml());
        }
        opts->Call("Release");
    } catch (const ComError& e) {
        Ui().MsgBox("Unable to save settings: " + e.Description(), vb::Exclamation, "");
    }
}

void ManagedAreaSearch::DeleteSearch() {
    const std::string name = AskSearchName(kNamedSearches, 3);
    if (name.empty()) return;
    Hourglass wait;
    try {
        ObjectPtr opts = FindOption(kNamedSearches, QuoteEscape(name));
        if (CLng(opts->Get("Count")) > 0) {
            opts->Call("Remove", {Variant(1)});
            if (!CBool(opts->Call("SaveAll")))
                Raise(err::ProviderError, "The search was not deleted");
        }
        if (mstrSearchName == name) mstrSearchName.clear();
        opts->Call("Release");
    } catch (const ComError& e) {
        Ui().MsgBox("An error occurred while deleting the saved search.\r\n\r\n" + e.Description(),
                    vb::Exclamation, "");
    }
}

} // namespace zelk::search
