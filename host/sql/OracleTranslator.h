#pragma once

#include "host/sql/Dialect.h"

#include <cstddef>
#include <string>
#include <unordered_map>

namespace zelk::host::sql {

// Turns the Oracle SQL that the module writes into the dialect of the database behind the
// host. The accepted subset: outer joins written with (+) in the WHERE clause (each becomes a
// LEFT JOIN placed after every table its condition names), SELECT UNIQUE, UNION [ALL] with
// each member translated, NVL, SYSDATE, || (NULL operands ignored, as Oracle does), '' as
// NULL, / keeping the fraction of whole numbers, and the functions UPPER, LOWER, COUNT, MIN,
// MAX, SUM, AVG, COALESCE, ABS, LENGTH. LIKE compares case-sensitively, as in Oracle (the
// data service sets that up), and a backslash in its pattern matches itself.
//
// Anything else Oracle-specific is refused with a ComError that names it; nothing is guessed.
// Translations are kept by statement text.
class OracleTranslator {
public:
    std::string Translate(const std::string& oracleSql, Dialect dialect = Dialect::SQLite);

    std::size_t CachedCount() const { return cache_.size(); }

private:
    // Statements differ by the values concatenated into them; past this many, start afresh.
    static constexpr std::size_t kCacheLimit = 4096;
    std::unordered_map<std::string, std::string> cache_;
};

} // namespace zelk::host::sql
