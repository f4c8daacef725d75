#include "BoFixture.h"

#include <string>

namespace zelk::bo::test {

using Persistence = BoFixture;

// A typical edit: a field of each object, one owner changed, one removed, one alias added.
void TypicalEdit(IShape& shape) {
    shape.SetProperty("MapQcBy", "qc");
    auto ma = shape.ManagedArea(1);
    ma->SetProperty("ManagedAreaName", "Green Mountain NWR");
    auto& owners = ma->Children(ChildList::Owners);
    owners.Item(2)->SetProperty("OwnerNote", "easement");
    owners.Remove(1);
    auto alias = ma->Children(ChildList::Aliases).AddNew();
    alias->SetProperty("ManagedAreaAlias", "Green Mtn");
    alias->SetProperty("DisplayOrder", 2);
    alias->SetProperty("RecCreateUser", "ann");
}

TEST_F(Persistence, LoadChangeSaveReloadRoundTrip) {
    long before = port->StatementCount();
    auto shape = LoadShape();
    auto ma = shape->ManagedArea(1);
    for (int l = 0; l < ChildListCount; ++l)
        ma->Children(static_cast<ChildList>(l)).Count();
    shape->OtherSpatialAttributes().Count();
    EXPECT_LE(port->StatementCount() - before, 15) << "load with every list read";
    EXPECT_EQ(CStr(ma->Children(ChildList::Counties).Item(1)->GetProperty("CountyName")),
              "Addison");

    TypicalEdit(*shape);
    ma->Children(ChildList::Owners).Item(1)->SetProperty("RecLastModUser", "bob");
    ASSERT_TRUE(shape->Save()) << shape->LastError();
    EXPECT_FALSE(shape->HasChanges());
    EXPECT_FALSE(shape->HasChildChanges());
    auto alias = ma->Children(ChildList::Aliases).Item(2);
    EXPECT_GT(CLng(alias->GetProperty("ID")), 0) << "real ID after the commit";
    EXPECT_FALSE(alias->IsNew());
    EXPECT_FALSE(alias->GetProperty("RecCreateDate").IsNull());

    auto again = LoadShape();
    auto ma2 = again->ManagedArea(1);
    EXPECT_EQ(CStr(ma2->GetProperty("ManagedAreaName")), "Green Mountain NWR");
    EXPECT_EQ(CStr(again->GetProperty("MapQcBy")), "qc");
    auto& owners = ma2->Children(ChildList::Owners);
    ASSERT_EQ(owners.Count(), 1);
    EXPECT_EQ(CStr(owners.Item(1)->GetProperty("OwnerNote")), "easement");
    EXPECT_EQ(CStr(owners.Item(1)->GetProperty("RecLastModUser")), "bob");
    EXPECT_FALSE(owners.Item(1)->GetProperty("RecLastModDate").IsNull());
    auto& aliases = ma2->Children(ChildList::Aliases);
    ASSERT_EQ(aliases.Count(), 2);
    EXPECT_EQ(CStr(aliases.Item(2)->GetProperty("ManagedAreaAlias")), "Green Mtn");
    EXPECT_EQ(CStr(aliases.Item(2)->GetProperty("RecCreateUser")), "ann");
    EXPECT_EQ(CLng(aliases.Item(2)->GetProperty("ManagedAreaId")), 10);

    // Drop forgets without deleting; a save then has nothing to do.
    aliases.Drop(1);
    long s0 = port->StatementCount();
    EXPECT_TRUE(again->Save());
    EXPECT_EQ(port->StatementCount() - s0, 1) << "only the commit";
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM managed_area_alias"), 2);
}

TEST_F(Persistence, NewRecordGetsRealIdsOnlyAfterCommit) {
    auto shape = NewShape();
    shape->NewRecord();
    shape->SetCreateUser("ann");
    shape->SetOrgUnitId(7);
    auto ma = shape->ManagedArea(1);
    long tempId = ma->ManagedAreaId();
    ma->SetProperty("ManagedAreaName", "New Preserve");
    auto owner = ma->Children(ChildList::Owners).AddNew();
    owner->SetProperty("OwnerName", "Land Trust");

    port->FailAt(3); // the owner insert
    EXPECT_FALSE(shape->Save());
    EXPECT_NE(shape->LastError().find("Injected"), std::string::npos);
    EXPECT_EQ(ma->ManagedAreaId(), tempId);
    EXPECT_TRUE(shape->IsNew());
    EXPECT_TRUE(ma->IsNew());
    EXPECT_TRUE(owner->IsNew());
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM ma"), 1);

    ASSERT_TRUE(shape->Save()) << shape->LastError();
    EXPECT_GT(ma->ManagedAreaId(), 0);
    EXPECT_GT(shape->ShapeId(), 1);
    EXPECT_FALSE(shape->IsNew());
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM ma"), 2);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM managed_area_owner WHERE managed_area_id = " +
                     std::to_string(ma->ManagedAreaId())),
              1);
    EXPECT_EQ(Scalar("SELECT shape_id FROM ma WHERE managed_area_id = " +
                     std::to_string(ma->ManagedAreaId())),
              shape->ShapeId());
    EXPECT_EQ(Scalar("SELECT org_unit_id FROM shape WHERE shape_id = " +
                     std::to_string(shape->ShapeId())),
              7);
}

