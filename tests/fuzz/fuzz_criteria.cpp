// Record criteria, filters and sort keys as Find, Filter and Sort take them, on a recordset
// with a field of each kind.
#include "FuzzSupport.h"

#include "platform/Conv.h"
#include "platform/Criteria.h"
#include "platform/Recordset.h"

using namespace zelk;

namespace {

RecordsetPtr Sample() {
    auto rs = NewRecordset();
    Fields f = rs->GetFields();
    f.Append("ID", ad::Integer);
    f.Append("managed_area_name", ad::VarChar, 255);
    f.Append("rec_create_date", ad::Date);
    f.Append("total_area_acres", ad::Double);
    rs->Open();
    const char* names[] = {"Oak Fen", "O'Hara Marsh", "", "100% Wet_land", "Zürich"};
    for (int i = 0; i < 5; ++i) {
        rs->AddNew();
        Fields g = rs->GetFields();
        g.Item("ID").SetValue(Variant(i + 1));
        g.Item("managed_area_name").SetValue(i == 2 ? Variant::Null() : Variant(names[i]));
        g.Item("rec_create_date").SetValue(Variant(MakeDate(1995 + i, 1 + i, 2 + i)));
        g.Item("total_area_acres").SetValue(Variant(12.5 * i));
        rs->Update();
    }
    return rs;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = fuzz::Text(data, size);
    static RecordsetPtr rs = Sample();
    fuzz::Refusable([&] { (void)Criteria::Parse(text, true); });
    fuzz::Refusable([&] {
        Criteria c = Criteria::Parse(text);
        (void)c.SingleEquality();
    });
    fuzz::Refusable([&] {
        rs->SetFilter("");
        rs->SetFilter(text);
        const long n = rs->RecordCount();
        if (n < 0 || n > 5) fuzz::Broken("a filter made records up", text);
        for (rs->MoveFirst(); !rs->EOF(); rs->MoveNext())
            (void)rs->Value("ID");
    });
    fuzz::Refusable([&] { rs->SetFilter(""); });
    fuzz::Refusable([&] {
        rs->MoveFirst();
        rs->Find(text);
        rs->MoveLast();
        rs->Find(text, 0, ad::SearchBackward);
    });
    fuzz::Refusable([&] {
        rs->SetSort(text);
        if (rs->RecordCount() != 5) fuzz::Broken("a sort lost records", text);
    });
    fuzz::Refusable([&] { rs->SetSort(""); });
    return 0;
}
