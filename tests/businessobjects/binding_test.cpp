#include "BoFixture.h"

#include "platform/Dispatch.h"
#include "platform/Error.h"

namespace zelk::bo::test {

// A control as the control model has it: a Text property that reports its changes.
class FakeTextBox : public Dispatch {
public:
    FakeTextBox() : Dispatch("TextBox") {
        DefineProperty(
            "Text", [this](Args&) { return Variant(text); },
            [this](const Variant& v, Args&) {
                std::string n = v.IsString() ? v.Str() : "";
                if (n == text) return;
                text = n;
                Args a{Variant("Text")};
                RaiseEvent("PropertyChanged", a);
            });
    }
    void Type(const std::string& s) { Let("Text", Variant(s)); }
    std::string text;
};

using Binding = BoFixture;

TEST_F(Binding, ShowsFieldsAndWritesRealChangesBack) {
    auto shape = LoadShape();
    auto ma = shape->ManagedArea(1);
    auto name = std::make_shared<FakeTextBox>();
    auto acres = std::make_shared<FakeTextBox>();
    ma->Bind(name, "Text", "ManagedAreaName");
    ma->Bind(acres, "Text", "TotalAreaAcres");
    EXPECT_EQ(name->text, "Green Mountain Refuge");
    EXPECT_EQ(acres->text, "1200.5");

    acres->Type("1200.50"); // the same number: no change
    EXPECT_FALSE(ma->HasChanges());
    acres->Type("many"); // refused by the field: the field keeps its value
    EXPECT_EQ(acres->text, "many") << "the box keeps what is being typed";
    EXPECT_FALSE(ma->HasChanges());
    acres->RaiseEvent("LostFocus"); // leaving the box shows the field again
    EXPECT_EQ(acres->text, "1200.5");

    name->Type("Renamed");
    EXPECT_EQ(CStr(ma->GetProperty("ManagedAreaName")), "Renamed");
    EXPECT_TRUE(ma->HasChanges());

    // Programmatic changes show in the bound control.
    ma->SetProperty("TotalAreaAcres", 5);
    EXPECT_EQ(acres->text, "5");

    ma->Unbind("ManagedAreaName");
    name->Type("Ignored");
    EXPECT_EQ(CStr(ma->GetProperty("ManagedAreaName")), "Renamed");
    ma->DropBindings();
    acres->Type("7");
    EXPECT_DOUBLE_EQ(CDbl(ma->GetProperty("TotalAreaAcres")), 5);

    auto by = std::make_shared<FakeTextBox>();
    shape->Bind(by, "Text", "DigitalMappingBy");
    EXPECT_EQ(by->text, "gis");
    EXPECT_THROW(shape->Bind(by, "Text", "Nope"), ComError);
}

} // namespace zelk::bo::test
