#include "host/sample/WriterThread.h"

namespace zelk::host::sample {

namespace {
// Operations handed over at once: few enough to keep both threads busy, many enough that
// the hand-over costs nothing beside them.
constexpr std::size_t kBatch = 4096;
} // namespace

WriterThread::WriterThread() : thread_([this] { Loop(); }) {
    filling_.reserve(kBatch);
}

WriterThread::~WriterThread() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard lock(m_);
        done_ = true;
    }
    cv_.notify_all();
    thread_.join();
}

void WriterThread::Post(std::function<void()> op) {
    filling_.push_back(std::move(op));
    if (filling_.size() >= kBatch) HandOver();
}

void WriterThread::HandOver() {
    std::unique_lock lock(m_);
    cv_.wait(lock, [this] { return !hasReady_ || error_; });
    if (error_) std::rethrow_exception(error_);
    ready_.swap(filling_);
    hasReady_ = true;
    lock.unlock();
    cv_.notify_all();
    filling_.clear();
}

void WriterThread::Finish() {
    if (!filling_.empty()) HandOver();
    {
        std::lock_guard lock(m_);
        done_ = true;
    }
    cv_.notify_all();
    thread_.join();
    if (error_) std::rethrow_exception(error_);
}

void WriterThread::Loop() {
    std::vector<std::function<void()>> batch;
    for (;;) {
        {
            std::unique_lock lock(m_);
            cv_.wait(lock, [this] { return hasReady_ || done_; });
            if (!hasReady_) return;
            batch.swap(ready_);
            hasReady_ = false;
        }
        cv_.notify_all();
        try {
            for (auto& op : batch)
                op();
        } catch (...) {
            std::lock_guard lock(m_);
            error_ = std::current_exception();
        }
        batch.clear();
        if (error_) {
            cv_.notify_all();
            return;
        }
    }
}

} // namespace zelk::host::sample
