#include "BoFixture.h"

#include "platform/Error.h"

namespace zelk::bo::test {

using Objects = BoFixture;

int ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const ComError& e) {
        return e.Number();
    }
    return 0;
}

TEST_F(Objects, PropertiesByNameRefuseUnknownNamesAndWrongTypes) {
    auto ma = LoadShape()->ManagedArea(1);
    EXPECT_EQ(CStr(ma->GetProperty("managedareaname")), "Green Mountain Refuge");
    EXPECT_FALSE(ma->HasChanges());

    try {
        ma->GetProperty("NoSuchField");
        FAIL();
    } catch (const ComError& e) {
        EXPECT_EQ(e.Number(), 438);
        EXPECT_NE(e.Description().find("NoSuchField"), std::string::npos);
    }
    EXPECT_EQ(ErrorOf([&] { ma->SetProperty("NoSuchField", "x"); }), 438);

    // A wrong type for a number changes nothing.
    EXPECT_EQ(ErrorOf([&] { ma->SetProperty("TotalAreaAcres", "lots"); }), 13);
    EXPECT_EQ(ErrorOf([&] { ma->SetProperty("NationId", "1a"); }), 13);
    EXPECT_EQ(ErrorOf([&] { ma->SetProperty("VersionDate", "not a date"); }), 13);
    EXPECT_DOUBLE_EQ(CDbl(ma->GetProperty("TotalAreaAcres")), 1200.5);
    EXPECT_FALSE(ma->HasChanges());

    // Numeric text is a number; the same value again is no change; "" empties.
    ma->SetProperty("TotalAreaAcres", "1200.5");
    EXPECT_FALSE(ma->HasChanges());
    ma->SetProperty("NationId", "2");
    EXPECT_TRUE(ma->HasChanges());
    ma->SetProperty("NationId", 1);
    EXPECT_FALSE(ma->HasChanges()) << "back to the loaded value";
    ma->SetProperty("MajorMaId", "");
    EXPECT_TRUE(ma->GetProperty("MajorMaId").IsNull());
}

TEST_F(Objects, NewRecordCarriesTemporaryNegativeIds) {
    auto shape = NewShape();
    shape->NewRecord();
    EXPECT_TRUE(shape->IsNew());
    EXPECT_LT(shape->ShapeId(), -1);
    auto ma = shape->ManagedArea(1);
    EXPECT_TRUE(ma->IsNew());
    EXPECT_LT(ma->ManagedAreaId(), -1);
    EXPECT_NE(ma->ManagedAreaId(), shape->ShapeId());
    EXPECT_EQ(ma->Children(ChildList::Owners).Count(), 0);
    EXPECT_EQ(ErrorOf([&] { shape->ManagedArea(2); }), 9);
}

TEST_F(Objects, ChildCollectionsFindRemoveAndDrop) {
    auto shape = LoadShape();
    auto& owners = shape->ManagedArea(1)->Children(ChildList::Owners);
    ASSERT_EQ(owners.Count(), 2);
    EXPECT_EQ(CStr(owners.Item(1)->GetProperty("OwnerName")), "State of Vermont");
    EXPECT_EQ(ErrorOf([&] { owners.Item(3); }), 9);

    EXPECT_EQ(owners.FindPosition("ID = 101"), 2);
    EXPECT_EQ(owners.FindPosition("OwnerName = 'Nature Trust'"), 2);
    EXPECT_EQ(owners.FindPosition("OwnerName = 'Nobody'"), 0);
    std::string key = owners.Item(2)->UniqueID();
    EXPECT_EQ(owners.Find("UniqueID = '" + key + "'"), owners.Item(2));
    EXPECT_EQ(owners.Find("OwnerName = 'x'"), nullptr);
    // Not parsed: an error, never "not found".
    EXPECT_EQ(ErrorOf([&] { owners.FindPosition("OwnerName = "); }), 3001);
    EXPECT_EQ(ErrorOf([&] { owners.FindPosition("ID = 1 OR 1 = 1"); }), 3001);
    EXPECT_EQ(ErrorOf([&] { owners.FindPosition("Bogus = 1"); }), 438);

    auto added = owners.AddNew();
    EXPECT_TRUE(added->IsNew());
    added->SetProperty("OwnerName", "O'Brien");
    EXPECT_EQ(owners.FindPosition("OwnerName = 'O''Brien'"), 3);
    EXPECT_TRUE(owners.HasChanges());

    owners.Drop(3); // never saved: forgotten
    owners.Remove(1);
    EXPECT_EQ(owners.Count(), 1);
    EXPECT_TRUE(owners.HasChanges()) << "the removal is pending";
    EXPECT_TRUE(shape->HasChildChanges());
}

TEST_F(Objects, DomainListsFilterOrderAndDefault) {
    auto ma = LoadShape()->ManagedArea(1);
    auto states = ma->GetDomain("STATE", 1, true);
    ASSERT_EQ(states->Count(), 2);
    EXPECT_EQ(CStr(states->Value("display_value", 1)), "Maine"); // by display_order
    states->SortBy("state_code DESC");
    EXPECT_EQ(CStr(states->Value("state_code", 1)), "VT");
    EXPECT_EQ(CLng(states->DefaultValue("D_State_Id")), 12);
    EXPECT_EQ(ma->GetDomain("STATE", 2, true)->Count(), 1);
    EXPECT_EQ(ma->GetDomain("STATE", {}, true)->Count(), 3);
    auto nations = ma->GetDomain("NATION", {}, true);
    nations->SortList(nations->GetList(1), "display_value", "");
    EXPECT_EQ(CStr(nations->Value("display_value", 1)), "Canada");
    EXPECT_EQ(CLng(nations->DefaultValue("Nation_ID")), 1);
    EXPECT_EQ(ErrorOf([&] { ma->GetDomain("NATION; DROP TABLE ma", {}, true); }), 3001);
    EXPECT_EQ(ErrorOf([&] { states->Value("display_value", 3); }), 9);
}

TEST_F(Objects, LateBoundAccessAndRegisteredClasses) {
    for (const char* id :
         {"ZELK_ManagedAreaClient.CShape", "ZELK_ManagedAreaClient.CManagedArea",
          "ZELK_ManagedAreaClient.CElement", "ZELK_ManagedAreaClient.COwner",
          "ZELK_ManagedAreaClient.CDLocalJuris", "ZELK_ManagedAreaClient.CKeyword",
          "ZELK_ManagedAreaClient.CDMAKeyword", "ZELK_ManagedAreaClient.CMAKwUsedBy"})
        EXPECT_TRUE(registry.IsRegistered(id)) << id;
    auto owner = registry.Create("ZELK_ManagedAreaClient.COwner");
    owner->Call("SetProperty", {Variant("OwnerName"), Variant("Town")});
    EXPECT_EQ(CStr(owner->Get("OwnerName")), "Town");
    EXPECT_FALSE(CStr(owner->Get("UniqueID")).empty());
    auto shape = LoadShape();
    auto& owners = shape->ManagedArea(1)->Children(ChildList::Owners);
    owners.Add(std::dynamic_pointer_cast<IChildObject>(owner));
    EXPECT_EQ(owners.Count(), 3);
    auto element =
        std::dynamic_pointer_cast<IChildObject>(registry.Create("ZELK_ManagedAreaClient.CElement"));
    EXPECT_EQ(ErrorOf([&] { owners.Add(element); }), 13) << "an element is not an owner";
}

} // namespace zelk::bo::test
