#include "host/data/PgDataService.h"

#include "host/data/PgSupport.h"

#include "host/schema/PgSchema.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/FetchProgress.h"
#include "platform/Strings.h"

#include <libpq-fe.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

namespace zelk::host {

namespace {

constexpr const char* kSource = "DataService";
constexpr const char* kLostInTransaction =
    "The connection to the database server was lost during the change; the server rolled it "
    "back and nothing of it was saved.";
constexpr const char* kLost =
    "The connection to the database server was lost. It is opened again on the next action.";

std::string FirstLine(const char* text) {
    std::string s = text ? text : "";
    auto nl = s.find('\n');
    if (nl != std::string::npos) s.resize(nl);
    return Trim(s);
}

} // namespace

namespace pg {

bool StartsWithWord(const std::string& sql, const char* word) {
    std::size_t i = 0;
    while (i < sql.size() && (sql[i] == ' ' || sql[i] == '\n' || sql[i] == '\t' || sql[i] == '('))
        ++i;
    std::string w(word);
    if (sql.size() - i < w.size()) return false;
    return IEquals(std::string_view(sql).substr(i, w.size()), w) &&
           (sql.size() == i + w.size() ||
            !std::isalnum(static_cast<unsigned char>(sql[i + w.size()])));
}

// Statements that change nothing may run again after the connection was opened anew.
bool SafeToRepeat(const std::string& sql) {
    return StartsWithWord(sql, "SELECT") || StartsWithWord(sql, "BEGIN") ||
           StartsWithWord(sql, "SHOW") || StartsWithWord(sql, "DEALLOCATE");
}

std::string Describe(PGresult* res, pg_conn* conn) {
    const char* state = res ? PQresultErrorField(res, PG_DIAG_SQLSTATE) : nullptr;
    std::string msg = FirstLine(res ? PQresultErrorField(res, PG_DIAG_MESSAGE_PRIMARY) : nullptr);
    if (msg.empty()) msg = FirstLine(PQerrorMessage(conn));
    std::string code = state ? state : "";
    if (code.rfind("23", 0) == 0) return "The change breaks a rule of the database (" + msg + ").";
    if (code == "40001" || code == "40P01" || code == "55P03")
        return "The database is busy with another user's change. Try again in a moment.";
    if (code == "42601") return "The statement is not valid SQL.";
    if (code == "25006") return "The database is read-only; changes cannot be saved.";
    if (code == "53100") return "The disk is full; the change was not saved.";
    if (code == "25P02")
        return "An earlier statement of this change failed; nothing of it was saved.";
    return "The database reported an error: " + msg + ".";
}

[[noreturn]] void RaisePg(const std::string& text) {
    Raise(err::ProviderError, text, kSource);
}

// A refusal for want of rights has a number of its own, so the caller can say so.
[[noreturn]] void RaiseResult(PGresult* res, pg_conn* conn) {
    const char* state = res ? PQresultErrorField(res, PG_DIAG_SQLSTATE) : nullptr;
    if (state && std::string(state) == "42501")
        Raise(kPermissionDenied,
              "The server refused the change: your rights in this database do not allow it (" +
                  FirstLine(PQresultErrorField(res, PG_DIAG_MESSAGE_PRIMARY)) + ").",
              kSource);
    RaisePg(Describe(res, conn));
}

std::string NumberText(double d) {
    char buf[40];
    if (d == static_cast<double>(static_cast<long long>(d)) && d > -1e15 && d < 1e15)
        std::snprintf(buf, sizeof buf, "%.0f", d);
    else
        std::snprintf(buf, sizeof buf, "%.17g", d);
    return buf;
}

// A value as the text PostgreSQL reads; false for NULL. Empty text is NULL, as on SQLite.
bool ParamText(const Variant& v, std::string& out) {
    switch (v.Type()) {
    case VarType::Empty:
    case VarType::Null:
        return false;
    case VarType::Boolean:
        out = v.Bool() ? "Y" : "N";
        return true;
    case VarType::Integer:
    case VarType::Long:
        out = std::to_string(static_cast<long long>(v.NumberValue()));
        return true;
    case VarType::Single:
    case VarType::Double:
        out = NumberText(v.NumberValue());
        return true;
    case VarType::String:
        if (v.Str().empty()) return false;
        if (v.Str().find('\0') != std::string::npos)
            RaisePg("A text with a NUL character cannot be stored in the database.");
        out = v.Str();
        return true;
    case VarType::Date: {
        DateParts p = SplitDate(v.Date());
        char iso[32];
        std::snprintf(iso, sizeof iso, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day,
                      p.hour, p.minute, p.second);
        out = iso;
        return true;
    }
    case VarType::Object:
        Raise(err::TypeMismatch, "An object cannot be stored in the database.", kSource);
    }
    return false;
}

} // namespace pg

namespace {

using namespace pg;

Oid ParamType(const Variant& v) {
    switch (v.Type()) {
    case VarType::Integer:
    case VarType::Long:
        return 20; // int8
    case VarType::Single:
    case VarType::Double:
        return 701; // float8
    case VarType::String:
    case VarType::Boolean:
    case VarType::Date:
        return 25; // text
    default:
        return 0;
    }
}

enum class ColKind { Whole, Real, Numeric, Bool, Text };

ColKind KindOf(Oid type) {
    switch (type) {
    case 20:
    case 21:
    case 23:
    case 26:
        return ColKind::Whole;
    case 700:
    case 701:
        return ColKind::Real;
    case 1700:
        return ColKind::Numeric;
    case 16:
        return ColKind::Bool;
    default:
        return ColKind::Text;
    }
}

class PgStatement : public Statement {
public:
    PgStatement(PgDataService& owner, const std::string& sql) : owner_(owner) {
        plain_ = PgDataService::Placeholders(sql, count_);
        pgSql_ = owner_.WithReturning(plain_);
        params_.resize(static_cast<std::size_t>(count_));
    }
    void Bind(int index, const Variant& value) override {
        if (index < 1 || index > count_)
            Raise(err::ProviderError,
                  "Binding parameter " + std::to_string(index) +
                      ": the statement has no such parameter.",
                  kSource);
        params_[static_cast<std::size_t>(index - 1)] = value;
    }
    long Execute() override {
        if (owner_.Queue(plain_, count_, params_)) {
            Clear();
            return 1;
        }
        owner_.FlushBulk();
        auto r = owner_.Run(pgSql_, count_, params_);
        Clear();
        return owner_.Changed(*r);
    }
    RecordsetPtr Query() override {
        owner_.FlushBulk();
        auto r = owner_.Run(pgSql_, count_, params_);
        Clear();
        return owner_.ToRecordset(*r);
    }

private:
    void Clear() {
        for (auto& p : params_)
            p = Variant();
    }
    PgDataService& owner_;
    std::string plain_, pgSql_;
    int count_ = 0;
    Params params_;
};

} // namespace

void PgDataService::Administer(const std::string& url, const std::string& sql) {
    pg_conn* c = PQconnectdb(url.c_str());
    if (PQstatus(c) != CONNECTION_OK) {
        std::string why = FirstLine(PQerrorMessage(c));
        PQfinish(c);
        RaisePg("The database server cannot be reached at '" + Redacted(url) + "': " + why);
    }
    PQsetNoticeProcessor(
        c, [](void*, const char*) {}, nullptr);
    PGresult* r = PQexec(c, sql.c_str());
    auto st = PQresultStatus(r);
    std::string why = st == PGRES_COMMAND_OK || st == PGRES_TUPLES_OK ? "" : Describe(r, c);
    PQclear(r);
    PQfinish(c);
    if (!why.empty()) RaisePg(why);
}

bool PgDataService::IsUrl(const std::string& text) {
    return text.rfind("postgresql://", 0) == 0 || text.rfind("postgres://", 0) == 0;
}

std::string PgDataService::Redacted(const std::string& url) {
    std::string out = url;
    auto scheme = out.find("://");
    if (scheme == std::string::npos) return out;
    auto at = out.find('@', scheme + 3);
    auto slash = out.find('/', scheme + 3);
    if (at != std::string::npos && (slash == std::string::npos || at < slash)) {
        auto colon = out.find(':', scheme + 3);
        if (colon != std::string::npos && colon < at) out = out.substr(0, colon) + out.substr(at);
    }
    // "password=" among the parameters after "?" goes too.
    auto query = out.find('?');
    if (query == std::string::npos) return out;
    std::string kept;
    std::size_t from = query + 1;
    while (from <= out.size()) {
        auto end = out.find('&', from);
        if (end == std::string::npos) end = out.size();
        std::string param = out.substr(from, end - from);
        if (!param.empty() && param.rfind("password=", 0) != 0)
            kept += (kept.empty() ? "" : "&") + param;
        from = end + 1;
    }
    return out.substr(0, query) + (kept.empty() ? "" : "?" + kept);
}

std::string PgDataService::WithDatabase(const std::string& url, const std::string& database) {
    auto scheme = url.find("://");
    std::size_t from = scheme == std::string::npos ? 0 : scheme + 3;
    auto query = url.find('?', from);
    auto end = query == std::string::npos ? url.size() : query;
    auto slash = url.find('/', from);
    std::string head = url.substr(0, slash == std::string::npos || slash > end ? end : slash);
    return head + "/" + database + url.substr(end);
}

PgDataService::PgDataService(const std::string& url, OpenMode mode) : url_(url) {
    Connect();
    try {
        created_ = EnsurePgSchema(*this, mode == OpenMode::CreateIfMissing);
    } catch (const ComError& e) {
        PQfinish(conn_);
        conn_ = nullptr;
        Raise(err::ProviderError,
              "The database '" + Redacted(url_) + "' cannot be used. " + e.Description(), kSource);
    }
}

PgDataService::~PgDataService() {
    PQfinish(conn_);
}

namespace {

PgDataService::PasswordPrompt& Prompt() {
    static PgDataService::PasswordPrompt prompt;
    return prompt;
}

// The password, when there is one, goes to libpq beside the URL, never into it.
pg_conn* OpenConnection(const std::string& url, const std::string& password) {
    if (password.empty()) return PQconnectdb(url.c_str());
    const char* keys[] = {"dbname", "password", nullptr};
    const char* values[] = {url.c_str(), password.c_str(), nullptr};
    return PQconnectdbParams(keys, values, 1);
}

} // namespace

void PgDataService::SetPasswordPrompt(PasswordPrompt prompt) {
    Prompt() = std::move(prompt);
}

std::string PgDataService::EncryptPassword(const std::string& user, const std::string& password) {
    EnsureConnected();
    char* v = PQencryptPasswordConn(conn_, password.c_str(), user.c_str(), nullptr);
    if (!v) RaisePg("The password could not be prepared: " + FirstLine(PQerrorMessage(conn_)));
    std::string out = v;
    PQfreemem(v);
    return out;
}

std::string PgDataService::WithUser(const std::string& url, const std::string& user) {
    std::string encoded;
    for (unsigned char c : user) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
            encoded += static_cast<char>(c);
        } else {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", c);
            encoded += buf;
        }
    }
    auto query = url.find('?');
    std::string head = url.substr(0, query),
                tail = query == std::string::npos ? "" : url.substr(query);
    std::string kept;
    if (!tail.empty()) {
        std::size_t from = 1;
        while (from <= tail.size()) {
            auto end = tail.find('&', from);
            if (end == std::string::npos) end = tail.size();
            std::string param = tail.substr(from, end - from);
            if (!param.empty() && param.rfind("user=", 0) != 0) kept += "&" + param;
            from = end + 1;
        }
    }
    return head + "?user=" + encoded + kept;
}

