#pragma once
#include <stdexcept>

namespace tc {

// An error whose message is meant for the user as it stands. Thrown by the core, caught once at
// the command handler boundary and shown in the standard error box.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace tc
