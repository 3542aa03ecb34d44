#pragma once
#include <filesystem>
#include <string_view>

namespace tc {

// Every file the program writes is made under a temporary name beside its target and put in
// place by a rename once it is whole, so a failed write (a full disk, no free inodes, a folder
// that refuses new files) leaves an existing file as it was. Failures throw Error
// ("Cannot create file "<target>". <the system's reason>").

// A temporary file beside a target: created empty (under a name nobody else uses) by the
// constructor, removed by the destructor unless commit() has put it in place of the target.
class FileReplacement {
public:
    explicit FileReplacement(const std::filesystem::path& target);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Where the new contents are written.
    const std::filesystem::path& temporaryPath() const { return temporary_; }
    const std::filesystem::path& target() const { return target_; }

    // Writes bytes as the whole temporary file, each write, the flush and the close checked.
    void write(std::string_view bytes);
    // Renames the temporary file onto the target, which it replaces (keeping the target's
    // permissions when it existed).
    void commit();

    // Throws the error of this target with the given reason.
    [[noreturn]] void fail(const std::string& reason) const;

private:
    std::filesystem::path target_;  // as given: named in messages
    std::filesystem::path writeTo_; // the file the rename replaces (a link followed)
    std::filesystem::path temporary_;
    bool committed_ = false;
};

// Writes bytes as the whole file at path through a FileReplacement.
void replaceFileContents(const std::filesystem::path& path, std::string_view bytes);

} // namespace tc
