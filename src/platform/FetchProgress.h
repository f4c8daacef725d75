#pragma once

#include <chrono>
#include <functional>

namespace zelk {

// Lets whoever waits on a long query hear how many rows have been read so far, and stop it.
// Readers call Row once per row read; every Interval() rows the listener in scope hears the
// count and answers whether to go on. When it says stop, Row raises err::OperationCancelled,
// so the reader unwinds and nothing of the half-read answer survives.
//
// The listener belongs to the thread that installed it: a query read elsewhere hears nothing.
class FetchProgress {
public:
    // Answers true to go on, false to stop the read.
    using Listener = std::function<bool(long rowsRead)>;
    using TimePoint = std::chrono::steady_clock::time_point;
    using Clock = std::function<TimePoint()>;

    // Installs a listener for its lifetime; the one it replaced returns afterwards.
    class Scope {
    public:
        explicit Scope(Listener listener);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        Listener previous_;
    };

    static void Row(long rowsRead) {
        if (rowsRead % interval_ == 0 && Listening()) Ask(rowsRead);
    }
    static long Interval() { return interval_; }
    // Tests read small answers in several steps.
    static void SetInterval(long rows) { interval_ = rows > 0 ? rows : 1; }

    // The clock long operations measure themselves by; tests put one of their own in (an
    // empty one restores the steady clock).
    static TimePoint Now();
    static void SetClock(Clock clock);

private:
    static bool Listening();
    static void Ask(long rowsRead);
    static inline long interval_ = 1000;
};

} // namespace zelk
