#include "injection/HostileStrings.h"

#include "support/TestBackend.h"

#include <algorithm>
#include <set>

namespace zelk::testing {

namespace {

const std::vector<std::string>& Fragments() {
    static const std::vector<std::string> f = {
        "'",
        "''",
        "\"",
        "--",
        "/*",
        "*/",
        ";",
        "' OR '1'='1",
        "' OR 1=1 --",
        "'; DROP TABLE ma; --",
        "') UNION SELECT user_name, 1, 1 FROM app_user --",
        " UNION SELECT * FROM app_user",
        "%",
        "_",
        "*",
        "?",
        "[a-z]",
        "#1/1/2000#",
        std::string("a\0b", 3),
        "\\",
        "\\'",
        "<x>&amp;</x>",
        "]]>",
        "(+)",
        "||",
        "\xE2\x80\xAE"
        "evil",                                     // right-to-left override
        "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D",         // Hebrew
        "\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7", // Arabic
        "\xE6\xB9\xBF\xE5\x9C\xB0",                 // CJK
        "\xF0\x9F\xA6\x86",                         // emoji
        "Z\xC3\xBCrich",
        "\t\r\n",
        "  ",
        "NULL",
    };
    return f;
}

} // namespace

const std::vector<std::string>& HostileStrings() {
    static const std::vector<std::string> all = [] {
        std::vector<std::string> out;
        std::set<std::string> seen;
        auto add = [&](std::string s) {
            // The server holds no NUL in a text and refuses it (the host tests see to that):
            // another control character stands in.
            if (OnPostgres()) std::replace(s.begin(), s.end(), '\0', '\x01');
            if (seen.insert(s).second) out.push_back(s);
        };
        const auto& f = Fragments();
        for (const auto& a : f) {
            add(a);
            add("Oak" + a);
            add(a + " Fen");
        }
        for (std::size_t i = 0; i < f.size(); ++i)
            for (std::size_t k = 1; k <= 3; ++k)
                add(f[i] + f[(i + k) % f.size()]);
        add(std::string(65536, 'x'));
        add(std::string(65535, '\'') + "x");
        std::string mixed;
        while (mixed.size() < 65536)
            mixed += "Oak \xE6\xB9\xBF\xE5\x9C\xB0 \xF0\x9F\xA6\x86 ' -- ";
        add(mixed);
        return out;
    }();
    return all;
}

bool HasLikeWildcard(const std::string& text) {
    return text.find_first_of("%_") != std::string::npos;
}

} // namespace zelk::testing