void PgDataService::Connect() {
    PQfinish(conn_);
    prepared_.clear();
    conn_ = OpenConnection(url_, password_);
    if (PQstatus(conn_) != CONNECTION_OK && PQconnectionNeedsPassword(conn_) && password_.empty() &&
        Prompt()) {
        // No password in the URL, PGPASSWORD or the password file: ask the person.
        std::string answer = Prompt()(Redacted(url_));
        if (!answer.empty()) {
            PQfinish(conn_);
            password_ = std::move(answer);
            conn_ = OpenConnection(url_, password_);
            if (PQstatus(conn_) != CONNECTION_OK) password_.clear();
        }
    }
    if (PQstatus(conn_) != CONNECTION_OK) {
        std::string why = FirstLine(PQerrorMessage(conn_));
        PQfinish(conn_);
        conn_ = nullptr;
        RaisePg("The database server cannot be reached at '" + Redacted(url_) + "': " + why);
    }
    // Notices (an object that already exists, a transaction that is not open) are no news.
    PQsetNoticeProcessor(
        conn_, [](void*, const char*) {}, nullptr);
    ApplySession();
}

void PgDataService::EnsureConnected() {
    if (conn_ && PQstatus(conn_) == CONNECTION_OK && !broken_) return;
    if (depth_ > 0) {
        broken_ = true;
        RaisePg(kLostInTransaction);
    }
    broken_ = false;
    Connect();
}

