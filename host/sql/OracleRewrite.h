#pragma once

#include "host/sql/Dialect.h"
#include "host/sql/SqlToken.h"

namespace zelk::host::sql {

// The passes of the translation, in the order they run. Each raises ComError (Refuse) for
// Oracle SQL outside the subset it handles.

// One SELECT, INSERT, UPDATE or DELETE; a trailing semicolon is dropped.
Tokens CheckStatement(Tokens tokens);

// Word-level rewrites: '' -> NULL, NVL -> COALESCE, SYSDATE, SELECT UNIQUE -> DISTINCT, and the
// refusal of Oracle-only words and of functions outside the supported list.
Tokens RewriteWords(const Tokens& tokens, Dialect dialect);

// a || b || c -> NULLIF(COALESCE(a, '') || COALESCE(b, '') || COALESCE(c, ''), ''): Oracle
// skips NULL operands, and a result of no characters is NULL.
Tokens RewriteConcatenation(const Tokens& tokens);

// FROM a, b WHERE a.x = b.y(+) AND ... -> FROM a LEFT JOIN b ON a.x = b.y WHERE ..., for each
// member of a UNION. With more than one inner table, PostgreSQL gets them as
// "a CROSS JOIN c LEFT JOIN b ON ...": there a comma binds looser than JOIN, so an ON could not
// name a table before the last comma. SQLite keeps the commas (CROSS JOIN would fix its plan).
Tokens RewriteOuterJoins(const Tokens& tokens, Dialect dialect = Dialect::SQLite);

// a / b -> a * 1.0 / b: Oracle's quotient of whole numbers keeps its fraction.
Tokens RewriteDivision(const Tokens& tokens);

// On PostgreSQL, ESCAPE '' after every LIKE pattern that names no escape of its own, so a
// backslash matches itself as in Oracle.
Tokens AddLikeEscapes(const Tokens& tokens, Dialect dialect);

// Writes the tokens out as SQL text of the dialect.
std::string Render(const Tokens& tokens, Dialect dialect);

// True for the words that start or join clauses and so never begin a value.
bool IsClauseKeyword(const Token& t);

} // namespace zelk::host::sql
