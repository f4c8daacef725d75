#include "host/sql/OracleRewrite.h"

#include "platform/Strings.h"

#include <array>
#include <string_view>
#include <vector>

namespace zelk::host::sql {

namespace {

bool OneOf(const Token& t, std::initializer_list<std::string_view> words) {
    for (std::string_view w : words)
        if (t.IsWord(w)) return true;
    return false;
}

// Functions that mean the same in Oracle and in every target dialect, plus NVL.
bool IsSupportedFunction(const Token& t) {
    return OneOf(t, {"UPPER", "LOWER", "COUNT", "MIN", "MAX", "SUM", "AVG", "COALESCE", "NVL",
                     "ABS", "LENGTH"});
}

// Words that exist only in Oracle, or mean something else elsewhere.
void RefuseOracleOnly(const Tokens& t, std::size_t i) {
    const Token& w = t[i];
    const Token* next = i + 1 < t.size() ? &t[i + 1] : nullptr;
    if (OneOf(w, {"ROWNUM", "ROWID", "SYSTIMESTAMP", "MINUS", "DUAL", "PRIOR", "MERGE"}))
        Refuse(UCase(w.text));
    if (w.IsWord("CONNECT") && next && next->IsWord("BY")) Refuse("CONNECT BY");
    if (w.IsWord("START") && next && next->IsWord("WITH")) Refuse("START WITH");
}

int ArgumentCount(const Tokens& t, std::size_t open) {
    std::size_t close = MatchingParen(t, open);
    if (close == open + 1) return 0;
    int n = 1, depth = 0;
    for (std::size_t i = open + 1; i < close; ++i) {
        if (t[i].Is(TokenKind::LParen)) ++depth;
        if (t[i].Is(TokenKind::RParen)) --depth;
        if (depth == 0 && t[i].Is(TokenKind::Comma)) ++n;
    }
    return n;
}

bool IsArithmetic(const Token& t) {
    return t.IsOp("+") || t.IsOp("-") || t.IsOp("*") || t.IsOp("/");
}

// End of the value that starts at i (a literal, a name, a call, a parenthesised expression or
// a CASE expression), or npos when no value starts there.
std::size_t ValueEnd(const Tokens& t, std::size_t i, std::size_t end) {
    if (i >= end) return std::string_view::npos;
    const Token& tok = t[i];
    if (tok.Is(TokenKind::String) || tok.Is(TokenKind::Number) || tok.Is(TokenKind::Raw))
        return i + 1;
    if (tok.Is(TokenKind::LParen)) return MatchingParen(t, i) + 1;
    if (!tok.Is(TokenKind::Word) || IsClauseKeyword(tok)) return std::string_view::npos;
    if (tok.IsWord("CASE")) {
        int depth = 0, cases = 0;
        for (std::size_t j = i; j < end; ++j) {
            if (t[j].Is(TokenKind::LParen)) ++depth;
            if (t[j].Is(TokenKind::RParen)) --depth;
            if (depth == 0 && t[j].IsWord("CASE")) ++cases;
            if (depth == 0 && t[j].IsWord("END") && --cases == 0) return j + 1;
        }
        Malformed("CASE without END");
    }
    std::size_t j = i + 1;
    while (j + 1 < end && t[j].Is(TokenKind::Dot) &&
           (t[j + 1].Is(TokenKind::Word) || t[j + 1].IsOp("*")))
        j += 2;
    if (j < end && t[j].Is(TokenKind::LParen)) j = MatchingParen(t, j) + 1;
    if (j < end && t[j].Is(TokenKind::OuterJoin)) ++j;
    return j;
}

void Concat(const Tokens& t, std::size_t b, std::size_t e, Tokens& out);

void CopyValue(const Tokens& t, std::size_t b, std::size_t e, Tokens& out) {
    std::size_t first = out.size();
    Concat(t, b, e, out);
    if (out.size() > first) out[first].spaceBefore = false;
}

void Concat(const Tokens& t, std::size_t b, std::size_t e, Tokens& out) {
    std::size_t i = b;
    while (i < e) {
        std::size_t j = ValueEnd(t, i, e);
        if (j != std::string_view::npos && j < e && t[j].IsOp("||")) {
            // Oracle gives || the precedence of + and -, SQL engines a higher one: refuse the
            // mixture rather than pick one reading.
            if (!out.empty() && IsArithmetic(out.back()))
                Refuse("|| next to + - * / without parentheses");
            std::vector<std::pair<std::size_t, std::size_t>> operands{{i, j}};
            while (j < e && t[j].IsOp("||")) {
                std::size_t k = ValueEnd(t, j + 1, e);
                if (k == std::string_view::npos) Malformed("|| without a value after it");
                operands.emplace_back(j + 1, k);
                j = k;
            }
            if (j < e && IsArithmetic(t[j])) Refuse("|| next to + - * / without parentheses");
            out.push_back(MakeToken(TokenKind::Word, "NULLIF", t[i].spaceBefore));
            out.push_back(MakeToken(TokenKind::LParen, "(", false));
            for (std::size_t n = 0; n < operands.size(); ++n) {
                if (n) out.push_back(MakeToken(TokenKind::Operator, "||"));
                out.push_back(MakeToken(TokenKind::Word, "COALESCE", n != 0));
                out.push_back(MakeToken(TokenKind::LParen, "(", false));
                CopyValue(t, operands[n].first, operands[n].second, out);
                out.push_back(MakeToken(TokenKind::Comma, ",", false));
                out.push_back(MakeToken(TokenKind::String, ""));
                out.push_back(MakeToken(TokenKind::RParen, ")", false));
            }
            out.push_back(MakeToken(TokenKind::Comma, ",", false));
            out.push_back(MakeToken(TokenKind::String, ""));
            out.push_back(MakeToken(TokenKind::RParen, ")", false));
            i = j;
        } else if (t[i].IsOp("||")) {
            Malformed("|| without a value before it");
        } else if (t[i].Is(TokenKind::LParen)) {
            std::size_t close = MatchingParen(t, i);
            out.push_back(t[i]);
            Concat(t, i + 1, close, out);
            out.push_back(t[close]);
            i = close + 1;
        } else {
            out.push_back(t[i++]);
        }
    }
}

std::string Literal(const std::string& value, Dialect dialect) {
    if (value.find('\0') == std::string::npos) return "'" + QuoteEscape(value) + "'";
    // A NUL cannot sit inside SQL text; SQLite builds it with char(0).
    if (dialect != Dialect::SQLite) Refuse("a text value with a NUL character");
    std::string out = "(";
    std::size_t start = 0;
    for (;;) {
        std::size_t nul = value.find('\0', start);
        std::string part = value.substr(start, nul == std::string::npos ? nul : nul - start);
        if (!part.empty()) out += (out.size() > 1 ? "||'" : "'") + QuoteEscape(part) + "'";
        if (nul == std::string::npos) break;
        out += out.size() > 1 ? "||char(0)" : "char(0)";
        start = nul + 1;
    }
    return out + ")";
}

const char* CurrentTimestamp(Dialect dialect) {
    // Oracle's SYSDATE is the server's local time, to the second; dates are kept as ISO text.
    switch (dialect) {
    case Dialect::SQLite:
        return "datetime('now', 'localtime')";
    case Dialect::PostgreSQL:
        return "to_char(localtimestamp, 'YYYY-MM-DD HH24:MI:SS')";
    }
    return "";
}

} // namespace

bool IsClauseKeyword(const Token& t) {
    return OneOf(t, {"SELECT", "FROM",   "WHERE",  "AND",   "OR",     "NOT",      "ORDER",
                     "BY",     "GROUP",  "HAVING", "UNION", "ALL",    "DISTINCT", "UNIQUE",
                     "AS",     "ON",     "JOIN",   "LEFT",  "RIGHT",  "FULL",     "INNER",
                     "OUTER",  "CROSS",  "IS",     "LIKE",  "IN",     "BETWEEN",  "EXISTS",
                     "WHEN",   "THEN",   "ELSE",   "END",   "ASC",    "DESC",     "INSERT",
                     "INTO",   "VALUES", "UPDATE", "SET",   "DELETE", "ESCAPE",   "INTERSECT",
                     "EXCEPT"});
}

Tokens CheckStatement(Tokens t) {
    while (!t.empty() && t.back().Is(TokenKind::Semicolon))
        t.pop_back();
    for (const Token& tok : t)
        if (tok.Is(TokenKind::Semicolon)) Refuse("several statements in one text");
    if (t.empty()) Malformed("the statement is empty");
    const Token& first = t.front();
    if (!OneOf(first, {"SELECT", "INSERT", "UPDATE", "DELETE"})) {
        if (first.Is(TokenKind::Word)) Refuse("the statement " + UCase(first.text));
        Refuse("a statement beginning with '" + first.text + "'");
    }
    return t;
}

Tokens RewriteWords(const Tokens& t, Dialect dialect) {
    Tokens out;
    out.reserve(t.size());
    for (std::size_t i = 0; i < t.size(); ++i) {
        Token tok = t[i];
        const bool afterDot = i > 0 && t[i - 1].Is(TokenKind::Dot);
        const bool call = i + 1 < t.size() && t[i + 1].Is(TokenKind::LParen);
        if (tok.Is(TokenKind::String) && tok.text.empty()) {
            // Oracle keeps no empty text: '' is NULL, and a comparison with it is never true.
            tok = MakeToken(TokenKind::Word, "NULL", tok.spaceBefore);
        } else if (tok.Is(TokenKind::Word)) {
            RefuseOracleOnly(t, i);
            if (tok.IsWord("SYSDATE") && !afterDot) {
                if (call) Refuse("SYSDATE with parentheses");
                tok = MakeToken(TokenKind::Raw, CurrentTimestamp(dialect), tok.spaceBefore);
            } else if (tok.IsWord("UNIQUE") && i > 0 && t[i - 1].IsWord("SELECT")) {
                tok.text = "DISTINCT";
            } else if (call && !IsClauseKeyword(tok) && !(i > 0 && t[i - 1].IsWord("INTO"))) {
                if (afterDot || !IsSupportedFunction(tok))
                    Refuse("the function " + UCase(tok.text));
                if (tok.IsWord("NVL")) {
                    if (ArgumentCount(t, i + 1) != 2) Refuse("NVL without exactly two values");
                    tok.text = "COALESCE";
                }
            }
        }
        out.push_back(std::move(tok));
    }
    return out;
}

Tokens RewriteConcatenation(const Tokens& t) {
    bool any = false;
    for (const Token& tok : t)
        any = any || tok.IsOp("||");
    if (!any) return t;
    Tokens out;
    out.reserve(t.size() + 16);
    Concat(t, 0, t.size(), out);
    return out;
}

std::string Render(const Tokens& t, Dialect dialect) {
    // PostgreSQL's upper() follows the database's locale: with the C locale it folds ASCII
    // letters only, and libc locales leave "ß" alone. The module folds its search text with
    // ICU's root rule, so the stored values are folded by the same rule on the server; the
    // result then compares and sorts under the database's own collation as before.
    std::vector<char> upperOpen, upperClose;
    if (dialect == Dialect::PostgreSQL) {
        upperOpen.assign(t.size(), 0);
        upperClose.assign(t.size(), 0);
        for (std::size_t i = 0; i + 1 < t.size(); ++i)
            if (t[i].IsWord("UPPER") && t[i + 1].Is(TokenKind::LParen) &&
                !(i > 0 && t[i - 1].Is(TokenKind::Dot))) {
                const std::size_t close = MatchingParen(t, i + 1);
                if (close >= t.size()) continue;
                upperOpen[i + 1] = 1;
                upperClose[close] = 1;
            }
    }
    std::string out;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const Token& tok = t[i];
        if (!out.empty() && tok.spaceBefore) out += ' ';
        if (!upperOpen.empty() && upperOpen[i]) {
            out += "((";
            continue;
        }
        if (!upperClose.empty() && upperClose[i]) {
            out += R"() COLLATE "und-x-icu") COLLATE "default")";
            continue;
        }
        switch (tok.kind) {
        case TokenKind::String:
            out += Literal(tok.text, dialect);
            break;
        case TokenKind::OuterJoin:
            Refuse("(+) here");
        default:
            out += tok.text;
            break;
        }
    }
    return out;
}

} // namespace zelk::host::sql
