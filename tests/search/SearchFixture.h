#pragma once

#include "support/ScriptedUi.h"
#include "support/TestBackend.h"

#include "host/ReferenceHost.h"
#include "platform/Collection.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "search/ManagedAreaSearch.h"

#include <memory>
#include <string>
#include <vector>

namespace zelk::search::test {

// A reference host with the search sited in a host window, as the host's find window holds it.
class SearchTest : public zelk::testing::ScriptedUiTest {
protected:
    void SetUp() override {
        ScriptedUiTest::SetUp();
        host = host::ReferenceHost::Open(zelk::testing::OnTestBackend(host::HostOptions{}));
        window = std::make_shared<host::HostWindow>("frmFind");
        search = std::dynamic_pointer_cast<ManagedAreaSearch>(
            window->AddControl("ZELK_ManagedArea.ManagedAreaSearch", "ctlSearch"));
        ASSERT_TRUE(search);
        search->Advise([this](std::string_view ev, Args&) { events.emplace_back(ev); });
    }

    void InitFramed(const std::string& extra = "") {
        search->Call("InitSearch",
                     {Variant(host->WorkingList()), Variant(host->App()), Variant(1),
                      Variant(host->WinMan()), Variant(host->Views()), Variant(extra)});
    }
    // A second search in its own window on the same host, as the next session would open it.
    std::shared_ptr<ManagedAreaSearch> Reopen(const std::string& extra = "") {
        otherWindow = std::make_shared<host::HostWindow>("frmFind2");
        auto s = std::dynamic_pointer_cast<ManagedAreaSearch>(
            otherWindow->AddControl("ZELK_ManagedArea.ManagedAreaSearch", "ctlSearch"));
        s->Call("InitSearch", {Variant(host->WorkingList()), Variant(host->App()), Variant(1),
                               Variant(host->WinMan()), Variant(host->Views()), Variant(extra)});
        return s;
    }

    TextBox& Box(const char* name) { return search->Get<TextBox>(name); }
    void Type(const char* name, const std::string& text) { Box(name).SetText(text); }
    void Compare(const char* cbo, int code) { search->Get<ComboBox>(cbo).SetListIndex(code); }
    void Click(const char* name) { search->Get<Control>(name).UserClick(); }
    VSFlexGrid& Grid() { return search->Get<VSFlexGrid>("flexResults"); }
    std::string Count() { return search->Get<Label>("lblRecordsReturnedCount").Caption(); }

    // IDs in column 0 of the results grid, top to bottom.
    std::vector<long> GridIds() {
        std::vector<long> out;
        for (long r = Grid().FixedRows(); r < Grid().Rows(); ++r)
            out.push_back(CLng(Variant(Grid().TextMatrix(r, 0))));
        return out;
    }
    std::vector<long> DbIds(const std::string& sql, const host::Params& p = {}) {
        std::vector<long> out;
        auto rs = host->Db()->Query(sql, p);
        for (; !rs->EOF(); rs->MoveNext())
            out.push_back(CLng(rs->GetFields().Item(std::size_t{0}).Value()));
        return out;
    }
    static std::vector<long> Ids(Recordset& rs) {
        std::vector<long> out;
        if (rs.RecordCount() == 0) return out;
        for (rs.MoveFirst(); !rs.EOF(); rs.MoveNext())
            out.push_back(CLng(rs.Value("ID")));
        return out;
    }
    // The first column of every row, joined by "|".
    std::string Joined(const std::string& sql) {
        std::string out;
        for (auto rs = host->Db()->Query(sql); !rs->EOF(); rs->MoveNext()) {
            Variant v = rs->GetFields().Item(std::size_t{0}).Value();
            out += (v.IsNull() ? std::string("~") : CStr(v)) + "|";
        }
        return out;
    }
    Variant Scalar(const std::string& sql) {
        return host->Db()->Query(sql)->GetFields().Item(std::size_t{0}).Value();
    }

    std::unique_ptr<host::ReferenceHost> host;
    std::shared_ptr<host::HostWindow> window, otherWindow;
    std::shared_ptr<ManagedAreaSearch> search;
    std::vector<std::string> events;
};

} // namespace zelk::search::test
