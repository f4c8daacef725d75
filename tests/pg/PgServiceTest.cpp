// The data service on a PostgreSQL server, and the host on it next to the host on SQLite.
#include "pg/Backends.h"

#include "host/ReferenceHost.h"
#include "host/bo/DataServiceSqlPort.h"
#include "host/bo/ShapeImpl.h"
#include "platform/Conv.h"

#include <memory>
#include <string>
#include <vector>

namespace zelk::testing {
namespace {

class PgService : public ::testing::Test {
protected:
    void SetUp() override {
        ZELK_SKIP_WITHOUT_PG();
        scratch = std::make_unique<ScratchDatabase>(true);
    }
    std::unique_ptr<ScratchDatabase> scratch;
};

std::string First(host::DataService& db, const std::string& sql, const host::Params& p = {}) {
    auto rs = db.Query(sql, p);
    return rs->EOF() ? "<none>" : CStr(rs->GetFields().Item(std::size_t{0}).Value());
}

void CutConnection(host::PgDataService& db) {
    host::PgDataService::Administer(PgServerUrl(), "SELECT pg_terminate_backend(" +
                                                       std::to_string(db.ServerPid()) + ", 5000)");
}

TEST_F(PgService, StatementsParametersTypesAndTransactions) {
    host::PgDataService db(scratch->path);
    EXPECT_TRUE(db.WasCreated());
    EXPECT_EQ(db.Dialect(), host::sql::Dialect::PostgreSQL);

    // Keys number themselves; LastInsertId answers the new row's key.
    EXPECT_EQ(db.Execute("INSERT INTO org_unit (org_unit_code, org_unit_name) VALUES (?, ?)",
                         {Variant("NE"), Variant("North East")}),
              1);
    const auto unit = db.LastInsertId();
    EXPECT_GT(unit, 0);
    EXPECT_EQ(First(db, "SELECT org_unit_name FROM org_unit WHERE org_unit_id = ?",
                    {Variant(static_cast<int>(unit))}),
              "North East");

    // Types of the recordset's fields follow the columns; '' is stored as NULL.
    db.Execute("INSERT INTO reference (reference_code, full_citation, pub_year) VALUES (?, ?, ?)",
               {Variant("R1"), Variant(""), Variant(1999)});
    auto rs = db.Query("SELECT reference_id, full_citation, pub_year, pub_year / 2.0 AS half, "
                       "COUNT(*) OVER () AS n FROM reference");
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->GetFields().Item("reference_id").Type(), ad::Integer);
    EXPECT_TRUE(rs->Value("full_citation").IsNull());
    EXPECT_EQ(CLng(rs->Value("pub_year")), 1999);
    EXPECT_DOUBLE_EQ(CDbl(rs->Value("half")), 999.5);
    EXPECT_EQ(rs->GetFields().Item("n").Type(), ad::Integer);

    // A prepared statement runs again and again; "?N" names a parameter by number.
    auto st = db.Prepare("INSERT INTO d_owner_type (d_owner_type_id, display_value, "
                         "owner_type_desc) VALUES (?1, ?2, ?2)");
    for (int i = 1; i <= 3; ++i) {
        st->Bind(1, Variant(100 + i));
        st->Bind(2, Variant("Type " + std::to_string(i)));
        EXPECT_EQ(st->Execute(), 1);
    }
    EXPECT_EQ(First(db, "SELECT COUNT(*) FROM d_owner_type WHERE owner_type_desc LIKE 'Type %'"),
              "3");

    // A nested transaction is a savepoint: its rollback leaves the outer work in place.
    {
        host::Transaction outer(db);
        db.Execute("UPDATE org_unit SET org_unit_name = 'Outer'");
        {
            host::Transaction inner(db);
            db.Execute("UPDATE org_unit SET org_unit_name = 'Inner'");
        }
        EXPECT_EQ(First(db, "SELECT MIN(org_unit_name) FROM org_unit"), "Outer");
        outer.Commit();
    }
    EXPECT_FALSE(db.InTransaction());
    // A failed statement inside a transaction: the error is clear and nothing is kept.
    try {
        host::Transaction t(db);
        db.Execute("UPDATE org_unit SET org_unit_name = 'Lost'");
        db.Execute("INSERT INTO org_unit (org_unit_code, org_unit_name) VALUES ('NE', 'Twice')");
        t.Commit();
        ADD_FAILURE() << "the duplicate code was accepted";
    } catch (const ComError& e) {
        EXPECT_EQ(e.Number(), err::ProviderError);
        EXPECT_NE(e.Description().find("breaks a rule"), std::string::npos) << e.Description();
    }
    EXPECT_EQ(First(db, "SELECT MIN(org_unit_name) FROM org_unit"), "Outer");
    try {
        db.Query("SELEKT secret_value FROM org_unit");
        ADD_FAILURE() << "no error";
    } catch (const ComError& e) {
        EXPECT_EQ(e.Description().find("secret_value"), std::string::npos) << e.Description();
    }

