#include "host/sql/OracleTranslator.h"

#include "host/sql/OracleRewrite.h"

namespace zelk::host::sql {

std::string OracleTranslator::Translate(const std::string& oracleSql, Dialect dialect) {
    std::string key;
    key.reserve(oracleSql.size() + 1);
    key += static_cast<char>('0' + static_cast<int>(dialect));
    key += oracleSql;
    if (auto it = cache_.find(key); it != cache_.end()) return it->second;

    Tokens t = CheckStatement(Tokenize(oracleSql));
    t = RewriteWords(t, dialect);
    t = RewriteConcatenation(t);
    t = RewriteOuterJoins(t, dialect);
    t = RewriteDivision(t);
    t = AddLikeEscapes(t, dialect);
    std::string out = Render(t, dialect);

    if (cache_.size() >= kCacheLimit) cache_.clear();
    cache_.emplace(std::move(key), out);
    return out;
}

} // namespace zelk::host::sql
