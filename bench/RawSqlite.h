#pragma once

// The yardstick the benchmarks measure against: a bare sqlite3_step loop over a statement, and
// a timer that runs the measured path and the bare loop alternately, so that both see the same
// machine load.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <stdexcept>
#include <string>

namespace zelk::bench {

// Every column of every row read as the engine hands it over, nothing kept.
inline long RawStep(sqlite3_stmt* stmt) {
    long rows = 0;
    const int cols = sqlite3_column_count(stmt);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < cols; ++c) {
            switch (sqlite3_column_type(stmt, c)) {
            case SQLITE_INTEGER:
                benchmark::DoNotOptimize(sqlite3_column_int64(stmt, c));
                break;
            case SQLITE_FLOAT:
                benchmark::DoNotOptimize(sqlite3_column_double(stmt, c));
                break;
            case SQLITE_TEXT:
                benchmark::DoNotOptimize(sqlite3_column_text(stmt, c));
                benchmark::DoNotOptimize(sqlite3_column_bytes(stmt, c));
                break;
            default:
                break;
            }
        }
        ++rows;
    }
    sqlite3_reset(stmt);
    return rows;
}

// One prepared statement, finalized with the object.
class RawStatement {
public:
    RawStatement(sqlite3* db, const std::string& sql) {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
    }
    ~RawStatement() { sqlite3_finalize(stmt_); }
    RawStatement(const RawStatement&) = delete;
    RawStatement& operator=(const RawStatement&) = delete;
    long Step() { return RawStep(stmt_); }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

// Time spent in the measured path and in the bare loop, summed over alternating runs.
class Alternation {
public:
    using Clock = std::chrono::steady_clock;
    template <class Measured> void Run(Measured measured, RawStatement& raw) {
        auto t0 = Clock::now();
        measured();
        auto t1 = Clock::now();
        benchmark::DoNotOptimize(raw.Step());
        auto t2 = Clock::now();
        measured_ += t1 - t0;
        bare_ += t2 - t1;
    }
    double Ratio() const {
        return std::chrono::duration<double>(measured_).count() /
               std::chrono::duration<double>(bare_).count();
    }
    double MeasuredMs(long runs) const { return Ms(measured_) / static_cast<double>(runs); }
    double BareMs(long runs) const { return Ms(bare_) / static_cast<double>(runs); }

private:
    static double Ms(Clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count();
    }
    Clock::duration measured_{}, bare_{};
};

} // namespace zelk::bench
