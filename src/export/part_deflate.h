#pragma once
// A large part of a zip file compressed on two processor cores at once, into one stream.
#include "common/work_progress.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace tc {

// A part compressed as a raw deflate stream (the zip file's method 8), with what the zip file's
// directory says of it.
struct DeflatedPart {
    std::string data;
    std::uint64_t size = 0; // bytes before compression
    std::uint32_t crc = 0;  // their CRC-32
};

// Appends piece i (0 <= i < count) of a part to out. It must give the same bytes for the same i
// every time, and may be called from two threads at once.
using PartPiece = std::function<void(std::size_t i, std::string& out)>;

// Compresses the part made of pieces 0 to count - 1, in order, at zlib's default level. From two
// pieces on, the first half of the pieces and the second are compressed at once, the second in a
// thread of its own; the first half ends on a byte boundary (a full flush) and the second starts
// with the last 32 KB of the first half as its dictionary (given again by piece), so the two join
// into one stream that inflates to the whole part. The result is the same every time.
// progress hears the share done from the calling thread; when it says stop, both halves stop and
// Cancelled is thrown. Throws Error when compression fails; rethrows what piece throws.
DeflatedPart deflatePieces(std::size_t count, const PartPiece& piece, const WorkProgress& progress);

} // namespace tc
