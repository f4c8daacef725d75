#include "support/FaultInjector.h"

#include "host/data/SqliteSupport.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "support/TestBackend.h"

#include <algorithm>

#include <map>
#include <regex>
#include <sstream>

namespace zelk::testing {

namespace {
// SQLite's primary result codes for the conditions injected.
constexpr int kIoErr = 10;
constexpr int kFull = 13;
constexpr int kBusy = 5;
} // namespace

FaultInjector::FaultInjector(const host::DataServicePtr& db) : db_(db) {
    SetStatementHook(*db_, [this](const std::string& sql) { OnStatement(sql); });
}

FaultInjector::~FaultInjector() {
    SetStatementHook(*db_, nullptr);
}

std::string FaultCause(Fault kind) {
    const bool pg = OnPostgres();
    switch (kind) {
    case Fault::DiskFull:
        return pg ? "No space left on device" : "disk is full";
    case Fault::Locked:
        return pg ? "lock timeout" : "locked";
    case Fault::IoError:
        break;
    }
    return pg ? "could not read block" : "disk I/O error";
}

void FaultInjector::FailAt(long n, Fault kind) {
    on_ = true;
    failAt_ = n;
    seen_ = 0;
    fired_ = false;
    kind_ = kind;
    failedSql_.clear();
}

void FaultInjector::Off() {
    on_ = false;
    failAt_ = 0;
}

void FaultInjector::OnStatement(const std::string& sql) {
    if (!on_) return;
    if (++seen_ != failAt_ || fired_) return;
    fired_ = true;
    failedSql_ = sql;
    if (OnPostgres())
        // What the PostgreSQL service makes of the server's refusal.
        Raise(err::ProviderError,
              kind_ == Fault::DiskFull ? "The database reported an error: could not extend file "
                                         "\"base/16384/2619\": No space left on device."
              : kind_ == Fault::Locked ? "The database reported an error: canceling statement "
                                         "due to lock timeout."
                                       : "The database reported an error: could not read block "
                                         "12 in file \"base/16384/2619\": I/O error.",
              "DataService");
    switch (kind_) {
    case Fault::IoError:
        host::RaiseSqlite(nullptr, kIoErr, "");
    case Fault::DiskFull:
        host::RaiseSqlite(nullptr, kFull, "");
    case Fault::Locked:
        host::RaiseSqlite(nullptr, kBusy, "");
    }
}

std::string DatabaseSnapshot(host::DataService& db,
                             const std::map<std::string, std::string>& rowsKept) {
    std::ostringstream out;
    auto tables = db.Query("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT "
                           "LIKE 'sqlite%' ORDER BY name");
    std::vector<std::string> names;
    for (; !tables->EOF(); tables->MoveNext())
        names.push_back(CStr(tables->GetFields().Item(std::size_t{0}).Value()));
    for (const auto& name : names) {
        out << "## " << name << "\n";
        auto kept = rowsKept.find(name);
        if (kept != rowsKept.end() && kept->second == "0") continue; // a table left out
        const std::string where = kept == rowsKept.end() ? "" : " WHERE " + kept->second;
        auto rs = db.Query("SELECT * FROM \"" + name + "\"" + where);
        Fields f = rs->GetFields();
        const auto n = static_cast<std::size_t>(f.Count());
        // Sorted here: the backends keep rows in different orders.
        std::vector<std::string> rows;
        for (; !rs->EOF(); rs->MoveNext()) {
            std::string row;
            for (std::size_t c = 0; c < n; ++c) {
                Variant v = f.Item(c).Value();
                row += (v.IsNull() ? std::string("<null>") : CStr(v)) + '\x1f';
            }
            rows.push_back(std::move(row));
        }
        std::sort(rows.begin(), rows.end());
        for (const auto& r : rows)
            out << r << '\n';
    }
    return out.str();
}

std::string SnapshotDiff(const std::string& before, const std::string& after) {
    auto split = [](const std::string& s) {
        std::map<std::string, std::string> tables;
        std::string current;
        std::istringstream in(s);
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("## ", 0) == 0)
                current = line.substr(3);
            else
                tables[current] += line + "\n";
        }
        return tables;
    };
    auto a = split(before), b = split(after);
    std::string out;
    for (const auto& [name, rows] : a)
        if (b[name] != rows) out += name + " ";
    for (const auto& [name, rows] : b)
        if (!a.count(name)) out += name + "(new) ";
    return out.empty() ? "no table differs" : "changed: " + out;
}

bool LooksLikeSql(const std::string& text) {
    static const std::regex sql(
        R"((\bselect\b[\s\S]*\bfrom\b)|(\binsert\s+into\b)|(\bupdate\b\s+\w+\s+\bset\b)|)"
        R"((\bdelete\s+from\b)|(\bwhere\b[\s\S]*=)|(\bnear\s+")|(\bsqlite)|(\bsyntax error\b)|)"
        R"((\blike\s+')|(\bupper\()|(managed_area_wl_vw)|(unrecognized token)|(\bunion\s+select\b))",
        std::regex::icase);
    return std::regex_search(text, sql);
}

} // namespace zelk::testing
