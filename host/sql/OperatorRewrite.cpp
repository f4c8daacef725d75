// Operators whose meaning differs between Oracle and the target dialects: division of whole
// numbers, and the escape character of LIKE patterns.
#include "host/sql/OracleRewrite.h"

#include <algorithm>
#include <vector>

namespace zelk::host::sql {

namespace {

bool IsComparison(const Token& t) {
    return t.IsOp("=") || t.IsOp("<>") || t.IsOp("!=") || t.IsOp("<") || t.IsOp(">") ||
           t.IsOp("<=") || t.IsOp(">=");
}

// Index just past the pattern of the LIKE at `like`: the pattern is a value with its
// arithmetic and ||, so it ends at the first comparison, keyword, comma or closing
// parenthesis outside it.
std::size_t PatternEnd(const Tokens& t, std::size_t like) {
    int depth = 0, cases = 0;
    for (std::size_t j = like + 1; j < t.size(); ++j) {
        const Token& tok = t[j];
        if (tok.Is(TokenKind::LParen)) {
            ++depth;
        } else if (tok.Is(TokenKind::RParen)) {
            if (depth == 0) return j;
            --depth;
        } else if (depth == 0) {
            if (tok.IsWord("CASE")) {
                ++cases;
            } else if (cases > 0) {
                if (tok.IsWord("END")) --cases;
            } else if (tok.Is(TokenKind::Comma) || tok.Is(TokenKind::Semicolon) ||
                       IsComparison(tok) || IsClauseKeyword(tok)) {
                return j;
            }
        }
    }
    return t.size();
}

} // namespace

Tokens RewriteDivision(const Tokens& t) {
    Tokens out;
    out.reserve(t.size());
    for (const Token& tok : t) {
        if (tok.IsOp("/")) {
            // Oracle divides whole numbers exactly (7/2 is 3.5); SQLite and PostgreSQL would cut
            // the quotient. The product with 1.0 binds as the division does, left to right.
            out.push_back(MakeToken(TokenKind::Operator, "*", tok.spaceBefore));
            out.push_back(MakeToken(TokenKind::Number, "1.0", tok.spaceBefore));
            out.push_back(MakeToken(TokenKind::Operator, "/", tok.spaceBefore));
        } else {
            out.push_back(tok);
        }
    }
    return out;
}

Tokens AddLikeEscapes(const Tokens& t, Dialect dialect) {
    // A backslash in a pattern is an escape on PostgreSQL only; as in Oracle (and SQLite) it
    // must match itself, whatever the pattern is built from.
    if (dialect != Dialect::PostgreSQL) return t;
    Tokens out;
    out.reserve(t.size() + 4);
    std::vector<std::size_t> ends;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i].IsWord("LIKE")) {
            std::size_t end = PatternEnd(t, i);
            if (end >= t.size() || !t[end].IsWord("ESCAPE")) ends.push_back(end);
        }
    }
    std::size_t next = 0;
    std::sort(ends.begin(), ends.end());
    for (std::size_t i = 0; i <= t.size(); ++i) {
        for (; next < ends.size() && ends[next] == i; ++next)
            out.push_back(MakeToken(TokenKind::Raw, "ESCAPE ''"));
        if (i < t.size()) out.push_back(t[i]);
    }
    return out;
}

} // namespace zelk::host::sql
