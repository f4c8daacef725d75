#include "platform/Criteria.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/Strings.h"

#include <cctype>

namespace zelk {

namespace {

bool IsNameStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}
bool IsNameChar(char c) {
    return IsNameStart(c) || std::isdigit(static_cast<unsigned char>(c)) || c == '$' || c == '.';
}
bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

struct Token {
    enum class Kind { End, Name, Keyword, Text, Number, Date, LParen, RParen, Op } kind;
    std::string text; // name, keyword (upper case), literal text or operator
    std::size_t at = 0;
};

} // namespace

// Recursive descent over the token list; every failure names what was expected and where.
class CriteriaParser {
public:
    CriteriaParser(std::string_view text, Criteria& out) : src_(text), out_(out) { Tokenize(); }

    void ParseAll(bool single) {
        if (Peek().kind == Token::Kind::End) {
            if (single) Fail("the criteria is empty");
            return;
        }
        out_.root_ = single ? ParseComparison() : ParseOr();
        if (Peek().kind != Token::Kind::End)
            Fail(single ? "only one comparison is allowed " + Where(Peek())
                        : "unexpected " + Where(Peek()));
    }

private:
    [[noreturn]] void Fail(const std::string& problem) const {
        Raise(err::InvalidArgument,
              "Invalid criteria \"" + std::string(src_) + "\": " + problem + ".");
    }

    std::string Where(const Token& t) const {
        if (t.kind == Token::Kind::End) return "at the end";
        return "near '" + std::string(src_.substr(t.at, 20)) + "'";
    }

