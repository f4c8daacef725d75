#include "host/sql/SqlToken.h"

#include "platform/Error.h"
#include "platform/Strings.h"

#include <cstdio>

namespace zelk::host::sql {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsWordStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool IsWordChar(char c) {
    return IsWordStart(c) || IsDigit(c) || c == '$' || c == '#';
}

std::string Describe(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u > 32 && u < 127) return std::string("the character '") + c + "'";
    char buf[32];
    std::snprintf(buf, sizeof buf, "the character code %u", u);
    return buf;
}

// (+) with optional blanks inside; i is at '('. Returns the index after ')' or 0.
std::size_t OuterJoinEnd(std::string_view s, std::size_t i) {
    std::size_t j = i + 1;
    while (j < s.size() && IsSpace(s[j]))
        ++j;
    if (j >= s.size() || s[j] != '+') return 0;
    ++j;
    while (j < s.size() && IsSpace(s[j]))
        ++j;
    if (j >= s.size() || s[j] != ')') return 0;
    return j + 1;
}

} // namespace

bool Token::IsWord(std::string_view w) const {
    return kind == TokenKind::Word && IEquals(text, w);
}

void Refuse(const std::string& what) {
    Raise(err::ProviderError, "Unsupported SQL: " + what + ".", "SqlTranslator");
}

void Malformed(const std::string& what) {
    Raise(err::ProviderError, "Invalid SQL: " + what + ".", "SqlTranslator");
}

Token MakeToken(TokenKind kind, std::string text, bool spaceBefore) {
    Token t;
    t.kind = kind;
    t.text = std::move(text);
    t.spaceBefore = spaceBefore;
    return t;
}

std::size_t MatchingParen(const Tokens& tokens, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < tokens.size(); ++i) {
        if (tokens[i].kind == TokenKind::LParen) ++depth;
        if (tokens[i].kind == TokenKind::RParen && --depth == 0) return i;
    }
    return tokens.size();
}

Tokens Tokenize(std::string_view s) {
    Tokens out;
    bool space = false;
    int depth = 0;
    std::size_t i = 0;
    auto push = [&](TokenKind k, std::string text) {
        out.push_back(MakeToken(k, std::move(text), space));
        space = false;
    };
    while (i < s.size()) {
        char c = s[i];
        if (IsSpace(c)) {
            space = true;
            ++i;
        } else if (c == '\'') {
            // Doubled quotes stand for one; everything else up to the closing quote is the value.
            std::string value;
            std::size_t j = i + 1;
            for (;;) {
                if (j >= s.size()) Malformed("a text value without its closing quote");
                if (s[j] == '\'') {
                    if (j + 1 < s.size() && s[j + 1] == '\'') {
                        value += '\'';
                        j += 2;
                        continue;
                    }
                    break;
                }
                value += s[j++];
            }
            push(TokenKind::String, std::move(value));
            i = j + 1;
        } else if (IsDigit(c) || (c == '.' && i + 1 < s.size() && IsDigit(s[i + 1]))) {
            std::size_t j = i;
            while (j < s.size() && IsDigit(s[j]))
                ++j;
            if (j < s.size() && s[j] == '.') {
                ++j;
                while (j < s.size() && IsDigit(s[j]))
                    ++j;
            }
            if (j < s.size() && (s[j] == 'e' || s[j] == 'E')) {
                std::size_t k = j + 1;
                if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
                if (k < s.size() && IsDigit(s[k])) {
                    j = k;
                    while (j < s.size() && IsDigit(s[j]))
                        ++j;
                }
            }
            if (j < s.size() && IsWordChar(s[j])) Malformed("a number run into a name");
            push(TokenKind::Number, std::string(s.substr(i, j - i)));
            i = j;
        } else if (IsWordStart(c)) {
            std::size_t j = i;
            while (j < s.size() && IsWordChar(s[j]))
                ++j;
            std::string word(s.substr(i, j - i));
            // N'...', Q'[...]' and NQ'...' are Oracle's national and quoted text values; read
            // as a name and a text they would change meaning, and q'' ends at its own delimiter.
            if (j < s.size() && s[j] == '\'') {
                if (IEquals(word, "Q") || IEquals(word, "NQ")) Refuse("q'...' text values");
                if (IEquals(word, "N")) Refuse("N'...' text values");
            }
            if (word.find_first_of("$#") != std::string::npos) Refuse("the name " + word);
            push(TokenKind::Word, std::move(word));
            i = j;
        } else if (c == '(') {
            if (std::size_t end = OuterJoinEnd(s, i)) {
                push(TokenKind::OuterJoin, "(+)");
                i = end;
            } else {
                push(TokenKind::LParen, "(");
                ++depth;
                ++i;
            }
        } else if (c == ')') {
            if (--depth < 0) Malformed("a closing parenthesis without its opening one");
            push(TokenKind::RParen, ")");
            ++i;
        } else if (c == ',') {
            push(TokenKind::Comma, ",");
            ++i;
        } else if (c == '.') {
            push(TokenKind::Dot, ".");
            ++i;
        } else if (c == ';') {
            push(TokenKind::Semicolon, ";");
            ++i;
        } else if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
            Refuse("comments (--)");
        } else if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
            Refuse("comments (/* */)");
        } else if (c == '"') {
            Refuse("quoted identifiers");
        } else if (c == ':' || c == '?') {
            Refuse("bind variables");
        } else {
            static const char* const ops[] = {"<>", "!=", "<=", ">=", "||", "=",
                                              "<",  ">",  "+",  "-",  "*",  "/"};
            bool matched = false;
            for (const char* op : ops) {
                std::string_view o(op);
                if (s.substr(i, o.size()) == o) {
                    push(TokenKind::Operator, std::string(o));
                    i += o.size();
                    matched = true;
                    break;
                }
            }
            if (!matched) Refuse(Describe(c));
        }
    }
    if (depth != 0) Malformed("an opening parenthesis without its closing one");
    return out;
}

} // namespace zelk::host::sql