void PgDataService::ApplySession() {
    if (user_.empty() && orgUnit_ < 0) return;
    Params p{Variant(user_), orgUnit_ < 0 ? Variant() : Variant(std::to_string(orgUnit_))};
    int n = 0;
    const std::string sql = Placeholders("SELECT set_config('zelk.user', COALESCE(?, ''), false), "
                                         "set_config('zelk.org_unit', COALESCE(?, ''), false)",
                                         n);
    Run(sql, n, p);
}

void PgDataService::Hook(const std::string& sql) {
    if (hook_) hook_(sql);
}

std::string PgDataService::Placeholders(const std::string& sql, int& count) {
    std::string out;
    out.reserve(sql.size() + 16);
    int next = 0, highest = 0;
    for (std::size_t i = 0; i < sql.size(); ++i) {
        char c = sql[i];
        if (c == '\'' || c == '"') {
            std::size_t j = sql.find(c, i + 1);
            while (j != std::string::npos && j + 1 < sql.size() && sql[j + 1] == c)
                j = sql.find(c, j + 2);
            if (j == std::string::npos) j = sql.size() - 1;
            out.append(sql, i, j - i + 1);
            i = j;
        } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
            std::size_t j = sql.find('\n', i);
            if (j == std::string::npos) j = sql.size() - 1;
            out.append(sql, i, j - i + 1);
            i = j;
        } else if (c == '?') {
            std::size_t j = i + 1;
            while (j < sql.size() && std::isdigit(static_cast<unsigned char>(sql[j])))
                ++j;
            int n = j > i + 1 ? std::atoi(sql.substr(i + 1, j - i - 1).c_str()) : ++next;
            if (j > i + 1) next = n;
            if (n > highest) highest = n;
            out += "$" + std::to_string(n);
            i = j - 1;
        } else {
            out += c;
        }
    }
    count = highest;
    return out;
}

