#include "SearchFixture.h"

#include "platform/Strings.h"

namespace zelk::search::test {
namespace {

class LetterCaseTest : public SearchTest {
protected:
    long AddArea(const std::string& name) {
        host->Db()->Execute("INSERT INTO shape (has_shape_ind) VALUES ('N')");
        const auto shape = static_cast<int>(host->Db()->LastInsertId());
        host->Db()->Execute("INSERT INTO ma (shape_id, managed_area_name) VALUES (?, ?)",
                            {Variant(shape), Variant(name)});
        return static_cast<long>(host->Db()->LastInsertId());
    }
    std::vector<long> Find(const std::string& text, int comparison = Contains) {
        Click("mnuFileNew");
        Type("txtManagedAreaName", text);
        Compare("cboMANameComparison", comparison);
        Click("cmdFindNow");
        return GridIds();
    }
    // The database's UPPER of a stored name, through the host's query service as the search's
    // statements go.
    std::string ServerUpper(long id) {
        Variant rs = host->App()->Call(
            "CallGetQueryRSXML", {Variant("select UPPER(managed_area_name) as u from ma where "
                                          "managed_area_id = " +
                                          std::to_string(id))});
        auto r = std::dynamic_pointer_cast<Recordset>(rs.Obj());
        return r && !r->EOF() ? CStr(r->Value("u")) : "<none>";
    }
};

TEST_F(LetterCaseTest, EveryLetterMatchesInEitherCaseOnTheDatabaseAsInTheSearch) {
    InitFramed();
    const long dona = AddArea("DOÑA ANA Wildlife Area");
    const long quebec = AddArea("Québec Bog");
    const long etang = AddArea("ÉTANG DU NORD");
    const long strasse = AddArea("Straße Meadow");
    const long strasseUpper = AddArea("STRASSE HEATH");
    const long greek = AddArea("Λίμνη Κερκίνη");
    const long cyrillic = AddArea("Озеро Байкал");

    // One rule folds the search text and the stored names: ICU's, where "ß" becomes "SS".
    EXPECT_EQ(UCase("doña"), "DOÑA");
    EXPECT_EQ(UCase("straße"), "STRASSE");
    EXPECT_EQ(UCase("Λίμνη"), "ΛΊΜΝΗ");
    EXPECT_EQ(UCase("байкал"), "БАЙКАЛ");
    EXPECT_EQ(ServerUpper(dona), "DOÑA ANA WILDLIFE AREA");
    EXPECT_EQ(ServerUpper(strasse), "STRASSE MEADOW");
    EXPECT_EQ(ServerUpper(greek), "ΛΊΜΝΗ ΚΕΡΚΊΝΗ");
    EXPECT_EQ(ServerUpper(cyrillic), "ОЗЕРО БАЙКАЛ");
    EXPECT_EQ(ServerUpper(quebec), UCase("Québec Bog"));
    EXPECT_EQ(ServerUpper(etang), "ÉTANG DU NORD");

    EXPECT_EQ(Find("doña"), std::vector<long>{dona});
    EXPECT_NE(search->BuildSearchSQL().find("LIKE '%DOÑA%'"), std::string::npos);
    EXPECT_EQ(Find("é"), (std::vector<long>{quebec, etang}));
    EXPECT_EQ(Find("québec"), std::vector<long>{quebec});
    EXPECT_EQ(Find("QUÉBEC"), std::vector<long>{quebec});
    EXPECT_EQ(Find("étang", BeginsWith), std::vector<long>{etang});
    EXPECT_EQ(Find("doña ana wildlife area", ExactMatch), std::vector<long>{dona});
    // "ß" and "ss" are the same letters in upper case, so either spelling finds both.
    EXPECT_EQ(Find("straße"), (std::vector<long>{strasse, strasseUpper}));
    EXPECT_EQ(Find("Strasse"), (std::vector<long>{strasse, strasseUpper}));
    EXPECT_EQ(Find("STRASSE MEADOW", ExactMatch), std::vector<long>{strasse});
    EXPECT_EQ(Find("λίμνη"), std::vector<long>{greek});
    EXPECT_EQ(Find("ΚΕΡΚΊΝΗ", EndsWith), std::vector<long>{greek});
    EXPECT_EQ(Find("байкал"), std::vector<long>{cyrillic});
    EXPECT_EQ(Find("озеро%", Wildcard), std::vector<long>{cyrillic});
    // Plain ASCII goes on matching as before.
    EXPECT_EQ(Find("wildlife area", EndsWith), std::vector<long>{dona});
}

} // namespace
} // namespace zelk::search::test
