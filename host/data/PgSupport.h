#pragma once

// What the server data service's own files share.
#include "host/data/PgDataService.h"
#include "platform/Variant.h"

#include <libpq-fe.h>

#include <string>

namespace zelk::host {

struct PgDataService::Result {
    explicit Result(PGresult* r) : res(r) {}
    ~Result() { PQclear(res); }
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;
    PGresult* res;
};

namespace pg {

// The statement's first word, past blanks and opening parentheses, is `word` (any case).
bool StartsWithWord(const std::string& sql, const char* word);
// A value as the text PostgreSQL reads; false for NULL. Empty text is NULL, as on SQLite.
bool ParamText(const Variant& v, std::string& out);
[[noreturn]] void RaisePg(const std::string& text);
// The server's refusal in `res` as the error a user reads.
[[noreturn]] void RaiseResult(PGresult* res, PGconn* conn);

} // namespace pg

} // namespace zelk::host
