#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zelk::host::sql {

enum class TokenKind {
    Word,   // identifier or keyword
    String, // text literal; text holds the value, quotes undone
    Number,
    Operator, // = <> != < > <= >= + - * / ||
    LParen,
    RParen,
    Comma,
    Dot,
    OuterJoin, // the (+) marker
    Semicolon,
    Raw, // text produced by the translator, written out as it is
};

struct Token {
    TokenKind kind = TokenKind::Raw;
    std::string text;
    bool spaceBefore = false;

    bool Is(TokenKind k) const { return kind == k; }
    // Case-insensitive keyword test.
    bool IsWord(std::string_view w) const;
    bool IsOp(std::string_view op) const { return kind == TokenKind::Operator && text == op; }
};

using Tokens = std::vector<Token>;

// Splits Oracle SQL into tokens. Raises ComError naming what it met for anything outside the
// accepted subset: comments, quoted identifiers, bind variables, unknown characters and an
// unterminated text value.
Tokens Tokenize(std::string_view sql);

// Raise ComError: "Unsupported SQL: <what>." for Oracle SQL outside the translated subset,
// "Invalid SQL: <what>." for text that is no SQL at all.
[[noreturn]] void Refuse(const std::string& what);
[[noreturn]] void Malformed(const std::string& what);

// Index of the parenthesis closing the one at open; tokens.size() when unbalanced.
std::size_t MatchingParen(const Tokens& tokens, std::size_t open);

Token MakeToken(TokenKind kind, std::string text, bool spaceBefore = true);

} // namespace zelk::host::sql
