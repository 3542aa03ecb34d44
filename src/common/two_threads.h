#pragma once
#include <atomic>
#include <cstddef>
#include <thread>

namespace tc {

// Whether work of `amount` is shared by two threads: only from `atLeast` on (below it a second
// thread would not pay for itself) and on a machine with two processors or more.
inline bool worthTwoThreads(size_t amount, size_t atLeast) {
    return amount >= atLeast && std::thread::hardware_concurrency() > 1;
}

// Tells a second thread to stop, however the first one leaves the scope.
struct StopOnExit {
    std::atomic<bool>& stop;
    ~StopOnExit() { stop = true; }
};

} // namespace tc
