#include "platform/FetchProgress.h"

#include "platform/Error.h"

#include <utility>

namespace zelk {

namespace {
thread_local FetchProgress::Listener tListener;
FetchProgress::Clock gClock;
} // namespace

FetchProgress::Scope::Scope(Listener listener) : previous_(std::move(tListener)) {
    tListener = std::move(listener);
}

FetchProgress::Scope::~Scope() {
    tListener = std::move(previous_);
}

bool FetchProgress::Listening() {
    return static_cast<bool>(tListener);
}

void FetchProgress::Ask(long rowsRead) {
    if (!tListener(rowsRead)) Raise(err::OperationCancelled, "The operation was cancelled");
}

FetchProgress::TimePoint FetchProgress::Now() {
    return gClock ? gClock() : std::chrono::steady_clock::now();
}

void FetchProgress::SetClock(Clock clock) {
    gClock = std::move(clock);
}

} // namespace zelk
