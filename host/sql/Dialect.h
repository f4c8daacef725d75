#pragma once

namespace zelk::host::sql {

// The SQL dialects the translator writes.
enum class Dialect {
    SQLite,
    PostgreSQL,
};

} // namespace zelk::host::sql
