// Reads the knobs of a fuzz input from its front, the rest being the data.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

// A promise of the code under test that the input broke: says which, then stops the run so that
// the fuzzer keeps the input.
#define TC_FUZZ_CHECK(condition)                                                                   \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition);           \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace tc::fuzz {

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size)
        : data_(reinterpret_cast<const char*>(data)), size_(size) {}

    // One byte from the front (0 once the input is used up).
    std::uint8_t byte() {
        if (size_ == 0) return 0;
        --size_;
        return static_cast<std::uint8_t>(*data_++);
    }
    // A double from the next 8 bytes, any bit pattern (zeros once the input is used up).
    double number() {
        double d = 0;
        if (size_ < sizeof d) {
            size_ = 0;
            return d;
        }
        std::memcpy(&d, data_, sizeof d);
        data_ += sizeof d;
        size_ -= sizeof d;
        return d;
    }
    std::size_t left() const { return size_; }
    std::string_view rest() const { return {data_, size_}; }

private:
    const char* data_;
    std::size_t size_;
};

} // namespace tc::fuzz
