#include "editor/EditorFixture.h"

#include "host/data/PgDataService.h"
#include "host/data/SqliteDataService.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <regex>
#include <set>

namespace zelk::testing {
namespace {

// Tables that grow with the number of managed areas; the domain tables stay small.
bool GrowsWithAreas(std::string table) {
    std::transform(table.begin(), table.end(), table.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* t : {"ma", "shape", "shape_geometry", "element_managed_area",
                          "conservation_site", "reference"})
        if (table == t) return true;
    return table.rfind("managed_area_", 0) == 0 || table.rfind("shape_", 0) == 0;
}

bool IsRead(const std::string& sql) {
    std::string head;
    for (char c : sql) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (!head.empty()) break;
            continue;
        }
        head += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return head == "SELECT" || head == "WITH";
}

// SQLite's plan names a table by its alias: the alias of each table the statement reads.
std::map<std::string, std::string> Aliases(const std::string& sql) {
    static const std::regex from(R"((?:\bFROM|\bJOIN|,)\s+(\w+)(?:\s+(?:AS\s+)?(\w+))?)",
                                 std::regex::icase);
    static const std::set<std::string> words = {"WHERE", "LEFT",  "RIGHT", "INNER", "JOIN", "ON",
                                                "ORDER", "GROUP", "UNION", "USING", "CROSS"};
    std::map<std::string, std::string> out;
    for (auto m = std::sregex_iterator(sql.begin(), sql.end(), from); m != std::sregex_iterator();
         ++m) {
        std::string alias = (*m)[2];
        std::string upper = alias;
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        if (!alias.empty() && !words.count(upper)) out[alias] = (*m)[1];
    }
    return out;
}

// The plan's lines that read a growing table from end to end, one per table.
std::vector<std::string> FullScans(host::DataService& db, const std::string& sql) {
    std::vector<std::string> found;
    if (dynamic_cast<host::SqliteDataService*>(&db)) {
        const auto aliases = Aliases(sql);
        auto plan = db.Query("EXPLAIN QUERY PLAN " + sql);
        for (; !plan->EOF(); plan->MoveNext()) {
            const std::string line = CStr(plan->Value("detail"));
            // "SCAN t", "SCAN t AS a", "SCAN t USING INDEX i": every row of t is visited.
            if (line.rfind("SCAN ", 0) != 0) continue;
            std::string table = line.substr(5, line.find(' ', 5) - 5);
            if (auto a = aliases.find(table); a != aliases.end()) table = a->second;
            if (GrowsWithAreas(table)) found.push_back(line);
        }
        return found;
    }
    // The server would scan a small test table whatever its indexes; with sequential scans
    // priced out, one left in the plan has no index to take its place. The values are unknown
    // here, so the plan is the generic one.
    int params = 0;
    for (std::size_t i = sql.find('$'); i != std::string::npos; i = sql.find('$', i + 1)) {
        std::size_t j = i + 1;
        while (j < sql.size() && std::isdigit(static_cast<unsigned char>(sql[j])))
            ++j;
        if (j > i + 1) params = std::max(params, std::stoi(sql.substr(i + 1, j - i - 1)));
    }
    db.ExecScript("SET enable_seqscan = off; SET plan_cache_mode = force_generic_plan;");
    db.ExecScript("PREPARE zelk_plan AS " + sql);
    std::string args;
    for (int p = 0; p < params; ++p)
        args += std::string(p ? ", " : "") + "NULL";
    auto plan = db.Query("EXPLAIN EXECUTE zelk_plan" + (params ? "(" + args + ")" : ""));
    for (; !plan->EOF(); plan->MoveNext()) {
        const std::string line = CStr(plan->GetFields().Item(std::size_t{0}).Value());
        const std::size_t at = line.find("Seq Scan on ");
        if (at == std::string::npos) continue;
        std::string table = line.substr(at + 12, line.find(' ', at + 12) - at - 12);
        if (GrowsWithAreas(table)) found.push_back(line);
    }
    db.ExecScript("DEALLOCATE zelk_plan; RESET enable_seqscan; RESET plan_cache_mode;");
    return found;
}

using QueryPlans = EditorTest;

// A record loads as fast from a million areas as from a thousand only while every statement
// it sends finds its rows through an index.
TEST_F(QueryPlans, LoadingARecordAndShowingEveryPageReadsNoGrowingTableWhole) {
    Init();
    long id = FirstId("SELECT m.managed_area_id FROM ma m WHERE EXISTS (SELECT 1 FROM "
                      "element_managed_area e WHERE e.managed_area_id = m.managed_area_id) AND "
                      "EXISTS (SELECT 1 FROM managed_area_owner o WHERE o.managed_area_id = "
                      "m.managed_area_id) ORDER BY m.managed_area_id LIMIT 1");
    ASSERT_GT(id, 0);
    std::vector<std::string> statements;
    auto hook = [&](const std::string& sql) { statements.push_back(sql); };
    auto* lite = dynamic_cast<host::SqliteDataService*>(host->Db().get());
    auto* server = dynamic_cast<host::PgDataService*>(host->Db().get());
    ASSERT_TRUE(lite || server);
    if (lite) lite->SetStatementHook(hook);
    if (server) server->SetStatementHook(hook);
    editor->LoadData(id);
    for (int p = 1; p < editor::PageCount; ++p)
        ASSERT_TRUE(editor->tabManagedAreas->UserSelectTab(p)) << p;
    if (lite) lite->SetStatementHook(nullptr);
    if (server) server->SetStatementHook(nullptr);

    std::set<std::string> reads;
    for (const std::string& sql : statements)
        if (IsRead(sql)) reads.insert(sql);
    // The shape, the record, its child lists and its elements at the least.
    EXPECT_GE(reads.size(), 8u);
    for (const std::string& sql : reads)
        for (const std::string& scan : FullScans(*host->Db(), sql))
            ADD_FAILURE() << scan << "\n  in: " << sql;
}

} // namespace
} // namespace zelk::testing
