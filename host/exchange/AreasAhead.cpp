// Reading areas ahead of their writer: the reader hands over batches through a short queue,
// so neither waits on the other for long and memory stays bounded.
#include "host/exchange/AreaReader.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace zelk::host::exchange {

namespace {

constexpr std::size_t kBatch = 256;
constexpr std::size_t kBatchesAhead = 8;

struct Stopped {};

struct Handoff {
    std::mutex m;
    std::condition_variable cv;
    std::deque<std::vector<ExchangeArea>> ready;
    bool done = false, stop = false;
    std::exception_ptr error;

    void Stop() {
        std::lock_guard l(m);
        stop = true;
        cv.notify_all();
    }
};

void Read(DataService& db, const std::vector<long>& ids, Handoff& h) {
    std::vector<ExchangeArea> batch;
    auto hand = [&] {
        std::unique_lock l(h.m);
        h.cv.wait(l, [&] { return h.stop || h.ready.size() < kBatchesAhead; });
        if (h.stop) throw Stopped{};
        h.ready.push_back(std::move(batch));
        h.cv.notify_all();
        batch = {};
        batch.reserve(kBatch);
    };
    try {
        batch.reserve(kBatch);
        ReadAreas(db, ids, [&](ExchangeArea& a) {
            batch.push_back(std::move(a));
            if (batch.size() == kBatch) hand();
        });
        if (!batch.empty()) hand();
    } catch (const Stopped&) {
        // The writer wants no more.
    } catch (...) {
        std::lock_guard l(h.m);
        h.error = std::current_exception();
    }
    std::lock_guard l(h.m);
    h.done = true;
    h.cv.notify_all();
}

} // namespace

void ReadAreasAhead(DataService& db, const std::vector<long>& ids,
                    const std::function<bool(ExchangeArea&)>& each) {
    Handoff h;
    std::thread reader(Read, std::ref(db), std::cref(ids), std::ref(h));
    bool going = true;
    try {
        while (going) {
            std::vector<ExchangeArea> batch;
            {
                std::unique_lock l(h.m);
                h.cv.wait(l, [&] { return !h.ready.empty() || h.done; });
                if (h.ready.empty()) break;
                batch = std::move(h.ready.front());
                h.ready.pop_front();
                h.cv.notify_all();
            }
            for (auto& a : batch)
                if (!each(a)) {
                    going = false;
                    break;
                }
        }
    } catch (...) {
        h.Stop();
        reader.join();
        throw;
    }
    h.Stop();
    reader.join();
    if (going && h.error) std::rethrow_exception(h.error);
}

} // namespace zelk::host::exchange
