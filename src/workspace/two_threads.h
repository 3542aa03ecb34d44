#pragma once
#include <atomic>
#include <cstddef>
#include <thread>

namespace tc {

// Whether work on so many bytes of a record is shared by two threads: below a few megabytes a
// second thread would not pay for itself.
inline bool worthTwoThreads(size_t bytes) {
    return bytes >= (size_t(4) << 20) && std::thread::hardware_concurrency() > 1;
}

// Tells a second thread to stop, however the first one leaves the scope.
struct StopOnExit {
    std::atomic<bool>& stop;
    ~StopOnExit() { stop = true; }
};

} // namespace tc
