#pragma once
#include <exception>
#include <functional>

namespace tc {

// Long work reports the share of it done, 0 to 1, now and then; the callback returns false to stop
// the work, which then throws Cancelled. Always called from the thread that started the work.
using WorkProgress = std::function<bool(double fraction)>;

// The user stopped long work. Not an error: there is nothing to show but that it stopped, and the
// work leaves nothing half-done behind.
class Cancelled : public std::exception {
public:
    const char* what() const noexcept override { return "cancelled"; }
};

// Reports fraction to progress (when there is one); throws Cancelled when it says stop.
inline void reportProgress(const WorkProgress& progress, double fraction) {
    if (progress && !progress(fraction)) throw Cancelled();
}

// The progress of a step that makes up the share from..to of the whole work.
inline WorkProgress progressPart(const WorkProgress& whole, double from, double to) {
    if (!whole) return {};
    return [whole, from, to](double f) { return whole(from + (to - from) * f); };
}

} // namespace tc
