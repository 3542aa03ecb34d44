#pragma once
#include <atomic>
#include <chrono>
#include <cstddef>
#include <future>
#include <thread>

namespace tc {

// Whether work of `amount` is shared by two threads: only from `atLeast` on (below it a second
// thread would not pay for itself) and on a machine with two processors or more.
inline bool worthTwoThreads(size_t amount, size_t atLeast) {
    return amount >= atLeast && std::thread::hardware_concurrency() > 1;
}

// Waits for the result of a second thread, calling report() every 20 ms meanwhile, so that a
// long wait goes on showing progress. Returns false as soon as report() does; the second thread
// is then still at work.
template <class T, class Report> bool waitReporting(const std::future<T>& result, Report&& report) {
    using namespace std::chrono_literals;
    while (result.wait_for(20ms) != std::future_status::ready)
        if (!report()) return false;
    return true;
}

// Tells a second thread to stop, however the first one leaves the scope.
struct StopOnExit {
    std::atomic<bool>& stop;
    ~StopOnExit() { stop = true; }
};

} // namespace tc
