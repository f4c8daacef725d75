// The child collections' "Property = value" criterion, on a list holding a few aliases.
#include "FuzzSupport.h"

#include "common/bo/ManagedArea.h"
#include "host/bo/ChildListImpl.h"
#include "host/bo/SqlPort.h"
#include "host/bo/Store.h"
#include "host/bo/TableDef.h"

using namespace zelk;

namespace {

// A port that is never reached: the list is built in memory.
class NoDatabase : public bo::SqlPort {
public:
    bo::SqlResult Query(const std::string&, const std::vector<Variant>&) override {
        Raise(err::ProviderError, "no database");
    }
    bo::ExecResult Execute(const std::string&, const std::vector<Variant>&) override {
        Raise(err::ProviderError, "no database");
    }
    void Begin() override {}
    void Commit() override {}
    void Rollback() override {}
    long StatementCount() const override { return 0; }
};

std::shared_ptr<bo::ChildListImpl> Aliases() {
    auto store = std::make_shared<bo::Store>(std::make_shared<NoDatabase>());
    auto list = std::make_shared<bo::ChildListImpl>(
        "CDMAAlias", bo::ChildTable(static_cast<int>(bo::ChildList::Aliases)), store);
    list->MarkLoaded();
    const char* names[] = {"The Fen", "O'Hara", "", "50%_off"};
    for (int i = 0; i < 4; ++i) {
        auto item = list->AddNew();
        item->SetProperty("ManagedAreaAlias", Variant(names[i]));
        item->SetProperty("DisplayOrder", Variant(i + 1));
        item->SetProperty("ID", Variant(100 + i));
    }
    return list;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static auto list = Aliases();
    const std::string text = fuzz::Text(data, size);
    fuzz::Refusable([&] {
        const long p = list->FindPosition(text);
        if (p < 0 || p > list->Count()) fuzz::Broken("a position outside the list", text);
        auto item = list->Find(text);
        if ((item != nullptr) != (p > 0)) fuzz::Broken("Find and FindPosition disagree", text);
    });
    return 0;
}
