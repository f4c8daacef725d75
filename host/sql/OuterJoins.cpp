#include "host/sql/OracleRewrite.h"
#include "platform/Strings.h"

#include <algorithm>
#include <initializer_list>
#include <map>
#include <set>
#include <string_view>

namespace zelk::host::sql {

namespace {

struct Range {
    std::size_t b = 0, e = 0; // [b, e)
    bool Empty() const { return b >= e; }
};

bool OneOf(const Token& t, std::initializer_list<std::string_view> words) {
    for (std::string_view w : words)
        if (t.IsWord(w)) return true;
    return false;
}

// Calls f(i) for every token of r outside parentheses; f returns false to stop.
template <class F> void AtDepthZero(const Tokens& t, Range r, F f) {
    int depth = 0;
    for (std::size_t i = r.b; i < r.e; ++i) {
        if (t[i].Is(TokenKind::RParen)) --depth;
        if (depth == 0 && !f(i)) return;
        if (t[i].Is(TokenKind::LParen)) ++depth;
    }
}

std::size_t FindWord(const Tokens& t, Range r, std::initializer_list<std::string_view> words) {
    std::size_t found = r.e;
    AtDepthZero(t, r, [&](std::size_t i) {
        if (!OneOf(t[i], words)) return true;
        found = i;
        return false;
    });
    return found;
}

bool HasKind(const Tokens& t, Range r, TokenKind k) {
    for (std::size_t i = r.b; i < r.e; ++i)
        if (t[i].Is(k)) return true;
    return false;
}

bool Wrapped(const Tokens& t, Range r) {
    return r.e - r.b >= 2 && t[r.b].Is(TokenKind::LParen) && MatchingParen(t, r.b) == r.e - 1;
}

// The conditions joined by AND at the top of a WHERE clause, looking inside parentheses that
// hold only more AND-joined conditions. A condition with OR stays whole.
void Conjuncts(const Tokens& t, Range r, std::vector<Range>& out) {
    if (Wrapped(t, r)) {
        Range inner{r.b + 1, r.e - 1};
        if (FindWord(t, inner, {"OR"}) != inner.e)
            out.push_back(r);
        else
            Conjuncts(t, inner, out);
        return;
    }
    if (FindWord(t, r, {"OR"}) != r.e) {
        out.push_back(r);
        return;
    }
    std::vector<Range> parts;
    std::size_t start = r.b;
    bool between = false;
    AtDepthZero(t, r, [&](std::size_t i) {
        if (t[i].IsWord("BETWEEN")) between = true;
        if (t[i].IsWord("AND")) {
            if (between) {
                between = false; // the AND of BETWEEN x AND y
            } else {
                parts.push_back({start, i});
                start = i + 1;
            }
        }
        return true;
    });
    parts.push_back({start, r.e});
    for (Range p : parts) {
        if (p.Empty()) Malformed("AND without a condition beside it");
        if (parts.size() == 1)
            out.push_back(p);
        else
            Conjuncts(t, p, out);
    }
}

struct Side {
    bool column = false; // a qualified column; otherwise a constant
    bool outer = false;  // followed by (+)
    std::string qualifier;
    Range r;
};

bool ParseSide(const Tokens& t, Range r, Side& s) {
    s.r = r;
    std::size_t n = r.e - r.b;
    if ((n == 3 || n == 4) && t[r.b].Is(TokenKind::Word) && t[r.b + 1].Is(TokenKind::Dot) &&
        t[r.b + 2].Is(TokenKind::Word) && (n == 3 || t[r.b + 3].Is(TokenKind::OuterJoin))) {
        s.column = true;
        s.outer = n == 4;
        s.qualifier = LCase(t[r.b].text);
        return true;
    }
    if (n == 1 &&
        (t[r.b].Is(TokenKind::String) || t[r.b].Is(TokenKind::Number) || t[r.b].IsWord("NULL")))
        return true;
    return false;
}

struct JoinCondition {
    std::string outerTable;
    std::string otherTable; // empty when compared with a constant
    Range r;
};

// An outer-join condition: a qualified column with (+) = a qualified column or a constant.
JoinCondition ParseJoinCondition(const Tokens& t, Range r) {
    for (std::size_t i = r.b; i + 1 < r.e; ++i)
        if (t[i].Is(TokenKind::LParen) && t[i + 1].IsWord("SELECT"))
            Refuse("(+) inside a subquery");
    if (FindWord(t, r, {"OR"}) != r.e) Refuse("(+) in a condition joined with OR");
    if (t[r.b].IsWord("NOT")) Refuse("(+) under NOT");
    std::size_t eq = r.e;
    int comparisons = 0;
    AtDepthZero(t, r, [&](std::size_t i) {
        const Token& k = t[i];
        if (k.IsOp("=")) eq = i;
        if (k.IsOp("=") || k.IsOp("<>") || k.IsOp("!=") || k.IsOp("<") || k.IsOp(">") ||
            k.IsOp("<=") || k.IsOp(">=") || OneOf(k, {"LIKE", "IN", "BETWEEN", "IS"}))
            ++comparisons;
        return true;
    });
    if (comparisons != 1 || eq == r.e) Refuse("(+) in a condition other than an equality");
    Side a, b;
    bool okA = ParseSide(t, {r.b, eq}, a), okB = ParseSide(t, {eq + 1, r.e}, b);
    if (!okA || !okB) {
        // Name the marker's place when it does not follow a qualified column.
        for (std::size_t i = r.b; i < r.e; ++i)
            if (t[i].Is(TokenKind::OuterJoin) &&
                !(i >= r.b + 3 && t[i - 1].Is(TokenKind::Word) && t[i - 2].Is(TokenKind::Dot) &&
                  t[i - 3].Is(TokenKind::Word)))
                Refuse("(+) after something other than a qualified column");
        Refuse("(+) in a comparison with an expression");
    }
    if (a.outer && b.outer) Refuse("(+) on both sides of a comparison");
    const Side& outer = a.outer ? a : b;
    const Side& other = a.outer ? b : a;
    JoinCondition c{outer.qualifier, other.column ? other.qualifier : std::string(), r};
    if (c.outerTable == c.otherTable) Refuse("(+) joining a table to itself");
    return c;
}

struct FromItem {
    Range r;
    std::string key; // what columns are qualified with: the alias, else the table name
    bool outer = false;
    std::set<std::string> deps;
    std::vector<Range> conditions;
};

std::vector<FromItem> ParseFrom(const Tokens& t, Range r) {
    std::vector<FromItem> items;
    std::size_t start = r.b;
    auto add = [&](Range ir) {
        if (HasKind(t, ir, TokenKind::LParen)) Refuse("(+) with a subquery in FROM");
        for (std::size_t i = ir.b; i < ir.e; ++i)
            if (OneOf(t[i], {"JOIN", "ON", "USING", "NATURAL"})) Refuse("(+) together with JOIN");
        std::size_t n = ir.e - ir.b;
        bool dotted = n >= 3 && t[ir.b + 1].Is(TokenKind::Dot);
        std::size_t nameEnd = ir.b + (dotted ? 3 : 1);
        std::size_t aliasAt = nameEnd;
        if (aliasAt < ir.e && t[aliasAt].IsWord("AS")) ++aliasAt;
        bool shapeOk = n >= 1 && aliasAt + 1 >= ir.e && t[ir.b].Is(TokenKind::Word) &&
                       (!dotted || t[ir.b + 2].Is(TokenKind::Word)) &&
                       (aliasAt == ir.e || t[aliasAt].Is(TokenKind::Word));
        if (!shapeOk) Refuse("(+) with a FROM entry other than a table and its alias");
        FromItem item;
        item.r = ir;
        item.key = LCase(aliasAt < ir.e ? t[aliasAt].text : t[nameEnd - 1].text);
        for (const FromItem& other : items)
            if (other.key == item.key) Refuse("(+) with the table " + item.key + " named twice");
        items.push_back(std::move(item));
    };
    AtDepthZero(t, r, [&](std::size_t i) {
        if (t[i].Is(TokenKind::Comma)) {
            add({start, i});
            start = i + 1;
        }
        return true;
    });
    add({start, r.e});
    return items;
}

void Append(const Tokens& t, Range r, Tokens& out, bool space = true) {
    for (std::size_t i = r.b; i < r.e; ++i) {
        if (t[i].Is(TokenKind::OuterJoin)) continue;
        out.push_back(t[i]);
        if (i == r.b) out.back().spaceBefore = space;
    }
}

void Word(Tokens& out, const char* w) {
    out.push_back(MakeToken(TokenKind::Word, w));
}

// One SELECT of a compound statement.
void RewriteSelect(const Tokens& t, Range m, Tokens& out, Dialect dialect) {
    if (!HasKind(t, m, TokenKind::OuterJoin)) {
        Append(t, m, out, m.b != 0 && t[m.b].spaceBefore);
        return;
    }
    std::size_t from = FindWord(t, m, {"FROM"});
    std::size_t where = FindWord(t, {from, m.e}, {"WHERE"});
    std::size_t whereEnd = FindWord(t, {where, m.e}, {"GROUP", "HAVING", "ORDER"});
    for (std::size_t i = m.b; i < m.e; ++i)
        if (t[i].Is(TokenKind::OuterJoin) && (i < where || i >= whereEnd))
            Refuse("(+) outside the WHERE clause");

    std::vector<FromItem> items = ParseFrom(t, {from + 1, where});
    auto find = [&](const std::string& key) -> FromItem& {
        for (FromItem& it : items)
            if (it.key == key) return it;
        Refuse("(+) with " + key + ", which is not a table of the FROM clause");
    };

    std::vector<Range> conjuncts, rest;
    Conjuncts(t, {where + 1, whereEnd}, conjuncts);
    for (Range c : conjuncts) {
        if (!HasKind(t, c, TokenKind::OuterJoin)) {
            rest.push_back(c);
            continue;
        }
        JoinCondition jc = ParseJoinCondition(t, c);
        FromItem& outer = find(jc.outerTable);
        if (!jc.otherTable.empty()) {
            find(jc.otherTable);
            outer.deps.insert(jc.otherTable);
        }
        outer.outer = true;
        outer.conditions.push_back(c);
    }

    // Inner tables first, in their order; then each outer table once every table its
    // conditions name is already joined.
    std::set<std::string> joined;
    Append(t, {m.b, from + 1}, out, m.b != 0 && t[m.b].spaceBefore);
    for (const FromItem& it : items) {
        if (it.outer) continue;
        if (!joined.empty() && dialect == Dialect::PostgreSQL) {
            Word(out, "CROSS");
            Word(out, "JOIN");
        } else if (!joined.empty()) {
            out.push_back(MakeToken(TokenKind::Comma, ",", false));
        }
        Append(t, it.r, out);
        joined.insert(it.key);
    }
    if (joined.empty()) Refuse("(+) on every table of the FROM clause");
    std::vector<const FromItem*> pending;
    for (const FromItem& it : items)
        if (it.outer) pending.push_back(&it);
    while (!pending.empty()) {
        auto ready = std::find_if(pending.begin(), pending.end(), [&](const FromItem* it) {
            return std::includes(joined.begin(), joined.end(), it->deps.begin(), it->deps.end());
        });
        if (ready == pending.end()) Refuse("(+) outer joins that form a cycle");
        const FromItem& it = **ready;
        Word(out, "LEFT");
        Word(out, "JOIN");
        Append(t, it.r, out);
        Word(out, "ON");
        for (std::size_t n = 0; n < it.conditions.size(); ++n) {
            if (n) Word(out, "AND");
            Append(t, it.conditions[n], out);
        }
        joined.insert(it.key);
        pending.erase(ready);
    }
    if (!rest.empty()) {
        out.push_back(t[where]);
        out.back().spaceBefore = true;
        for (std::size_t n = 0; n < rest.size(); ++n) {
            if (n) Word(out, "AND");
            bool paren = !Wrapped(t, rest[n]) && FindWord(t, rest[n], {"OR"}) != rest[n].e;
            if (paren) out.push_back(MakeToken(TokenKind::LParen, "("));
            Append(t, rest[n], out, !paren);
            if (paren) out.push_back(MakeToken(TokenKind::RParen, ")", false));
        }
    }
    Append(t, {whereEnd, m.e}, out);
}

} // namespace

Tokens RewriteOuterJoins(const Tokens& t, Dialect dialect) {
    if (!HasKind(t, {0, t.size()}, TokenKind::OuterJoin)) return t;
    if (!t.front().IsWord("SELECT")) Refuse("(+) outside a query");
    Tokens out;
    out.reserve(t.size() + 16);
    std::size_t start = 0;
    AtDepthZero(t, {0, t.size()}, [&](std::size_t i) {
        if (OneOf(t[i], {"UNION", "INTERSECT", "EXCEPT"})) {
            RewriteSelect(t, {start, i}, out, dialect);
            out.push_back(t[i]);
            start = i + 1;
            if (start < t.size() && t[start].IsWord("ALL")) out.push_back(t[start++]);
        }
        return true;
    });
    RewriteSelect(t, {start, t.size()}, out, dialect);
    return out;
}

} // namespace zelk::host::sql
