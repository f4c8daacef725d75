#pragma once

#include "platform/FetchProgress.h"

#include <chrono>

namespace zelk::search {

// The progress of one search run: silent while the search is quick, then the rows read so far
// with the person's way to stop it. Its life is the run's; the display goes with it.
class SearchProgress {
public:
    static constexpr std::chrono::milliseconds kQuiet{500};

    SearchProgress();
    ~SearchProgress();
    SearchProgress(const SearchProgress&) = delete;
    SearchProgress& operator=(const SearchProgress&) = delete;

    // Answers false when the person asked to stop.
    bool Report(long rowsRead);

private:
    FetchProgress::TimePoint start_;
    bool shown_ = false;
};

} // namespace zelk::search