TEST_F(Persistence, FailureAtEveryStatementLeavesDatabaseAndObjectsUnchanged) {
    // Count the statements of the typical save on a scratch copy of the same edit.
    long total = 0;
    {
        auto probe = LoadShape();
        TypicalEdit(*probe);
        long s0 = port->StatementCount();
        ASSERT_TRUE(probe->Save());
        total = port->StatementCount() - s0;
        SetUp(); // fresh database for the real run
    }
    ASSERT_GE(total, 6);
    auto shape = LoadShape();
    TypicalEdit(*shape);
    std::string before = Dump();
    for (long n = 1; n <= total; ++n) {
        port->FailAt(n);
        EXPECT_FALSE(shape->Save()) << "statement " << n;
        port->FailAt(0);
        EXPECT_EQ(Dump(), before) << "statement " << n;
        EXPECT_TRUE(shape->HasChanges());
        EXPECT_TRUE(shape->HasChildChanges());
        auto ma = shape->ManagedArea(1);
        EXPECT_EQ(ma->Children(ChildList::Owners).Count(), 1);
        EXPECT_LT(CLng(ma->Children(ChildList::Aliases).Item(2)->GetProperty("ID")), 0);
    }
    ASSERT_TRUE(shape->Save()) << shape->LastError();
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM managed_area_owner"), 1);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM managed_area_alias"), 2) << "saved once";
}

TEST_F(Persistence, TooLongTextIsRefusedBeforeAnythingIsWritten) {
    auto shape = LoadShape();
    auto ma = shape->ManagedArea(1);
    ma->SetProperty("ManagedAreaName", "Short");
    ma->Children(ChildList::Owners).Item(1)->SetProperty("PrimaryOwnerInd", "YES");
    std::string before = Dump();
    EXPECT_FALSE(shape->Save());
    EXPECT_NE(shape->LastError().find("PrimaryOwnerInd is too long"), std::string::npos)
        << shape->LastError();
    EXPECT_EQ(Dump(), before);
    EXPECT_EQ(CStr(ma->Children(ChildList::Owners).Item(1)->GetProperty("PrimaryOwnerInd")), "YES")
        << "never cut";
    // Characters count, not bytes.
    ma->Children(ChildList::Owners).Item(1)->SetProperty("PrimaryOwnerInd", "\xc3\x91");
    EXPECT_TRUE(shape->Save()) << shape->LastError();
}

