// The Oracle-dialect translator on arbitrary statement text: refuse or translate, and the
// same text always translates the same way.
#include "FuzzSupport.h"

#include "host/sql/OracleTranslator.h"

using namespace zelk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = fuzz::Text(data, size);
    fuzz::Refusable([&] {
        host::sql::OracleTranslator fresh;
        const std::string once = fresh.Translate(text);
        static host::sql::OracleTranslator shared;
        std::string cached;
        fuzz::Refusable([&] { cached = shared.Translate(text); });
        if (!cached.empty() && cached != once)
            fuzz::Broken("the cache answered another translation", text);
        // A translation is plain SQLite; it is not Oracle-specific any more, so translating it
        // again must not fail because of what the first pass wrote.
        host::sql::OracleTranslator second;
        fuzz::Refusable([&] { (void)second.Translate(once); });
    });
    return 0;
}
