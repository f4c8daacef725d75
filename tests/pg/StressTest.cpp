// Several clients editing the same few records at once, each on its own connection.
#include "pg/Backends.h"

#include "host/ReferenceHost.h"
#include "host/bo/DataServiceSqlPort.h"
#include "host/bo/ShapeImpl.h"
#include "host/data/SqliteDataService.h"
#include "platform/Conv.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

namespace zelk::testing {
namespace {

class Stress : public ::testing::TestWithParam<bool> {};

constexpr int kClients = 4;
constexpr int kEdits = 500;
constexpr int kRecords = 6;

struct Tally {
    // Saves that committed, per record: [0] the managed area's counter, [1] its first owner's.
    std::array<std::array<long, 2>, kRecords> saved{};
    long refused = 0;
    // Saves turned away because the database stayed locked past the busy timeout (a slow
    // machine, or memcheck): reported to the user, nothing written.
    long busy = 0;
    std::vector<std::string> failures;
};

std::shared_ptr<host::DataService> Connect(const std::string& path, bool postgres) {
    if (postgres) return std::make_shared<host::PgDataService>(path, host::OpenMode::ExistingOnly);
    auto db = std::make_shared<host::SqliteDataService>(path, host::OpenMode::ExistingOnly);
    db->ExecScript("PRAGMA synchronous = NORMAL;");
    return db;
}

long Number(const Variant& v) {
    return v.IsNull() ? 0 : static_cast<long>(CLng(v));
}

// Each edit reads a record, adds one to a counter in it (a field of the managed area or of a
// child row) and saves. A save refused because another client saved first is fine; a save
// that committed must leave its increment in the database, so each counter must end equal to
// the number of committed saves that raised it.
TEST_P(Stress, NoCommittedChangeIsLost) {
    if (GetParam()) ZELK_SKIP_WITHOUT_PG();
    ScratchDatabase scratch(GetParam());
    std::array<long, kRecords> shapes{}, ids{};
    {
        auto setup =
            host::ReferenceHost::Open(SignedInAs({scratch.path, "setup", 40, 11, true, false}));
        auto& db = *setup->Db();
        auto rs = db.Query("SELECT m.managed_area_id AS id, m.shape_id AS shape FROM ma m WHERE "
                           "EXISTS (SELECT 1 FROM managed_area_owner o WHERE o.managed_area_id = "
                           "m.managed_area_id) ORDER BY m.managed_area_id");
        for (int k = 0; k < kRecords; ++k, rs->MoveNext()) {
            ASSERT_FALSE(rs->EOF()) << "too few sample records with owners";
            ids[static_cast<std::size_t>(k)] = CLng(rs->Value("id"));
            shapes[static_cast<std::size_t>(k)] = CLng(rs->Value("shape"));
        }
        db.Execute("UPDATE ma SET managed_area_com = NULL");
        db.Execute("UPDATE managed_area_owner SET owner_note = NULL");
    }

    Tally tally;
    std::mutex m;
    std::vector<std::thread> clients;
    for (int c = 0; c < kClients; ++c) {
        clients.emplace_back([&, c] {
            Tally mine;
            try {
                auto db = Connect(scratch.path, GetParam());
                db->SetSessionUser("client" + std::to_string(c), -1);
                auto store =
                    std::make_shared<bo::Store>(std::make_shared<bo::DataServiceSqlPort>(db));
                std::mt19937 rng(static_cast<unsigned>(97 + c));
                for (int e = 0; e < kEdits; ++e) {
                    const auto k = static_cast<std::size_t>(rng() % kRecords);
                    const int which = static_cast<int>(rng() % 2);
                    bo::ShapeImpl shape(store);
                    shape.Load(std::to_string(shapes[k]));
                    auto ma = shape.ManagedArea(1);
                    if (which == 0) {
                        ma->SetProperty(
                            "ManagedAreaCom",
                            Variant(std::to_string(Number(ma->GetProperty("ManagedAreaCom")) + 1)));
                    } else {
                        auto owner = ma->Children(bo::ChildList::Owners).Item(1);
                        owner->SetProperty(
                            "OwnerNote",
                            Variant(std::to_string(Number(owner->GetProperty("OwnerNote")) + 1)));
                    }
                    // Let the others in between the read and the save now and then.
                    if (rng() % 3 == 0) std::this_thread::yield();
                    if (shape.Save())
                        ++mine.saved[k][static_cast<std::size_t>(which)];
                    else if (shape.LastErrorCode() == "MGA900")
                        ++mine.refused;
                    else if (shape.LastError().find("busy") != std::string::npos ||
                             shape.LastError().find("locked") != std::string::npos)
                        ++mine.busy;
                    else
                        mine.failures.push_back(shape.LastError());
                }
            } catch (const ComError& e) {
                mine.failures.push_back(e.Description());
            }
            std::lock_guard<std::mutex> lock(m);
            for (int k = 0; k < kRecords; ++k)
                for (int w = 0; w < 2; ++w)
                    tally.saved[static_cast<std::size_t>(k)][static_cast<std::size_t>(w)] +=
                        mine.saved[static_cast<std::size_t>(k)][static_cast<std::size_t>(w)];
            tally.refused += mine.refused;
            tally.busy += mine.busy;
            tally.failures.insert(tally.failures.end(), mine.failures.begin(), mine.failures.end());
        });
    }
    for (auto& t : clients)
        t.join();

    EXPECT_TRUE(tally.failures.empty()) << tally.failures.front();
    auto db = Connect(scratch.path, GetParam());
    long committed = 0;
    for (std::size_t k = 0; k < kRecords; ++k) {
        const Variant id(static_cast<int>(ids[k]));
        long maCount =
            Number(db->Query("SELECT managed_area_com AS n FROM ma WHERE managed_area_id = ?", {id})
                       ->Value("n"));
        long ownerCount =
            Number(db->Query("SELECT owner_note AS n FROM managed_area_owner WHERE managed_area_id "
                             "= ? ORDER BY display_order, managed_area_owner_id",
                             {id})
                       ->Value("n"));
        EXPECT_EQ(maCount, tally.saved[k][0]) << "managed area " << ids[k];
        EXPECT_EQ(ownerCount, tally.saved[k][1]) << "owner of managed area " << ids[k];
        long version =
            Number(db->Query("SELECT row_version AS v FROM ma WHERE managed_area_id = ?", {id})
                       ->Value("v"));
        EXPECT_EQ(version, 1 + tally.saved[k][0] + tally.saved[k][1]) << "one version per save";
        committed += tally.saved[k][0] + tally.saved[k][1];
    }
    EXPECT_GT(committed, kEdits / 2);
    EXPECT_GT(tally.refused, 0) << "the clients never met; the test proves nothing";
    EXPECT_EQ(committed + tally.refused + tally.busy, static_cast<long>(kClients) * kEdits);
}

// Edits per client of the merging run: ZELK_STRESS_EDITS, or 500.
int MergeEdits() {
    const char* n = std::getenv("ZELK_STRESS_EDITS");
    return n && std::atoi(n) > 0 ? std::atoi(n) : 500;
}

constexpr int kFields = 2; // the managed area's comment, the first owner's note

// One save that committed: what the record's two fields held after it, and the edit it carried.
struct Commit {
    int client = 0, edit = 0;
    std::size_t record = 0;
    long version = 0;
    std::array<std::string, kFields> values;
    int field = 0;     // the field the edit set
    std::string token; // to this value
    bool kept = true;  // false when a merge took the other user's value instead
    int merges = 0;    // merges before it got through
};

// One choice of a merge, for the failure messages.
struct Choice {
    int client, edit;
    std::size_t record;
    std::string field, mine, theirs;
    bool theirsTaken;
};

std::string Text(const Variant& v) {
    return v.IsNull() || v.IsEmpty() ? std::string() : CStr(v);
}

// Each edit sets one field of a record to a value of its own and saves. A save refused because
// another client saved first is merged (each conflict decided at random, and logged) and saved
// again, until it gets through. In each record's order of versions, every committed save must
// hold, in each field, its own value where its edit was kept and otherwise what the save
// before it left; the database must hold what the last save left.
TEST_P(Stress, MergedSavesKeepEveryCommittedChangeNotChosenAway) {
    if (GetParam()) ZELK_SKIP_WITHOUT_PG();
    const int edits = MergeEdits();
    ScratchDatabase scratch(GetParam());
    std::array<long, kRecords> shapes{}, ids{}, ownerIds{};
    {
        auto setup =
            host::ReferenceHost::Open(SignedInAs({scratch.path, "setup", 40, 11, true, false}));
        auto& db = *setup->Db();
        auto rs = db.Query("SELECT m.managed_area_id AS id, m.shape_id AS shape, (SELECT "
                           "MIN(o.managed_area_owner_id) FROM managed_area_owner o WHERE "
                           "o.managed_area_id = m.managed_area_id) AS owner FROM ma m WHERE "
                           "EXISTS (SELECT 1 FROM managed_area_owner o WHERE o.managed_area_id = "
                           "m.managed_area_id) ORDER BY m.managed_area_id");
        for (std::size_t k = 0; k < kRecords; ++k, rs->MoveNext()) {
            ASSERT_FALSE(rs->EOF()) << "too few sample records with owners";
            ids[k] = CLng(rs->Value("id"));
            shapes[k] = CLng(rs->Value("shape"));
            ownerIds[k] = CLng(rs->Value("owner"));
        }
        db.Execute("UPDATE ma SET managed_area_com = NULL");
        db.Execute("UPDATE managed_area_owner SET owner_note = NULL");
    }

    std::vector<Commit> commits;
    std::vector<Choice> choices;
    std::vector<std::string> failures;
    long busy = 0, merges = 0, unwritten = 0;
    std::mutex m;
    std::vector<std::thread> clients;
    for (int c = 0; c < kClients; ++c) {
        clients.emplace_back([&, c] {
            std::vector<Commit> mine;
            std::vector<Choice> chosen;
            std::vector<std::string> failed;
            long myBusy = 0, myMerges = 0, myUnwritten = 0;
            try {
                auto db = Connect(scratch.path, GetParam());
                db->SetSessionUser("client" + std::to_string(c), -1);
                auto store =
                    std::make_shared<bo::Store>(std::make_shared<bo::DataServiceSqlPort>(db));
                std::mt19937 rng(static_cast<unsigned>(131 + c));
                for (int e = 0; e < edits && failed.empty(); ++e) {
                    Commit x;
                    x.client = c;
                    x.edit = e;
                    x.record = static_cast<std::size_t>(rng() % kRecords);
                    x.field = static_cast<int>(rng() % kFields);
                    x.token = "c" + std::to_string(c) + "e" + std::to_string(e);
                    auto shape = std::make_shared<bo::ShapeImpl>(store);
                    shape->Load(std::to_string(shapes[x.record]));
                    auto ma = shape->ManagedArea(1);
                    auto owner = [&] {
                        return ma->Children(bo::ChildList::Owners)
                            .Find("ID = " + std::to_string(ownerIds[x.record]));
                    };
                    // Both fields in hand from the start, so what the objects hold after
                    // the save is what it committed, not a later read of the database.
                    owner();
                    if (x.field == 0)
                        ma->SetProperty("ManagedAreaCom", Variant(x.token));
                    else
                        owner()->SetProperty("OwnerNote", Variant(x.token));
                    if (rng() % 3 == 0) std::this_thread::yield();
                    for (;;) {
                        const Variant before = shape->Ma().RowVersion();
                        if (shape->Save()) {
                            const Variant after = shape->Ma().RowVersion();
                            // Nothing left to write once the merge took theirs: no commit.
                            if (after == before) {
                                ++myUnwritten;
                                break;
                            }
                            x.version = CLng(after);
                            x.values = {Text(ma->GetProperty("ManagedAreaCom")),
                                        Text(owner()->GetProperty("OwnerNote"))};
                            mine.push_back(x);
                            break;
                        }
                        if (shape->LastErrorCode() != "MGA900") {
                            const std::string& why = shape->LastError();
                            if (why.find("busy") != std::string::npos ||
                                why.find("locked") != std::string::npos)
                                ++myBusy;
                            else
                                failed.push_back(why);
                            break;
                        }
                        auto merge = shape->PrepareMerge();
                        if (!merge || !merge->RecordExists()) {
                            failed.push_back("nothing to merge with for " + x.token);
                            break;
                        }
                        ++myMerges;
                        ++x.merges;
                        for (auto& conflict : merge->Conflicts()) {
                            conflict.takeTheirs = rng() % 2 == 0;
                            chosen.push_back({c, e, x.record,
                                              conflict.kind == bo::MergeConflict::Kind::Row
                                                  ? "owner row"
                                                  : conflict.field,
                                              conflict.mine, conflict.theirs, conflict.takeTheirs});
                            if (conflict.takeTheirs) x.kept = false;
                        }
                        merge->Apply();
                    }
                }
            } catch (const ComError& e) {
                failed.push_back(e.Description());
            }
            std::lock_guard<std::mutex> lock(m);
            commits.insert(commits.end(), mine.begin(), mine.end());
            choices.insert(choices.end(), chosen.begin(), chosen.end());
            failures.insert(failures.end(), failed.begin(), failed.end());
            busy += myBusy;
            merges += myMerges;
            unwritten += myUnwritten;
        });
    }
    for (auto& t : clients)
        t.join();
    ASSERT_TRUE(failures.empty()) << failures.front();

    auto chosenFor = [&](const Commit& x) {
        std::string out;
        for (const auto& ch : choices)
            if (ch.client == x.client && ch.edit == x.edit)
                out += " [" + ch.field + ": mine " + ch.mine + ", theirs " + ch.theirs + " -> " +
                       (ch.theirsTaken ? "theirs" : "mine") + "]";
        return out;
    };
    std::sort(commits.begin(), commits.end(), [](const Commit& a, const Commit& b) {
        return a.record != b.record ? a.record < b.record : a.version < b.version;
    });
    auto db = Connect(scratch.path, GetParam());
    std::size_t next = 0;
    long lostByChoice = 0;
    for (std::size_t k = 0; k < kRecords; ++k) {
        std::array<std::string, kFields> left{}; // what the saves so far left in the record
        long version = 1;
        for (; next < commits.size() && commits[next].record == k; ++next) {
            const Commit& x = commits[next];
            ++version;
            ASSERT_EQ(x.version, version) << "record " << ids[k] << ": one version per save";
            std::array<std::string, kFields> expected = left;
            if (x.kept)
                expected[static_cast<std::size_t>(x.field)] = x.token;
            else
                ++lostByChoice;
            EXPECT_EQ(x.values, expected)
                << "record " << ids[k] << " version " << x.version << " by " << x.token
                << (x.kept ? " (kept)" : " (theirs taken)") << chosenFor(x);
            left = x.values;
        }
        const Variant id(static_cast<int>(ids[k]));
        EXPECT_EQ(
            Text(db->Query("SELECT managed_area_com AS v FROM ma WHERE managed_area_id = ?", {id})
                     ->Value("v")),
            left[0])
            << "managed area " << ids[k];
        EXPECT_EQ(Text(db->Query("SELECT owner_note AS v FROM managed_area_owner WHERE "
                                 "managed_area_owner_id = ?",
                                 {Variant(static_cast<int>(ownerIds[k]))})
                           ->Value("v")),
                  left[1])
            << "owner of managed area " << ids[k];
        EXPECT_EQ(
            Number(db->Query("SELECT row_version AS v FROM ma WHERE managed_area_id = ?", {id})
                       ->Value("v")),
            version);
    }
    EXPECT_GT(merges, 0) << "the clients never met; the test proves nothing";
    EXPECT_FALSE(choices.empty()) << "no merge ever had a conflict to choose";
    // Every edit got through, unless the database stayed locked or a merge chose it away.
    EXPECT_EQ(static_cast<long>(commits.size()) + busy + unwritten,
              static_cast<long>(kClients) * edits);
    EXPECT_EQ(lostByChoice, 0) << "a save whose own edit was chosen away has nothing to write";
}

INSTANTIATE_TEST_SUITE_P(Backends, Stress, ::testing::Values(false, true), BackendName);

} // namespace
} // namespace zelk::testing
