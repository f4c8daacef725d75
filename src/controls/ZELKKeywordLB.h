#pragma once

#include "controls/CheckListControl.h"

#include <string>

namespace zelk::controls {

// The keyword list: the keyword lookup table with a check mark for each keyword in the
// record's keyword collection. Ticking adds a keyword item, unticking removes it.
//
// Late-bound members (besides those of CheckListControl):
//   Title
//   SetKeywordDomain(table, keyColumn, textColumn)      lists the keywords
//   SetUsedByLink(table, usedByColumn, keywordColumn)   keyword-to-module links (kept)
//   SetKeywordClass(progId, textProperty, usedByProperty)
//   SetUsedByClass(progId, property)
//   SetUsedByDomain(table, idColumn, textColumn)
//   SetKeywordCollection(collection, itemProgId, keyProperty)
//   StoreToCollection -> True                           ticks are written as they happen
class ZELKKeywordLB : public CheckListControl {
public:
    explicit ZELKKeywordLB(std::string name);

    void SetKeywordDomain(const std::string& table, const std::string& keyColumn,
                          const std::string& textColumn);
    void SetKeywordCollection(const ObjectPtr& collection, const std::string& itemProgId,
                              const std::string& keyProperty);

private:
    std::string title_, keywordTextProperty_;
    // Configuration of the keyword classes and links, for adding keywords of one's own.
    std::string usedByTable_, usedByColumn_, linkKeywordColumn_, keywordProgId_, usedByProperty_,
        usedByProgId_, usedByItemProperty_, usedByDomain_, usedByIdColumn_, usedByTextColumn_;
};

} // namespace zelk::controls