std::string PgDataService::KeyOf(const std::string& table) {
    auto it = keys_.find(table);
    if (it != keys_.end()) return it->second;
    int n = 0;
    const std::string sql = Placeholders("SELECT a.attname FROM pg_index i JOIN pg_attribute a ON "
                                         "a.attrelid = i.indrelid AND a.attnum = ANY(i.indkey) "
                                         "WHERE i.indrelid = to_regclass(?) AND i.indisprimary",
                                         n);
    auto r = Run(sql, n, {Variant(table)});
    std::string key = PQntuples(r->res) == 1 ? PQgetvalue(r->res, 0, 0) : "";
    keys_.emplace(table, key);
    return key;
}

std::string PgDataService::WithReturning(const std::string& pgSql) {
    if (!StartsWithWord(pgSql, "INSERT")) return pgSql;
    std::string up = UCase(pgSql);
    if (up.find("RETURNING") != std::string::npos) return pgSql;
    auto into = up.find("INTO");
    if (into == std::string::npos) return pgSql;
    std::size_t i = into + 4;
    while (i < pgSql.size() && pgSql[i] == ' ')
        ++i;
    std::size_t j = i;
    while (j < pgSql.size() &&
           (std::isalnum(static_cast<unsigned char>(pgSql[j])) || pgSql[j] == '_'))
        ++j;
    std::string key = KeyOf(LCase(pgSql.substr(i, j - i)));
    if (key.empty()) return pgSql;
    std::string body = pgSql;
    while (!body.empty() &&
           (body.back() == ';' || std::isspace(static_cast<unsigned char>(body.back()))))
        body.pop_back();
    return body + " RETURNING " + key;
}

