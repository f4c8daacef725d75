#pragma once

#include "platform/Dispatch.h"
#include "platform/ProgIdRegistry.h"

#include <functional>
#include <memory>
#include <string>

namespace zelk::host {

class DataService;

// "ZELK_Spelling.SpellChecker": the spelling service the rich text fields ask, late-bound.
// Members:
//   Available              Boolean: a dictionary could be loaded
//   Check(word)            Boolean: the word is spelt right (dictionary, the database's own
//                          names, or the user's words)
//   Suggest(word)          the dictionary's suggestions, one per line
//   AddWord(word)          keeps the word in the user's own word list on the database
// The dictionary is read from $ZELK_HUNSPELL_DICT (a path without .aff/.dic), or else
// /usr/share/hunspell/en_US.
void RegisterSpellChecker(ProgIdRegistry& registry, std::shared_ptr<DataService> db,
                          std::function<long()> userId);

} // namespace zelk::host
