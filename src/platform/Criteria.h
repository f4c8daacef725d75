#pragma once

#include "platform/FieldValue.h"
#include "platform/Variant.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zelk {

// A record criterion as Find and Filter take it: "Field op value" comparisons joined with
// AND / OR, parentheses allowed. Values are 'text' (quote doubled inside), numbers, #dates#
// or NULL; field names may be written in [brackets]. The text is parsed, never run as code:
// anything else raises error 3001 with a description naming the problem.
class Criteria {
public:
    enum class Op { Eq, Ne, Lt, Gt, Le, Ge, Like };

    struct Literal {
        enum class Kind { Text, Number, Date, Null } kind = Kind::Null;
        std::string text; // as written (without quotes or #)
        double number = 0;
        DateValue date;
    };

    struct Comparison {
        std::string field;
        Op op = Op::Eq;
        Literal value;
        // Filled by Bind.
        std::size_t column = 0;
        FieldKind kind = FieldKind::Other;
        Variant bound;       // the value in the field's terms
        std::string pattern; // LIKE pattern, upper case
        bool nullTest = false;
    };

    struct FieldInfo {
        std::size_t column;
        int type;
    };
    using Resolver = std::function<std::optional<FieldInfo>(std::string_view name)>;

    Criteria() = default;
    // singleComparison: exactly one comparison, as Find accepts.
    static Criteria Parse(std::string_view text, bool singleComparison = false);

    // Resolves field names and converts the values to the fields' types; an unknown field or
    // a value the field cannot compare with raises 3001.
    void Bind(const Resolver& resolve);

    // A row of values in column order. An empty criterion matches everything.
    bool Matches(std::span<const Variant> row) const;
    bool Matches(const std::vector<Variant>& row) const { return Matches(std::span(row)); }
    bool Empty() const { return nodes_.empty(); }
    const std::string& Text() const { return text_; }

    // The comparison when the whole criterion is one "field = value" (value not NULL).
    const Comparison* SingleEquality() const;

private:
    struct Node {
        enum class Kind { Compare, And, Or } kind = Kind::Compare;
        int left = -1, right = -1;
        Comparison cmp;
    };
    friend class CriteriaParser;
    bool Eval(int node, std::span<const Variant> row) const;

    std::string text_;
    std::vector<Node> nodes_;
    int root_ = -1;
};

// One key of a sort: "Field [ASC|DESC]".
struct SortKey {
    std::string field;
    bool descending = false;
};
// "A ASC, [B c] DESC"; "" gives no keys. Malformed text raises 3001.
std::vector<SortKey> ParseSort(std::string_view text);

// LIKE matching of upper-case text: '*' or '%' any run of characters, '_' or '?' one.
bool LikeMatch(std::string_view text, std::string_view pattern);

} // namespace zelk
