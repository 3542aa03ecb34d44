#include "workspace/file_bytes.h"

#include "common/two_threads.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <future>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <share.h> // _SH_DENYWR
#endif

namespace tc {

namespace fs = std::filesystem;

namespace {

std::string displayPath(const fs::path& path) {
    fs::path p = path;
    p.make_preferred();
    const std::u8string u = p.u8string();
    return std::string(u.begin(), u.end());
}

[[noreturn]] void cannotOpen(const fs::path& path, const std::string& reason) {
    throw FileOpenError("Cannot open file \"" + displayPath(path) + "\". " + reason);
}

std::string systemReason(int error) {
    return std::generic_category().message(error);
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

std::FILE* openForReading(const fs::path& path) {
#ifdef _WIN32
    // Others may go on reading the file, not writing it.
    return _wfsopen(path.c_str(), L"rb", _SH_DENYWR);
#else
    return std::fopen(path.c_str(), "rb");
#endif
}

// Moves a file opened for reading to a byte offset; false when it cannot.
bool seekTo(std::FILE* f, std::uint64_t offset) {
#ifdef _WIN32
    return _fseeki64(f, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
    return fseeko(f, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

struct RangeRead {
    size_t got = 0;
    int error = 0; // the system's error code when the reading failed
    bool stopped = false;
};

// Reads count bytes of the file into to, in chunks; tick(bytes got) after each chunk returns
// false to stop. A file that ends early ends the reading.
template <class Tick> RangeRead readRange(std::FILE* f, char* to, size_t count, Tick&& tick) {
    constexpr size_t kChunk = size_t(8) << 20;
    RangeRead r;
    while (r.got < count) {
        const size_t n = std::fread(to + r.got, 1, std::min(kChunk, count - r.got), f);
        r.got += n;
        if (n == 0) {
            if (std::ferror(f)) r.error = errno ? errno : EIO;
            break;
        }
        if (!tick(r.got)) {
            r.stopped = true;
            break;
        }
    }
    return r;
}

} // namespace

FileBytes readFileBytes(const fs::path& path, const ProgressFn& progress) {
    // A pipe would block the reading for ever and a device never end: only regular files are
    // read. A missing file is left to the opening, which gives the system's reason.
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!ec && fs::exists(status) && !fs::is_regular_file(status))
        throw NotRegularFileError("Cannot open file \"" + displayPath(path) +
                                  "\". It is not a regular file.");

    errno = 0;
    const std::unique_ptr<std::FILE, FileCloser> file(openForReading(path));
    if (!file) cannotOpen(path, systemReason(errno ? errno : EACCES));
    const std::uintmax_t fileSize = fs::file_size(path, ec);
    if (ec) cannotOpen(path, ec.message());
    if (fileSize > SIZE_MAX / 2) cannotOpen(path, systemReason(EFBIG));
    const auto size = static_cast<size_t>(fileSize);

    FileBytes out;
    try {
        out.bytes = std::make_unique_for_overwrite<char[]>(size ? size : 1);
    } catch (const std::bad_alloc&) {
        cannotOpen(path, systemReason(ENOMEM));
    }
    // A large file is read in two halves at once, through a second handle: filling fresh memory
    // costs the system as much as the reading, and so is shared.
    std::unique_ptr<std::FILE, FileCloser> secondFile;
    size_t firstPart = size;
    if (worthTwoThreads(size, kTwoThreadBytes)) {
        secondFile.reset(openForReading(path));
        if (secondFile && seekTo(secondFile.get(), size / 2))
            firstPart = size / 2;
        else
            secondFile.reset();
    }
    std::atomic<size_t> secondGot{0};
    std::atomic<bool> stop{false};
    std::future<RangeRead> second;
    if (secondFile)
        second = std::async(std::launch::async, [&] {
            return readRange(secondFile.get(), out.bytes.get() + firstPart, size - firstPart,
                             [&](size_t got) {
                                 secondGot.store(got, std::memory_order_relaxed);
                                 return !stop.load(std::memory_order_relaxed);
                             });
        });
    const StopOnExit stopOnExit{stop};

    auto report = [&](size_t firstGot) {
        if (!progress) return true;
        ImportProgress at;
        at.stage = ImportProgress::Stage::Reading;
        at.bytesDone = firstGot + secondGot.load(std::memory_order_relaxed);
        at.bytesTotal = size;
        return progress(at);
    };
    RangeRead first = readRange(file.get(), out.bytes.get(), firstPart, report);
    if (second.valid()) {
        if (!first.stopped)
            first.stopped = !waitReporting(second, [&] { return report(first.got); });
        stop = first.stopped;
        const RangeRead rest = second.get();
        if (first.error == 0) first.error = rest.error;
        // The file became shorter: what is there is the record.
        if (first.got == firstPart) first.got += rest.got;
        if (!first.stopped && first.error == 0) first.stopped = !report(firstPart);
    }
    if (first.error) cannotOpen(path, systemReason(first.error));
    if (first.stopped) {
        out = FileBytes();
        out.cancelled = true;
        return out;
    }
    out.size = first.got;
    return out;
}

} // namespace tc