TEST_F(Persistence, AuditRowsOnlyForChangedColumnsAndForDeletes) {
    db->SetSessionUser("carol", 7);
    auto shape = LoadShape();
    auto ma = shape->ManagedArea(1);
    ma->SetProperty("ManagedAreaName", "Renamed");
    ma->SetProperty("MACodeBcd", "VT001"); // same value: no change
    ma->SetProperty("TotalAreaAcres", 99);
    ma->Children(ChildList::Owners).Remove(2);
    shape->SetLastModUser("carol");
    ASSERT_TRUE(shape->Save()) << shape->LastError();
    auto rows = port->Query("SELECT table_name, action, column_name, old_value, new_value, "
                            "user_name, org_unit_id, record_id FROM audit_log "
                            "ORDER BY table_name, column_name");
    ASSERT_EQ(rows.rows.size(), 3u);
    EXPECT_EQ(CStr(rows.rows[0][0]), "ma");
    EXPECT_EQ(CStr(rows.rows[0][2]), "managed_area_name");
    EXPECT_EQ(CStr(rows.rows[0][3]), "Green Mountain Refuge");
    EXPECT_EQ(CStr(rows.rows[0][4]), "Renamed");
    // On a server the audit names the session user and their unit, whatever the client set.
    EXPECT_EQ(CStr(rows.rows[0][5]), zelk::testing::ActingUser(*db, "carol"));
    EXPECT_EQ(CLng(rows.rows[0][6]),
              zelk::testing::OnPostgres()
                  ? CLng(db->Query("SELECT zelk_org_unit() AS u")->Value("u"))
                  : 7);
    EXPECT_EQ(CStr(rows.rows[1][2]), "total_area_acres");
    EXPECT_EQ(CStr(rows.rows[2][0]), "managed_area_owner");
    EXPECT_EQ(CStr(rows.rows[2][1]), "D");
    EXPECT_EQ(CLng(rows.rows[2][7]), 10) << "a child row belongs to its managed area";
    EXPECT_EQ(Text("SELECT rec_last_mod_user FROM ma"), "carol");
    // A stamp alone is no change.
    shape->SetLastModUser("dave");
    EXPECT_FALSE(shape->HasChanges() || shape->HasChildChanges());
}

TEST_F(Persistence, RowDeletedByAnotherUserFailsTheWholeSave) {
    auto shape = LoadShape();
    auto ma = shape->ManagedArea(1);
    ma->SetProperty("ManagedAreaName", "Mine");
    ma->Children(ChildList::Aliases).Item(1)->SetProperty("ManagedAreaAlias", "Mine too");
    db->Execute("DELETE FROM managed_area_alias");
    EXPECT_FALSE(shape->Save());
    EXPECT_NE(shape->LastError().find("no longer exists"), std::string::npos) << shape->LastError();
    EXPECT_EQ(Text("SELECT managed_area_name FROM ma"), "Green Mountain Refuge");
    EXPECT_TRUE(ma->HasChanges());
}

TEST_F(Persistence, ComponentPropertiesAndSpatialAttributes) {
    auto shape = LoadShape();
    std::string xml = shape->ComponentProperties("ZELK");
    EXPECT_NE(xml.find("<ZELK_ManagedAreaSrv.MA_ManagedArea><COMPONENT_PROPERTIES>"),
              std::string::npos);
    EXPECT_NE(xml.find("<ManagedAreaName>MA.managed_area_name</ManagedAreaName>"),
              std::string::npos);
    EXPECT_NE(xml.find("<MapQcBy>SHAPE.map_qc_by</MapQcBy>"), std::string::npos);
    EXPECT_EQ(shape->OtherSpatialAttributes().Count(), 1);
    EXPECT_EQ(LoadShape("-1")->ManagedAreaCount(), 0);
}

} // namespace zelk::bo::test

