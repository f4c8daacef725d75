#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace zelk::host::sample {

// Runs the statements of a load on a thread of its own, in the order they were posted, while
// the caller draws the next records: drawing the outlines and writing the rows then share the
// machine's cores. Only the writer touches the database until Finish.
class WriterThread {
public:
    WriterThread();
    // Waits for what was handed over; an error of the writer is lost unless Finish was called.
    ~WriterThread();
    WriterThread(const WriterThread&) = delete;
    WriterThread& operator=(const WriterThread&) = delete;

    // Raises the writer's error, if it had one, instead of taking more.
    void Post(std::function<void()> op);
    // Runs what is left, waits for it and raises the writer's error, if any.
    void Finish();

private:
    void HandOver();
    void Loop();

    std::mutex m_;
    std::condition_variable cv_;
    std::vector<std::function<void()>> filling_, ready_;
    bool hasReady_ = false, done_ = false;
    std::exception_ptr error_;
    std::thread thread_;
};

} // namespace zelk::host::sample