std::string PgDataService::Prepared(const std::string& pgSql, int paramCount, const Params& params,
                                    bool typed) {
    std::string cacheKey = typed ? "T" + pgSql : pgSql;
    auto it = prepared_.find(cacheKey);
    if (it != prepared_.end()) return it->second;
    // Statements built by concatenation differ by their values; keep the set bounded.
    if (prepared_.size() >= 512) {
        Result done(PQexec(conn_, "DEALLOCATE ALL"));
        prepared_.clear();
    }
    std::vector<Oid> types(static_cast<std::size_t>(paramCount), 0);
    if (typed)
        for (int i = 0; i < paramCount && i < static_cast<int>(params.size()); ++i)
            types[static_cast<std::size_t>(i)] = ParamType(params[static_cast<std::size_t>(i)]);
    std::string name = "z" + std::to_string(++nextName_);
    Result r(PQprepare(conn_, name.c_str(), pgSql.c_str(), paramCount,
                       paramCount ? types.data() : nullptr));
    if (PQresultStatus(r.res) != PGRES_COMMAND_OK) {
        const char* state = PQresultErrorField(r.res, PG_DIAG_SQLSTATE);
        // A parameter the server cannot type from its place takes the type of its value.
        const std::string code = state ? state : "";
        if (!typed && (code == "42P18" || code == "42804" || code == "42883"))
            return Prepared(pgSql, paramCount, params, true);
        if (PQstatus(conn_) != CONNECTION_OK) return {};
        RaiseResult(r.res, conn_);
    }
    prepared_.emplace(cacheKey, name);
    return name;
}

std::shared_ptr<PgDataService::Result> PgDataService::Run(const std::string& pgSql, int paramCount,
                                                          const Params& params) {
    Hook(pgSql);
    for (int attempt = 0;; ++attempt) {
        EnsureConnected();
        std::string name = Prepared(pgSql, paramCount, params, false);
        std::shared_ptr<Result> r;
        if (!name.empty()) {
            std::vector<std::string> text(static_cast<std::size_t>(paramCount));
            std::vector<const char*> values(static_cast<std::size_t>(paramCount), nullptr);
            for (int i = 0; i < paramCount && i < static_cast<int>(params.size()); ++i) {
                auto k = static_cast<std::size_t>(i);
                if (ParamText(params[k], text[k])) values[k] = text[k].c_str();
            }
            r = std::make_shared<Result>(PQexecPrepared(conn_, name.c_str(), paramCount,
                                                        paramCount ? values.data() : nullptr,
                                                        nullptr, nullptr, 0));
            auto st = PQresultStatus(r->res);
            if (st == PGRES_COMMAND_OK || st == PGRES_TUPLES_OK) {
                if (PQntuples(r->res) > 0 && StartsWithWord(pgSql, "INSERT") &&
                    PQnfields(r->res) == 1)
                    lastInsertId_ =
                        std::strtoll(PQgetvalue(r->res, PQntuples(r->res) - 1, 0), nullptr, 10);
                return r;
            }
        }
        if (PQstatus(conn_) == CONNECTION_OK) RaiseResult(r ? r->res : nullptr, conn_);
        // The connection dropped.
        if (depth_ > 0) {
            broken_ = true;
            RaisePg(kLostInTransaction);
        }
        if (attempt > 0 || !SafeToRepeat(pgSql)) {
            broken_ = true; // opened again by the next action
            RaisePg(kLost);
        }
    }
}

