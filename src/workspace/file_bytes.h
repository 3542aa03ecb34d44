#pragma once
#include "workspace/record_file.h"

#include <filesystem>
#include <memory>
#include <string_view>

namespace tc {

// The bytes of a file, read whole; empty with cancelled set when progress cancelled the reading.
struct FileBytes {
    std::unique_ptr<char[]> bytes;
    size_t size = 0;
    bool cancelled = false;
    std::string_view view() const { return {bytes.get(), size}; }
};

// From this many bytes on, a record file is read, and its text parsed, by two threads.
inline constexpr size_t kTwoThreadBytes = size_t(4) << 20;

// Reads a regular file whole, a large one in two halves at once, reporting the Reading stage.
// A file that became shorter gives what is there. Throws NotRegularFileError for anything but a
// regular file and FileOpenError when the file cannot be opened or read.
FileBytes readFileBytes(const std::filesystem::path& path, const ProgressFn& progress);

} // namespace tc