    // The server's session user signs the audit trail the triggers write, whatever name the
    // client gives.
    db.SetSessionUser("carol", static_cast<long>(unit));
    const std::string session = First(db, "SELECT session_user::text");
    db.Execute("INSERT INTO shape (has_shape_ind) VALUES ('N')");
    const auto shape = db.LastInsertId();
    db.Execute("UPDATE shape SET qc_com = 'checked' WHERE shape_id = ?",
               {Variant(static_cast<int>(shape))});
    auto audit = db.Query("SELECT action, user_name, column_name, new_value, org_unit_id FROM "
                          "audit_log WHERE table_name = 'shape' ORDER BY audit_log_id");
    ASSERT_EQ(audit->RecordCount(), 2);
    EXPECT_EQ(CStr(audit->Value("action")), "I");
    audit->MoveNext();
    EXPECT_EQ(CStr(audit->Value("user_name")), session);
    EXPECT_EQ(CStr(audit->Value("column_name")), "qc_com");
    EXPECT_EQ(CStr(audit->Value("new_value")), "checked");
    EXPECT_EQ(CLng(audit->Value("org_unit_id")), unit);
}

TEST_F(PgService, ADroppedConnectionReconnectsBetweenActionsAndFailsASaveWhole) {
    {
        auto host = host::ReferenceHost::Open(
            testing::SignedInAs({scratch->path, "ann", 20, 2, true, false}));
        EXPECT_TRUE(host->WasCreated());
        EXPECT_EQ(CLng(host->App()->Call("GetServerType")), 2);
    }
    auto db = std::make_shared<host::PgDataService>(scratch->path, host::OpenMode::ExistingOnly);
    host::PgDataService watcher(scratch->path, host::OpenMode::ExistingOnly);
    db->SetSessionUser("ann", -1);

    // Between two actions: the next one opens the connection again and runs.
    const std::string count = First(*db, "SELECT COUNT(*) FROM ma");
    CutConnection(*db);
    EXPECT_EQ(First(*db, "SELECT COUNT(*) FROM ma"), count);

    auto store = std::make_shared<bo::Store>(std::make_shared<bo::DataServiceSqlPort>(db));
    const std::string shapeId =
        First(watcher, "SELECT MIN(m.shape_id) FROM ma m JOIN managed_area_owner o ON "
                       "o.managed_area_id = m.managed_area_id");
    bo::ShapeImpl shape(store);
    shape.Load(shapeId);
    auto ma = shape.ManagedArea(1);
    const std::string name = CStr(ma->GetProperty("ManagedAreaName"));
    ma->SetProperty("ManagedAreaName", Variant("Cut Short"));
    ma->Children(bo::ChildList::Owners).Item(1)->SetProperty("OwnerNote", Variant("never"));

    // During a save: the server rolls the whole save back, and the save says so.
    db->SetStatementHook([&](const std::string& sql) {
        if (sql.find("UPDATE managed_area_owner") != std::string::npos) CutConnection(*db);
    });
    EXPECT_FALSE(shape.Save());
    EXPECT_NE(shape.LastError().find("connection"), std::string::npos) << shape.LastError();
    EXPECT_TRUE(shape.LastErrorCode().empty());
    db->SetStatementHook({});
    EXPECT_EQ(First(watcher, "SELECT managed_area_name FROM ma WHERE shape_id = " + shapeId), name);
    EXPECT_EQ(First(watcher, "SELECT row_version FROM ma WHERE shape_id = " + shapeId), "1");
    EXPECT_TRUE(shape.HasChildChanges());

    // The edits are still there; the next save reconnects and writes them all.
    ASSERT_TRUE(shape.Save()) << shape.LastError();
    EXPECT_EQ(First(watcher, "SELECT managed_area_name FROM ma WHERE shape_id = " + shapeId),
              "Cut Short");
    EXPECT_EQ(First(watcher, "SELECT o.owner_note FROM managed_area_owner o JOIN ma m ON "
                             "m.managed_area_id = o.managed_area_id WHERE m.shape_id = " +
                                 shapeId + " ORDER BY o.display_order, o.managed_area_owner_id"),
              "never");
}

// The module's Oracle statements answer on PostgreSQL as on SQLite over the same sample data.
TEST_F(PgService, TheModulesStatementsAnswerAsOnSQLite) {
    auto pg =
        host::ReferenceHost::Open(testing::SignedInAs({scratch->path, "ann", 60, 4, true, false}));
    auto lite = host::ReferenceHost::Open({":memory:", "ann", 60, 4, true, false});
    const char* statements[] = {
        // Outer join, with the table order of the module's search.
        "SELECT ma.managed_area_id, d_state.state_code FROM ma, d_state WHERE ma.d_state_id = "
        "d_state.d_state_id(+) ORDER BY ma.managed_area_id",
        "SELECT UNIQUE ma.managed_area_type FROM ma ORDER BY ma.managed_area_type",
        // '' is NULL: a comparison with it finds nothing.
        "SELECT COUNT(*) AS n FROM ma WHERE ma.macode_bcd = ''",
        // LIKE tells case apart; UPPER( ) is how the module matches without case.
        "SELECT COUNT(*) AS n FROM ma WHERE ma.managed_area_name LIKE 'a%'",
        "SELECT COUNT(*) AS n FROM ma WHERE UPPER(ma.managed_area_name) LIKE 'A%'",
        "SELECT ma.managed_area_id, NVL(ma.macode_bcd, 'none') AS code, ma.managed_area_name || "
        "ma.equi_site_id AS joined FROM ma ORDER BY ma.managed_area_id",
        "SELECT * FROM managed_area_wl_vw ORDER BY managed_area_wl_vw.managed_area_name, "
        "managed_area_wl_vw.id",
        "SELECT o.managed_area_id, COUNT(*) AS owners FROM managed_area_owner o GROUP BY "
        "o.managed_area_id ORDER BY o.managed_area_id",
    };
    for (const char* sql : statements) {
        SCOPED_TRACE(sql);
        auto a = pg->App()->CallGetQueryRSXML(sql);
        auto b = lite->App()->CallGetQueryRSXML(sql);
        ASSERT_EQ(a->RecordCount(), b->RecordCount());
        ASSERT_EQ(a->GetFields().Count(), b->GetFields().Count());
        for (; !a->EOF() && !b->EOF(); a->MoveNext(), b->MoveNext())
            for (std::size_t c = 0; c < static_cast<std::size_t>(a->GetFields().Count()); ++c) {
                Variant x = a->GetFields().Item(c).Value(), y = b->GetFields().Item(c).Value();
                ASSERT_EQ(x.IsNull(), y.IsNull()) << a->GetFields().Item(c).Name();
                if (!x.IsNull()) {
                    ASSERT_EQ(CStr(x), CStr(y)) << a->GetFields().Item(c).Name();
                }
            }
    }
    // SYSDATE is the server's time, as text in the stored form.
    auto now =
        pg->App()->CallGetQueryRSXML("SELECT SYSDATE AS d FROM ma WHERE ma.managed_area_id = 1");
    ASSERT_EQ(now->RecordCount(), 1);
    EXPECT_EQ(CStr(now->Value("d")).size(), 19u);
}

TEST_F(PgService, ServerProceduresDeleteAndCopyOnTheServer) {
    auto host =
        host::ReferenceHost::Open(testing::SignedInAs({scratch->path, "ann", 20, 6, true, false}));
    auto& db = *host->Db();
    auto& app = *host->App();
    const long source =
        CLng(db.Query("SELECT MIN(managed_area_id) AS id FROM managed_area_owner")->Value("id"));
    const long target = CLng(db.Query("SELECT MAX(managed_area_id) AS id FROM ma")->Value("id"));
    const long version = CLng(db.Query("SELECT row_version AS v FROM ma WHERE managed_area_id = ?",
                                       {Variant(static_cast<int>(target))})
                                  ->Value("v"));
    const auto owners = [&](long id) {
        return CLng(
            db.Query("SELECT COUNT(*) AS n FROM managed_area_owner WHERE managed_area_id = ?",
                     {Variant(static_cast<int>(id))})
                ->Value("n"));
    };
    const long before = owners(target);
    EXPECT_TRUE(app.Copy("COPY_MA", source, target, "ann"));
    EXPECT_GE(owners(target), owners(source));
    EXPECT_GE(owners(target), before);
    EXPECT_EQ(CLng(db.Query("SELECT row_version AS v FROM ma WHERE managed_area_id = ?",
                            {Variant(static_cast<int>(target))})
                       ->Value("v")),
              version + 1)
        << "whoever read the target before the copy must read it again";

    EXPECT_TRUE(app.Delete("delete_ma_data", source, "ann"));
    EXPECT_EQ(owners(source), 0);
    EXPECT_EQ(
        db.Query("SELECT 1 FROM ma WHERE managed_area_id = ?", {Variant(static_cast<int>(source))})
            ->RecordCount(),
        0);
    EXPECT_GT(CLng(db.Query("SELECT COUNT(*) AS n FROM audit_log WHERE action = 'D' AND "
                            "record_id = ? AND user_name = 'ann'",
                            {Variant(static_cast<int>(source))})
                       ->Value("n")),
              0);
    EXPECT_FALSE(app.Delete("delete_ma_data", source, "ann")) << "already gone";
}

TEST_F(PgService, ABulkLoadCopiesAwkwardTextAndPutsItsForeignKeysBack) {
    host::PgDataService db(scratch->path);
    const std::string keys =
        "SELECT COUNT(*) FROM pg_constraint WHERE contype = 'f' AND connamespace = "
        "current_schema()::regnamespace";
    const std::string before = First(db, keys);
    ASSERT_NE(before, "0");
    const std::string indexes = "SELECT string_agg(indexdef, '; ' ORDER BY indexname) FROM "
                                "pg_indexes WHERE schemaname = current_schema()";
    const std::string indexesBefore = First(db, indexes);
    ASSERT_NE(indexesBefore.find("USING gist"), std::string::npos);
    const std::vector<std::string> texts = {"tab\there", "two\nlines\r", "back\\slash\\N",
                                            "it's \"quoted\"", "Ñandú, 🦤"};
    {
        host::Transaction t(db);
        db.SetBulkLoad(true);
        auto st = db.Prepare("INSERT INTO reference (reference_id, reference_code, full_citation, "
                             "short_citation, pub_year) VALUES (?, ?, ?, 'it''s, (fixed)', 1999)");
        for (std::size_t i = 0; i < texts.size(); ++i) {
            st->Bind(1, Variant(static_cast<int>(i) + 1));
            st->Bind(2, Variant(texts[i]));
            st->Bind(3, i == 0 ? Variant::Null() : Variant(""));
            st->Execute();
        }
        db.SetBulkLoad(false);
        t.Commit();
    }
    for (std::size_t i = 0; i < texts.size(); ++i) {
        auto rs = db.Query("SELECT reference_code, full_citation, short_citation, pub_year FROM "
                           "reference WHERE reference_id = ?",
                           {Variant(static_cast<int>(i) + 1)});
        ASSERT_FALSE(rs->EOF());
        EXPECT_EQ(CStr(rs->Value("reference_code")), texts[i]);
        EXPECT_TRUE(rs->Value("full_citation").IsNull());
        EXPECT_EQ(CStr(rs->Value("short_citation")), "it's, (fixed)");
        EXPECT_EQ(CLng(rs->Value("pub_year")), 1999);
    }
    EXPECT_EQ(First(db, keys), before);
    EXPECT_EQ(First(db, indexes), indexesBefore);

    // A row that breaks a foreign key fails the load when the keys come back, and the whole
    // load goes with it.
    try {
        host::Transaction t(db);
        db.SetBulkLoad(true);
        auto st = db.Prepare("INSERT INTO managed_area_alias (managed_area_alias_id, "
                             "managed_area_id, managed_area_alias) VALUES (?, ?, ?)");
        st->Bind(1, Variant(1));
        st->Bind(2, Variant(987654));
        st->Bind(3, Variant("Nowhere Tract"));
        st->Execute();
        db.SetBulkLoad(false);
        t.Commit();
        ADD_FAILURE() << "the load of an alias of no managed area was taken";
    } catch (const ComError& e) {
        EXPECT_NE(e.Description().find("rule of the database"), std::string::npos)
            << e.Description();
    }
    EXPECT_EQ(First(db, "SELECT COUNT(*) FROM managed_area_alias"), "0");
    EXPECT_EQ(First(db, keys), before);
    EXPECT_EQ(First(db, indexes), indexesBefore);
    EXPECT_EQ(First(db, keys), before);
}

} // namespace
} // namespace zelk::testing