RecordsetPtr PgDataService::ToRecordset(Result& r) {
    PGresult* res = r.res;
    const int cols = PQnfields(res), rows = PQntuples(res);
    auto rs = NewRecordset();
    Fields fields = rs->GetFields();
    std::vector<ColKind> kinds(static_cast<std::size_t>(cols));
    for (int c = 0; c < cols; ++c) {
        ColKind k = KindOf(PQftype(res, c));
        long maxLen = 0;
        bool whole = true;
        for (int row = 0; row < rows; ++row) {
            if (PQgetisnull(res, row, c)) continue;
            long n = PQgetlength(res, row, c);
            if (n > maxLen) maxLen = n;
            if (k == ColKind::Numeric || k == ColKind::Whole) {
                const char* v = PQgetvalue(res, row, c);
                for (const char* p = v; *p && whole; ++p)
                    whole = std::isdigit(static_cast<unsigned char>(*p)) || *p == '-';
                if (whole) {
                    long long x = std::strtoll(v, nullptr, 10);
                    whole = x >= std::numeric_limits<std::int32_t>::min() &&
                            x <= std::numeric_limits<std::int32_t>::max();
                }
            }
        }
        if ((k == ColKind::Numeric || k == ColKind::Whole) && !whole) k = ColKind::Real;
        if (k == ColKind::Numeric) k = ColKind::Whole;
        kinds[static_cast<std::size_t>(c)] = k;
        int type = k == ColKind::Whole || k == ColKind::Bool ? ad::Integer
                   : k == ColKind::Real                      ? ad::Double
                                                             : ad::VarChar;
        long size = type == ad::VarChar ? (maxLen > 0 ? maxLen : 255) : 0;
        std::string name = PQfname(res, c);
        std::string unique = name;
        for (int n = 2; fields.Exists(unique); ++n)
            unique = name + "_" + std::to_string(n);
        fields.Append(unique, type, size, ad::FldIsNullable | ad::FldMayBeNull | ad::FldUpdatable);
    }
    rs->Open();
    std::vector<std::vector<Variant>> data(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        FetchProgress::Row(row + 1);
        auto& out = data[static_cast<std::size_t>(row)];
        out.reserve(static_cast<std::size_t>(cols));
        for (int c = 0; c < cols; ++c) {
            if (PQgetisnull(res, row, c)) {
                out.push_back(Variant::Null());
                continue;
            }
            const char* v = PQgetvalue(res, row, c);
            switch (kinds[static_cast<std::size_t>(c)]) {
            case ColKind::Whole:
                out.emplace_back(static_cast<int>(std::strtoll(v, nullptr, 10)));
                break;
            case ColKind::Real:
            case ColKind::Numeric:
                out.emplace_back(std::strtod(v, nullptr));
                break;
            case ColKind::Bool:
                out.emplace_back(v[0] == 't' ? 1 : 0);
                break;
            case ColKind::Text:
                out.emplace_back(
                    std::string(v, static_cast<std::size_t>(PQgetlength(res, row, c))));
                break;
            }
        }
    }
    rs->AppendRecords(std::move(data));
    if (rows > 0) rs->MoveFirst();
    return rs;
}

long PgDataService::Changed(Result& r) {
    const char* n = PQcmdTuples(r.res);
    return n && *n ? std::atol(n) : 0;
}

