#include "search/SearchProgress.h"

#include "platform/ui/UiDriver.h"

namespace zelk::search {

SearchProgress::SearchProgress() : start_(FetchProgress::Now()) {}

SearchProgress::~SearchProgress() {
    if (shown_) Ui().EndProgress();
}

bool SearchProgress::Report(long rowsRead) {
    // A display that flashes up for a quick search only gets in the way.
    if (!shown_ && FetchProgress::Now() - start_ < kQuiet) return true;
    shown_ = true;
    return !Ui().ShowProgress("Searching...", rowsRead);
}

} // namespace zelk::search
