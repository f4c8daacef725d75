#include "EditorFixture.h"

#include "common/GridProcedures.h"

namespace zelk::testing {
namespace {

TEST_F(EditorTest, ComboListsOfferADomainInTheOrderItWasSortedBy) {
    auto ma = LoadManagedArea(FindRecord("1 = 1"));
    bo::DomainPtr owners = ma->GetDomain("OWNER_TYPE", Variant(), true);
    ASSERT_TRUE(owners);
    host->Db()->Execute("UPDATE d_owner_type SET owner_type_desc = 'A first' "
                        "WHERE d_owner_type_id = 6");
    owners = ma->GetDomain("OWNER_TYPE", Variant(), true);
    common::SortDomainList(owners, "owner_type_desc");
    std::string list = common::BuildComboList(owners, "d_owner_type_id", "display_value");
    EXPECT_EQ(list.rfind("#6;Private|#1;Federal|", 0), 0u) << list;
    EXPECT_NE(list.back(), '|');
    auto entries = VSFlexGrid::ParseComboList(list);
    EXPECT_EQ(static_cast<long>(entries.size()), owners->Count());

    common::SortDomainList(owners, "display_value");
    list = common::BuildComboList(owners, "d_owner_type_id", "display_value");
    EXPECT_EQ(list.rfind("#1;Federal|#7;Joint|", 0), 0u) << list;

    // A value missing from a row leaves its place empty rather than failing the list.
    host->Db()->Execute("INSERT INTO d_owner_type (d_owner_type_id, display_value, display_order) "
                        "VALUES (99, 'Aardvark', 0)");
    owners = ma->GetDomain("OWNER_TYPE", Variant(), true);
    common::SortDomainList(owners, "owner_type_desc");
    EXPECT_EQ(common::BuildComboList(owners, "d_owner_type_id", "owner_type_desc")
                  .rfind("#99;|#6;A first|", 0),
              0u);

    EXPECT_EQ(common::BuildComboList(nullptr, "d_owner_type_id", "display_value"), "");
    bo::DomainPtr none = ma->GetDomain("STATE", Variant("NO SUCH NATION"), true);
    ASSERT_TRUE(none);
    EXPECT_EQ(none->Count(), 0);
    EXPECT_EQ(common::BuildComboList(none, "d_state_id", "display_value"), "");
    common::SortDomainList(nullptr, "display_value"); // nothing to order
}

} // namespace
} // namespace zelk::testing