    void Tokenize() {
        std::size_t i = 0, n = src_.size();
        while (true) {
            while (i < n && std::isspace(static_cast<unsigned char>(src_[i])))
                ++i;
            Token t{Token::Kind::End, "", i};
            if (i >= n) {
                toks_.push_back(t);
                return;
            }
            char c = src_[i];
            if (c == '(' || c == ')') {
                t.kind = c == '(' ? Token::Kind::LParen : Token::Kind::RParen;
                t.text = std::string(1, c);
                ++i;
            } else if (c == '=' || c == '<' || c == '>') {
                t.kind = Token::Kind::Op;
                t.text = std::string(1, c);
                ++i;
                if (i < n && c == '<' && (src_[i] == '>' || src_[i] == '='))
                    t.text += src_[i++];
                else if (i < n && c == '>' && src_[i] == '=')
                    t.text += src_[i++];
            } else if (c == '\'') {
                t.kind = Token::Kind::Text;
                ++i;
                while (true) {
                    if (i >= n)
                        Fail("text starting at position " + std::to_string(t.at + 1) +
                             " has no closing quote");
                    if (src_[i] == '\'') {
                        if (i + 1 < n && src_[i + 1] == '\'') {
                            t.text += '\'';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    t.text += src_[i++];
                }
            } else if (c == '#') {
                t.kind = Token::Kind::Date;
                std::size_t close = src_.find('#', i + 1);
                if (close == std::string_view::npos)
                    Fail("date starting at position " + std::to_string(t.at + 1) +
                         " has no closing '#'");
                t.text = std::string(src_.substr(i + 1, close - i - 1));
                i = close + 1;
            } else if (c == '[') {
                t.kind = Token::Kind::Name;
                std::size_t close = src_.find(']', i + 1);
                if (close == std::string_view::npos || close == i + 1)
                    Fail("field name starting at position " + std::to_string(t.at + 1) +
                         " is not closed by ']'");
                t.text = std::string(src_.substr(i + 1, close - i - 1));
                i = close + 1;
            } else if (IsDigit(c) || ((c == '-' || c == '+' || c == '.') && i + 1 < n &&
                                      (IsDigit(src_[i + 1]) || src_[i + 1] == '.'))) {
                t.kind = Token::Kind::Number;
                std::size_t s = i++;
                while (i < n && (IsDigit(src_[i]) || src_[i] == '.'))
                    ++i;
                if (i < n && (src_[i] == 'e' || src_[i] == 'E')) {
                    std::size_t e = i + 1;
                    if (e < n && (src_[e] == '+' || src_[e] == '-')) ++e;
                    if (e < n && IsDigit(src_[e])) {
                        i = e;
                        while (i < n && IsDigit(src_[i]))
                            ++i;
                    }
                }
                t.text = std::string(src_.substr(s, i - s));
                if (i < n && IsNameChar(src_[i])) Fail("malformed number " + Where(t));
            } else if (IsNameStart(c)) {
                std::size_t s = i;
                while (i < n && IsNameChar(src_[i]))
                    ++i;
                t.text = std::string(src_.substr(s, i - s));
                std::string up = UCase(t.text);
                static const char* const keywords[] = {"AND", "OR",  "LIKE", "NULL",
                                                       "IS",  "NOT", "TRUE", "FALSE"};
                t.kind = Token::Kind::Name;
                for (const char* k : keywords)
                    if (up == k) {
                        t.kind = Token::Kind::Keyword;
                        t.text = up;
                    }
            } else {
                Fail("unexpected character '" + std::string(1, c) + "' at position " +
                     std::to_string(i + 1));
            }
            toks_.push_back(std::move(t));
        }
    }

    const Token& Peek() const { return toks_[pos_]; }
    const Token& Next() { return toks_[pos_ < toks_.size() - 1 ? pos_++ : pos_]; }
    bool IsKeyword(const char* k) const {
        return Peek().kind == Token::Kind::Keyword && Peek().text == k;
    }

    int Add(Criteria::Node node) {
        out_.nodes_.push_back(std::move(node));
        return static_cast<int>(out_.nodes_.size() - 1);
    }

    int Join(Criteria::Node::Kind kind, int left, int right) {
        Criteria::Node node;
        node.kind = kind;
        node.left = left;
        node.right = right;
        return Add(std::move(node));
    }

    int ParseOr() {
        int left = ParseAnd();
        while (IsKeyword("OR")) {
            Next();
            left = Join(Criteria::Node::Kind::Or, left, ParseAnd());
        }
        return left;
    }

    int ParseAnd() {
        int left = ParseFactor();
        while (IsKeyword("AND")) {
            Next();
            left = Join(Criteria::Node::Kind::And, left, ParseFactor());
        }
        return left;
    }

    int ParseFactor() {
        if (Peek().kind != Token::Kind::LParen) return ParseComparison();
        Next();
        int inner = ParseOr();
        if (Peek().kind != Token::Kind::RParen) Fail("missing ')' " + Where(Peek()));
        Next();
        return inner;
    }

    int ParseComparison() {
        const Token& name = Next();
        if (name.kind != Token::Kind::Name) Fail("expected a field name " + Where(name));
        Criteria::Comparison cmp;
        cmp.field = name.text;
        const Token& op = Next();
        if (op.kind == Token::Kind::Op) {
            static const std::pair<const char*, Criteria::Op> ops[] = {
                {"=", Criteria::Op::Eq}, {"<>", Criteria::Op::Ne}, {"<", Criteria::Op::Lt},
                {">", Criteria::Op::Gt}, {"<=", Criteria::Op::Le}, {">=", Criteria::Op::Ge}};
            for (const auto& [text, value] : ops)
                if (op.text == text) cmp.op = value;
        } else if (op.kind == Token::Kind::Keyword && op.text == "LIKE") {
            cmp.op = Criteria::Op::Like;
        } else if (op.kind == Token::Kind::Keyword && op.text == "IS") {
            cmp.op = Criteria::Op::Eq;
            if (IsKeyword("NOT")) {
                Next();
                cmp.op = Criteria::Op::Ne;
            }
            if (!IsKeyword("NULL")) Fail("expected NULL after IS " + Where(Peek()));
            Next();
            return AddComparison(std::move(cmp));
        } else {
            Fail("expected an operator after '" + cmp.field + "' " + Where(op));
        }
        const Token& v = Next();
        Criteria::Literal& lit = cmp.value;
        lit.text = v.text;
        switch (v.kind) {
        case Token::Kind::Text:
            lit.kind = Criteria::Literal::Kind::Text;
            break;
        case Token::Kind::Number: {
            auto d = ParseNumber(v.text);
            if (!d) Fail("malformed number " + Where(v));
            lit.kind = Criteria::Literal::Kind::Number;
            lit.number = *d;
            break;
        }
        case Token::Kind::Date: {
            auto d = ParseDate(v.text);
            if (!d) Fail("'#" + v.text + "#' is not a date");
            lit.kind = Criteria::Literal::Kind::Date;
            lit.date = *d;
            break;
        }
        case Token::Kind::Keyword:
            if (v.text == "NULL") {
                lit.kind = Criteria::Literal::Kind::Null;
                break;
            }
            if (v.text == "TRUE" || v.text == "FALSE") {
                lit.kind = Criteria::Literal::Kind::Number;
                lit.number = v.text == "TRUE" ? -1 : 0;
                lit.text = v.text == "TRUE" ? "True" : "False";
                break;
            }
            [[fallthrough]];
        default:
            Fail("expected a value after '" + cmp.field + " " + op.text + "' " + Where(v) +
                 " (text goes between single quotes)");
        }
        return AddComparison(std::move(cmp));
    }

    int AddComparison(Criteria::Comparison cmp) {
        Criteria::Node node;
        node.cmp = std::move(cmp);
        return Add(std::move(node));
    }

    std::string_view src_;
    Criteria& out_;
    std::vector<Token> toks_;
    std::size_t pos_ = 0;
};

Criteria Criteria::Parse(std::string_view text, bool singleComparison) {
    Criteria c;
    c.text_ = std::string(text);
    CriteriaParser(c.text_, c).ParseAll(singleComparison);
    return c;
}

namespace {

std::optional<Variant> BindValue(const Criteria::Literal& lit, FieldKind kind) {
    using K = Criteria::Literal::Kind;
    switch (kind) {
    case FieldKind::Text:
        return Variant(lit.text);
    case FieldKind::Number:
        if (lit.kind == K::Number) return Variant(lit.number);
        if (lit.kind == K::Date) return Variant(lit.date.serial);
        if (auto d = ParseNumber(lit.text)) return Variant(*d);
        return std::nullopt;
    case FieldKind::Date:
        if (lit.kind == K::Date) return Variant(lit.date);
        if (lit.kind == K::Number) return Variant(DateValue{lit.number});
        if (auto d = ParseDate(lit.text)) return Variant(*d);
        return std::nullopt;
    case FieldKind::Boolean:
        if (lit.kind == K::Number) return Variant(lit.number != 0);
        if (lit.kind == K::Text) {
            if (IEquals(lit.text, "True")) return Variant(true);
            if (IEquals(lit.text, "False")) return Variant(false);
            if (auto d = ParseNumber(lit.text)) return Variant(*d != 0);
        }
        return std::nullopt;
    case FieldKind::Other:
        if (lit.kind == K::Number) return Variant(lit.number);
        if (lit.kind == K::Date) return Variant(lit.date);
        return Variant(lit.text);
    }
    return std::nullopt;
}

} // namespace

void Criteria::Bind(const Resolver& resolve) {
    auto fail = [this](const std::string& problem) {
        Raise(err::InvalidArgument, "Invalid criteria \"" + text_ + "\": " + problem + ".");
    };
    for (Node& node : nodes_) {
        if (node.kind != Node::Kind::Compare) continue;
        Comparison& c = node.cmp;
        auto info = resolve(c.field);
        if (!info) fail("unknown field '" + c.field + "'");
        c.column = info->column;
        c.kind = KindOfFieldType(info->type);
        c.nullTest = c.value.kind == Literal::Kind::Null;
        if (c.nullTest) {
            if (c.op != Op::Eq && c.op != Op::Ne)
                fail("NULL can only be compared with = or <> (field '" + c.field + "')");
            continue;
        }
        if (c.op == Op::Like) {
            if (c.value.kind != Literal::Kind::Text)
                fail("LIKE needs a quoted pattern (field '" + c.field + "')");
            c.pattern = UCase(c.value.text);
            continue;
        }
        auto bound = BindValue(c.value, c.kind);
        if (!bound)
            fail("type mismatch: '" + c.value.text + "' is not a value for field '" + c.field +
                 "'");
        c.bound = std::move(*bound);
    }
}

bool Criteria::Matches(std::span<const Variant> row) const {
    return root_ < 0 || Eval(root_, row);
}

bool Criteria::Eval(int index, std::span<const Variant> row) const {
    const Node& node = nodes_[static_cast<std::size_t>(index)];
    switch (node.kind) {
    case Node::Kind::And:
        return Eval(node.left, row) && Eval(node.right, row);
    case Node::Kind::Or:
        return Eval(node.left, row) || Eval(node.right, row);
    case Node::Kind::Compare:
        break;
    }
    const Comparison& c = node.cmp;
    const Variant& v = row[c.column];
    bool isNull = v.IsNull() || v.IsEmpty();
    if (c.nullTest) return (c.op == Op::Eq) == isNull;
    if (isNull) return false; // Null matches no comparison with a value
    if (c.op == Op::Like) return LikeMatch(UCase(v.IsString() ? v.Str() : CStr(v)), c.pattern);
    int r = CompareFieldValues(v, c.bound, c.kind);
    switch (c.op) {
    case Op::Eq:
        return r == 0;
    case Op::Ne:
        return r != 0;
    case Op::Lt:
        return r < 0;
    case Op::Gt:
        return r > 0;
    case Op::Le:
        return r <= 0;
    case Op::Ge:
        return r >= 0;
    case Op::Like:
        break;
    }
    return false;
}

const Criteria::Comparison* Criteria::SingleEquality() const {
    if (root_ < 0) return nullptr;
    const Node& node = nodes_[static_cast<std::size_t>(root_)];
    if (node.kind != Node::Kind::Compare || node.cmp.op != Op::Eq || node.cmp.nullTest)
        return nullptr;
    return &node.cmp;
}

std::vector<SortKey> ParseSort(std::string_view text) {
    std::vector<SortKey> keys;
    if (Trim(text).empty()) return keys;
    auto fail = [&](const std::string& problem) {
        Raise(err::InvalidArgument, "Invalid sort \"" + std::string(text) + "\": " + problem + ".");
    };
    for (const std::string& raw : Split(text, ",")) {
        std::string part = Trim(raw);
        if (part.empty()) fail("a field name is missing");
        SortKey key;
        std::size_t rest;
        if (part[0] == '[') {
            std::size_t close = part.find(']');
            if (close == std::string::npos || close == 1) fail("'" + part + "' is not closed");
            key.field = part.substr(1, close - 1);
            rest = close + 1;
        } else {
            rest = 0;
            while (rest < part.size() && !std::isspace(static_cast<unsigned char>(part[rest])))
                ++rest;
            key.field = part.substr(0, rest);
        }
        std::string order = UCase(Trim(std::string_view(part).substr(rest)));
        if (order == "DESC")
            key.descending = true;
        else if (!order.empty() && order != "ASC")
            fail("expected ASC or DESC after '" + key.field + "'");
        keys.push_back(std::move(key));
    }
    return keys;
}

bool LikeMatch(std::string_view text, std::string_view pattern) {
    auto isStar = [](char c) { return c == '*' || c == '%'; };
    std::size_t t = 0, p = 0, star = std::string_view::npos, mark = 0;
    while (t < text.size()) {
        if (p < pattern.size() && !isStar(pattern[p]) &&
            (pattern[p] == '_' || pattern[p] == '?' || pattern[p] == text[t])) {
            ++t;
            ++p;
        } else if (p < pattern.size() && isStar(pattern[p])) {
            star = p++;
            mark = t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && isStar(pattern[p]))
        ++p;
    return p == pattern.size();
}

} // namespace zelk
