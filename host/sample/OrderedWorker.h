#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace zelk::host::sample {

// Runs `work` over the inputs on a thread of its own, one after the other in the order they
// were pushed, and hands the results back in that order: for work that must stay in sequence
// (it draws from one random stream) but need not keep the caller waiting. Inputs and results
// cross in batches, so that the threads meet once a batch rather than once an item, and the
// caller keeps everything it allocates: only the inputs and results change threads.
template <class In, class Out> class OrderedWorker {
public:
    explicit OrderedWorker(std::function<Out(const In&)> work, std::size_t batch = 64)
        : work_(std::move(work)), batch_(batch), thread_([this] { Loop(); }) {}
    // Stops the thread; inputs not yet worked on are dropped.
    ~OrderedWorker() {
        {
            std::lock_guard lock(m_);
            stop_ = true;
        }
        cv_.notify_all();
        thread_.join();
    }
    OrderedWorker(const OrderedWorker&) = delete;
    OrderedWorker& operator=(const OrderedWorker&) = delete;

    void Push(In in) {
        sending_.push_back(std::move(in));
        if (sending_.size() >= batch_) Send();
    }
    // The result for the oldest input not yet answered; raises the worker's error instead
    // once the results before it are taken. Only for inputs pushed before.
    Out Pop() {
        if (taken_ == received_.size()) Receive();
        return std::move(received_[taken_++]);
    }

private:
    void Send() {
        {
            std::lock_guard lock(m_);
            if (error_) std::rethrow_exception(error_);
            for (In& in : sending_)
                inbox_.push_back(std::move(in));
        }
        sending_.clear();
        cv_.notify_all();
    }
    void Receive() {
        // The result waited for may be that of an input not sent yet.
        if (!sending_.empty()) Send();
        received_.clear();
        taken_ = 0;
        std::unique_lock lock(m_);
        cv_.wait(lock, [this] { return !outbox_.empty() || error_; });
        if (outbox_.empty()) std::rethrow_exception(error_);
        received_.swap(outbox_);
    }
    void Loop() {
        std::vector<In> todo;
        std::vector<Out> done;
        for (;;) {
            {
                std::unique_lock lock(m_);
                cv_.wait(lock, [this] { return !inbox_.empty() || stop_; });
                if (stop_) return;
                todo.swap(inbox_);
            }
            try {
                for (std::size_t i = 0; i < todo.size(); ++i) {
                    done.push_back(work_(todo[i]));
                    if (done.size() < batch_ && i + 1 < todo.size()) continue;
                    {
                        std::lock_guard lock(m_);
                        if (stop_) return;
                        for (Out& out : done)
                            outbox_.push_back(std::move(out));
                    }
                    done.clear();
                    cv_.notify_all();
                }
            } catch (...) {
                {
                    std::lock_guard lock(m_);
                    error_ = std::current_exception();
                }
                cv_.notify_all();
                return;
            }
            todo.clear();
        }
    }

    std::function<Out(const In&)> work_;
    const std::size_t batch_;
    std::vector<In> sending_;   // the caller's, not yet handed over
    std::vector<Out> received_; // the caller's, taken up to taken_
    std::size_t taken_ = 0;
    std::mutex m_;
    std::condition_variable cv_;
    std::vector<In> inbox_;
    std::vector<Out> outbox_;
    bool stop_ = false;
    std::exception_ptr error_;
    std::thread thread_; // last: starts once everything it uses is there
};

} // namespace zelk::host::sample
