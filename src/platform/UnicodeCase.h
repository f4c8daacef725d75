#pragma once

#include <string>
#include <string_view>

namespace zelk {

// Upper case of UTF-8 text by the full Unicode mapping of the root locale: every letter that
// has an upper-case form gets it, and a letter may become several ("ß" -> "SS"). The same rule
// folds the search text and, in the database, the stored values, so the two always meet.
// Bytes that are not UTF-8 pass through unchanged; ASCII text never reaches ICU.
std::string UpperUtf8(std::string_view s);

} // namespace zelk
