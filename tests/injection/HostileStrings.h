#pragma once

#include <string>
#include <vector>

namespace zelk::testing {

// Texts a user or a pasted document could put into any box: quotes, comment markers,
// statement separators, UNION payloads, LIKE wildcards, NUL, overlong text and mixed scripts,
// alone, in pairs and inside ordinary words.
const std::vector<std::string>& HostileStrings();

// Whether the text holds a LIKE wildcard, which a "Contains" search passes on as one.
bool HasLikeWildcard(const std::string& text);

} // namespace zelk::testing
