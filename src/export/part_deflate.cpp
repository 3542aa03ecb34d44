#include "export/part_deflate.h"

#include "common/error.h"
#include "common/two_threads.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <future>
#include <limits>
#include <string_view>

namespace tc {

namespace {

// What deflate can refer back to: the dictionary that joins the second half to the first.
constexpr std::size_t kWindow = 32768;
constexpr std::size_t kOutputStep = 1 << 18;

class Deflater {
public:
    Deflater() {
        if (deflateInit2(&z_, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8,
                         Z_DEFAULT_STRATEGY) != Z_OK)
            fail();
    }
    ~Deflater() { deflateEnd(&z_); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // Before the first bytes: what the stream continues.
    void prime(std::string_view dictionary) {
        if (deflateSetDictionary(&z_, reinterpret_cast<const Bytef*>(dictionary.data()),
                                 static_cast<uInt>(dictionary.size())) != Z_OK)
            fail();
    }

    // flush: Z_NO_FLUSH, Z_FULL_FLUSH (ends the half on a byte boundary) or Z_FINISH.
    void add(std::string_view in, int flush) {
        crc_ = crc32_z(crc_, reinterpret_cast<const Bytef*>(in.data()), in.size());
        size_ += in.size();
        z_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
        z_.avail_in = static_cast<uInt>(in.size());
        for (;;) {
            if (out_.size() - used_ < kOutputStep)
                out_.resize(std::max(2 * out_.size(), out_.size() + 4 * kOutputStep));
            z_.next_out = reinterpret_cast<Bytef*>(out_.data() + used_);
            z_.avail_out = static_cast<uInt>(out_.size() - used_);
            const int rc = deflate(&z_, flush);
            if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) fail();
            const bool roomLeft = z_.avail_out != 0;
            used_ = out_.size() - z_.avail_out;
            if (flush == Z_FINISH ? rc == Z_STREAM_END : z_.avail_in == 0 && roomLeft) break;
        }
    }

    std::string take() {
        out_.resize(used_);
        return std::move(out_);
    }
    std::uint64_t size() const { return size_; }
    std::uint32_t crc() const { return static_cast<std::uint32_t>(crc_); }

private:
    [[noreturn]] void fail() const {
        throw Error(std::string("The data could not be compressed (") +
                    (z_.msg ? z_.msg : "zlib failed") + ")");
    }
    z_stream z_{};
    std::string out_;
    std::size_t used_ = 0;
    std::uint64_t size_ = 0;
    uLong crc_ = crc32(0, nullptr, 0);
};

// Compresses pieces from..to - 1 into d; the last piece with lastFlush. Stops early (returning
// false) once stop is set; done counts the pieces compressed.
bool compressRange(Deflater& d, const PartPiece& piece, std::size_t from, std::size_t to,
                   int lastFlush, const std::atomic<bool>& stop, std::atomic<std::size_t>& done,
                   const std::function<void()>& afterPiece) {
    std::string buffer;
    for (std::size_t i = from; i < to; ++i) {
        if (stop.load(std::memory_order_relaxed)) return false;
        buffer.clear();
        piece(i, buffer);
        d.add(buffer, i + 1 == to ? lastFlush : Z_NO_FLUSH);
        done.fetch_add(1, std::memory_order_relaxed);
        if (afterPiece) afterPiece();
    }
    return true;
}

// The last kWindow bytes of the pieces before split.
std::string tailBefore(const PartPiece& piece, std::size_t split) {
    std::string tail;
    for (std::size_t i = split; i-- > 0 && tail.size() < kWindow;) {
        std::string s;
        piece(i, s);
        tail.insert(0, s);
    }
    if (tail.size() > kWindow) tail.erase(0, tail.size() - kWindow);
    return tail;
}

} // namespace

DeflatedPart deflatePieces(std::size_t count, const PartPiece& piece,
                           const WorkProgress& progress) {
    std::atomic<bool> stop{false};
    std::atomic<std::size_t> done{0};
    const auto report = [&] {
        reportProgress(progress, count ? static_cast<double>(done.load()) / count : 1.0);
    };
    if (count < 2) {
        Deflater d;
        if (count == 0) d.add({}, Z_FINISH);
        compressRange(d, piece, 0, count, Z_FINISH, stop, done, report);
        const std::uint64_t size = d.size();
        const std::uint32_t crc = d.crc();
        return {d.take(), size, crc};
    }

    const std::size_t split = count / 2;
    Deflater first, second;
    auto worker = std::async(std::launch::async, [&] {
        try {
            second.prime(tailBefore(piece, split));
            compressRange(second, piece, split, count, Z_FINISH, stop, done, {});
        } catch (...) {
            stop = true; // the first half need not go on
            throw;
        }
    });
    {
        // A failure here stops the second half before its end is awaited.
        const StopOnExit stopOnExit{stop};
        compressRange(first, piece, 0, split, Z_FULL_FLUSH, stop, done, report);
        // The second half may still be at work: its progress is shown while waiting for it.
        waitReporting(worker, [&] {
            report();
            return true;
        });
    }
    worker.get(); // a failure of the second half comes out here
    report();     // both halves done

    DeflatedPart part;
    part.size = first.size() + second.size();
    // zlib combines CRCs over a length of type z_off_t (32 bits on Windows):
    // a half takes up to 2 GB.
    if (second.size() > static_cast<std::uint64_t>(std::numeric_limits<z_off_t>::max()))
        throw Error("The data could not be compressed (a part of more than 4 GB)");
    part.crc = static_cast<std::uint32_t>(
        crc32_combine(first.crc(), second.crc(), static_cast<z_off_t>(second.size())));
    part.data = first.take();
    part.data += second.take();
    return part;
}

} // namespace tc
