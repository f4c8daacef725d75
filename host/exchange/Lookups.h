#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zelk::host {
class DataService;
}

namespace zelk::host::exchange {

// Upper case (as the search folds text) without accents, for matching names from a file.
std::string FoldName(std::string_view text);

// The reference lists an imported value is found in: nations, states, counties, owner types
// and the coded domains, each by its code or by its display value.
class Lookups {
public:
    explicit Lookups(DataService& db);

    std::optional<long> Nation(const std::string& codeOrName) const;
    // Within the nation when it is known (0 = any).
    std::optional<long> State(const std::string& codeOrName, long nationId) const;
    long NationOfState(long stateId) const;
    // A five-digit FIPS code, or a county's name within the state (0 = any, when unique).
    std::optional<long> County(const std::string& codeOrName, long stateId) const;
    std::optional<long> OwnerType(const std::string& idOrName) const;
    // `table` is a domain table of ExchangeColumns.
    std::optional<long> Domain(const std::string& table, const std::string& idOrName) const;

private:
    struct Entry {
        long id;
        long parent;
    };
    using Index = std::unordered_multimap<std::string, Entry>;
    static std::optional<long> Find(const Index& index, const std::string& key, long parent);
    void Load(DataService& db, const std::string& sql, Index& index);

    Index nations_, states_, counties_, ownerTypes_;
    std::unordered_map<std::string, Index> domains_;
    std::unordered_map<long, long> stateNation_;
};

} // namespace zelk::host::exchange
