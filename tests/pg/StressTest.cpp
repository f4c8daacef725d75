// Several clients editing the same few records at once, each on its own connection.
#include "pg/Backends.h"

#include "host/ReferenceHost.h"
#include "host/bo/DataServiceSqlPort.h"
#include "host/bo/ShapeImpl.h"
#include "host/data/SqliteDataService.h"
#include "platform/Conv.h"

#include <array>
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

INSTANTIATE_TEST_SUITE_P(Backends, Stress, ::testing::Values(false, true), BackendName);

} // namespace
} // namespace zelk::testing