namespace zelk::bo::test {

TEST_F(Persistence, DomainEntriesAndKeywordLinksSaveThemselves) {
    db->ExecScript("INSERT INTO d_used_by (d_used_by_id, used_by_desc) VALUES (1, 'Managed Area'),"
                   " (2, 'Site');");
    auto juris = registry.Create("ZELK_ManagedAreaClient.CDLocalJuris");
    juris->Call("SetProperty", {Variant("LocalJurisdictionDesc"), Variant("Town of O'Hara")});
    ASSERT_TRUE(CBool(juris->Call("Save"))) << CStr(juris->Get("LastError"));
    long jurisId = CLng(juris->Get("ID"));
    EXPECT_GT(jurisId, 0);
    EXPECT_EQ(Text("SELECT local_jurisdiction_desc FROM d_local_jurisdiction"), "Town of O'Hara");

    // The new entry can then be linked to the record like any other.
    auto shape = LoadShape();
    auto link = shape->ManagedArea(1)->Children(ChildList::LocalJurisdictions).AddNew();
    link->SetProperty("DLocalJurisdictionId", static_cast<int>(jurisId));
    ASSERT_TRUE(shape->Save()) << shape->LastError();
    auto again = LoadShape()->ManagedArea(1);
    EXPECT_EQ(
        CStr(again->Children(ChildList::LocalJurisdictions).Item(1)->GetProperty("LocalJurisDesc")),
        "Town of O'Hara");

    // A keyword with its used-by links: one save, links get the keyword's new ID.
    auto kw = registry.Create("ZELK_ManagedAreaClient.CDMAKeyword");
    kw->Let("KeywordDesc", Variant("Wetland"));
    auto usedBy = RequireObject(kw->Get("UsedBy"));
    for (int u : {1, 2}) {
        auto l = registry.Create("ZELK_ManagedAreaClient.CMAKwUsedBy");
        l->Let("DUsedById", Variant(u));
        usedBy->Call("Add", {Variant(l)});
    }
    ASSERT_TRUE(CBool(kw->Call("Save"))) << CStr(kw->Get("LastError"));
    long kwId = CLng(kw->Get("ID"));
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM ma_keyword_used_by WHERE d_managed_area_keyword_id = " +
                     std::to_string(kwId)),
              2);
    EXPECT_FALSE(CBool(kw->Call("HasChanges")));

    auto reread = registry.Create("ZELK_ManagedAreaClient.CDMAKeyword");
    reread->Call("Load", {Variant(std::to_string(kwId))});
    auto links = RequireObject(reread->Get("UsedBy"));
    ASSERT_EQ(CLng(links->Get("Count")), 2);
    links->Call("Remove", {Variant(1)});
    ASSERT_TRUE(CBool(reread->Call("Save")));
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM ma_keyword_used_by"), 1);

    // A link to a module that does not exist is refused by the database; nothing is kept.
    auto bad = registry.Create("ZELK_ManagedAreaClient.CDMAKeyword");
    bad->Let("KeywordDesc", Variant("Orphan"));
    auto badLink = registry.Create("ZELK_ManagedAreaClient.CMAKwUsedBy");
    badLink->Let("DUsedById", Variant(99));
    RequireObject(bad->Get("UsedBy"))->Call("Add", {Variant(badLink)});
    EXPECT_FALSE(CBool(bad->Call("Save")));
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM d_managed_area_keyword WHERE keyword_desc = 'Orphan'"),
              0);
    EXPECT_LT(CLng(bad->Get("ID")), 0) << "still unsaved";

    // Rows of a managed area's lists are saved with it, not alone.
    auto owner = registry.Create("ZELK_ManagedAreaClient.COwner");
    EXPECT_FALSE(CBool(owner->Call("Save")));
    // Grids ask any item of a list for the lookups of its fields.
    db->ExecScript("INSERT INTO d_owner_type VALUES (1, 'Federal', 1, 'Federal government');");
    auto types = RequireObject(owner->Call("GetDomain", {Variant("OWNER_TYPE")}));
    EXPECT_EQ(CLng(types->Call("Count")), 1);
}

} // namespace zelk::bo::test
