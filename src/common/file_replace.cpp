#include "common/file_replace.h"

#include "common/error.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <system_error>

namespace tc {

namespace fs = std::filesystem;

namespace {

std::string reasonOf(int err) {
    return err ? std::string(std::strerror(err)) : std::string("The file could not be written.");
}

std::FILE* openFile(const fs::path& path, const char* mode) {
#ifdef _WIN32
    const std::string m(mode);
    return _wfopen(path.c_str(), std::wstring(m.begin(), m.end()).c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

// The file a rename onto target replaces: a symbolic link is followed, so the link stays.
fs::path resolvedTarget(const fs::path& target) {
    fs::path p = target;
    for (int depth = 0; depth < 40; ++depth) { // a loop of links ends somewhere
        std::error_code ec;
        if (!fs::is_symlink(p, ec)) break;
        const fs::path to = fs::read_symlink(p, ec);
        if (ec) break;
        p = to.is_absolute() ? to : p.parent_path() / to;
    }
    return p;
}

} // namespace

FileReplacement::FileReplacement(const fs::path& target)
    : target_(target), writeTo_(resolvedTarget(target)) {
    const fs::path folder = writeTo_.parent_path();
    std::string stem(1, '.'); // built up in steps: GCC 12 warns wrongly on "." + name
    stem += writeTo_.filename().string();
    stem += '.';
    for (int n = 1; n < 10000; ++n) {
        fs::path candidate = folder / stem;
        candidate += std::to_string(n) + ".tmp";
        errno = 0;
        // "x": never opens a file that is already there.
        if (std::FILE* f = openFile(candidate, "wbx")) {
            const bool closed = std::fclose(f) == 0;
            const int err = errno;
            temporary_ = candidate;
            if (!closed) fail(reasonOf(err));
            return;
        }
        if (errno != EEXIST) fail(reasonOf(errno));
    }
    fail("No free temporary name is left beside it.");
}

FileReplacement::~FileReplacement() {
    if (committed_ || temporary_.empty()) return;
    std::error_code ec;
    fs::remove(temporary_, ec);
}

void FileReplacement::fail(const std::string& reason) const {
    throw Error("Cannot create file \"" + target_.string() + "\". " + reason);
}

void FileReplacement::write(std::string_view bytes) {
    errno = 0;
    std::FILE* f = openFile(temporary_, "wb");
    if (!f) fail(reasonOf(errno));
    // Unbuffered: a failed write is seen at the write that failed, not lost in a flush.
    std::setvbuf(f, nullptr, _IONBF, 0);
    int err = 0;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size())
        err = errno ? errno : EIO;
    if (!err && std::fflush(f) != 0) err = errno ? errno : EIO;
    if (std::fclose(f) != 0 && !err) err = errno ? errno : EIO;
    if (err) fail(reasonOf(err));
}

void FileReplacement::commit() {
    std::error_code ec;
    const fs::file_status old = fs::status(writeTo_, ec);
    if (!ec && fs::is_regular_file(old)) fs::permissions(temporary_, old.permissions(), ec);
    fs::rename(temporary_, writeTo_, ec);
    if (ec) fail(ec.message());
    committed_ = true;
}

void replaceFileContents(const fs::path& path, std::string_view bytes) {
    FileReplacement file(path);
    file.write(bytes);
    file.commit();
}

} // namespace tc