RecordsetPtr PgDataService::Query(const std::string& sql, const Params& params) {
    FlushBulk();
    int n = 0;
    std::string pg = Placeholders(sql, n);
    auto r = Run(pg, n, params);
    return ToRecordset(*r);
}

long PgDataService::Execute(const std::string& sql, const Params& params) {
    FlushBulk();
    int n = 0;
    std::string pg = WithReturning(Placeholders(sql, n));
    auto r = Run(pg, n, params);
    return Changed(*r);
}

std::unique_ptr<Statement> PgDataService::Prepare(const std::string& sql) {
    return std::make_unique<PgStatement>(*this, sql);
}

void PgDataService::ExecScript(const std::string& sql) {
    FlushBulk();
    Hook(sql);
    EnsureConnected();
    Result r(PQexec(conn_, sql.c_str()));
    auto st = PQresultStatus(r.res);
    if (st == PGRES_COMMAND_OK || st == PGRES_TUPLES_OK || st == PGRES_EMPTY_QUERY) return;
    if (PQstatus(conn_) != CONNECTION_OK) {
        broken_ = true;
        RaisePg(depth_ > 0 ? kLostInTransaction : kLost);
    }
    RaiseResult(r.res, conn_);
}

// Nested transactions become savepoints, so a procedure can run inside a caller's save.
void PgDataService::Begin() {
    if (depth_ == 0) {
        Run("BEGIN", 0, {});
    } else {
        ExecScript("SAVEPOINT sp" + std::to_string(depth_));
    }
    ++depth_;
}

void PgDataService::Commit() {
    if (depth_ == 0) RaisePg("No transaction is open.");
    if (depth_ > 1) {
        ExecScript("RELEASE sp" + std::to_string(depth_ - 1));
        --depth_;
        return;
    }
    // A load left open ends here: its rows sent and its foreign keys back.
    if (bulk_ && !broken_) SetBulkLoad(false);
    bulk_ = false;
    batches_.clear();
    foreignKeys_.clear();
    indexes_.clear();
    if (broken_) {
        depth_ = 0;
        RaisePg(kLostInTransaction);
    }
    Hook("COMMIT");
    Result r(PQexec(conn_, "COMMIT"));
    depth_ = 0;
    auto st = PQresultStatus(r.res);
    if (st != PGRES_COMMAND_OK) {
        if (PQstatus(conn_) != CONNECTION_OK) {
            broken_ = true;
            RaisePg(kLostInTransaction);
        }
        RaiseResult(r.res, conn_);
    }
    // The server answers ROLLBACK to the commit of a transaction that had failed.
    if (std::string(PQcmdStatus(r.res)) == "ROLLBACK")
        RaisePg("An earlier statement of this change failed; nothing of it was saved.");
}

void PgDataService::Rollback() {
    if (depth_ == 0) return;
    --depth_;
    if (depth_ == 0) {
        // Rows still queued belong to the transaction that is going.
        bulk_ = false;
        batches_.clear();
        foreignKeys_.clear();
        indexes_.clear();
    }
    if (!conn_ || PQstatus(conn_) != CONNECTION_OK || broken_) {
        // The server rolled back when the connection went; the next action reconnects.
        if (depth_ == 0) broken_ = true;
        return;
    }
    if (depth_ == 0) {
        Result r(PQexec(conn_, "ROLLBACK"));
    } else {
        std::string sp = "sp" + std::to_string(depth_);
        ExecScript("ROLLBACK TO SAVEPOINT " + sp + "; RELEASE SAVEPOINT " + sp);
    }
}

void PgDataService::SetSessionUser(const std::string& userName, long orgUnitId) {
    user_ = userName;
    orgUnit_ = orgUnitId;
    ApplySession();
}

int PgDataService::ServerPid() const {
    return conn_ ? PQbackendPID(conn_) : 0;
}

} // namespace zelk::host
