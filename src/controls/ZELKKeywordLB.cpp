#include "controls/ZELKKeywordLB.h"

#include "platform/Conv.h"

namespace zelk::controls {

ZELKKeywordLB::ZELKKeywordLB(std::string name)
    : CheckListControl(std::move(name), "ZELKKeywordLB") {
    DefineCommonListMembers();
    DefineProperty(
        "Title", [this](Args&) { return Variant(title_); },
        [this](const Variant& v, Args&) {
            title_ = CStr(v);
            NotifyChanged("Title");
        });
    DefineMethod("SetKeywordDomain", [this](Args& a) {
        SetKeywordDomain(CStr(Arg(a, 0)), CStr(Arg(a, 1)), CStr(Arg(a, 2)));
        return Variant();
    });
    DefineMethod("SetUsedByLink", [this](Args& a) {
        usedByTable_ = CStr(Arg(a, 0));
        usedByColumn_ = CStr(Arg(a, 1));
        linkKeywordColumn_ = CStr(Arg(a, 2));
        return Variant();
    });
    DefineMethod("SetKeywordClass", [this](Args& a) {
        keywordProgId_ = CStr(Arg(a, 0));
        keywordTextProperty_ = CStr(Arg(a, 1));
        usedByProperty_ = CStr(Arg(a, 2));
        return Variant();
    });
    DefineMethod("SetUsedByClass", [this](Args& a) {
        usedByProgId_ = CStr(Arg(a, 0));
        usedByItemProperty_ = CStr(Arg(a, 1));
        return Variant();
    });
    DefineMethod("SetUsedByDomain", [this](Args& a) {
        usedByDomain_ = CStr(Arg(a, 0));
        usedByIdColumn_ = CStr(Arg(a, 1));
        usedByTextColumn_ = CStr(Arg(a, 2));
        return Variant();
    });
    DefineMethod("SetKeywordCollection", [this](Args& a) {
        SetKeywordCollection(RequireObject(Arg(a, 0)), CStr(Arg(a, 1)), CStr(Arg(a, 2)));
        return Variant();
    });
    DefineMethod("StoreToCollection", [](Args&) { return Variant(true); });
}

void ZELKKeywordLB::SetKeywordDomain(const std::string& table, const std::string& keyColumn,
                                     const std::string& textColumn) {
    LoadDomain(table, keyColumn, textColumn);
}

void ZELKKeywordLB::SetKeywordCollection(const ObjectPtr& collection, const std::string& itemProgId,
                                         const std::string& keyProperty) {
    BindItems(collection, keyProperty,
              keywordTextProperty_.empty() ? "KeywordDesc" : keywordTextProperty_, itemProgId);
}

} // namespace zelk::controls
