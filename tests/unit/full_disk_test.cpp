// Writing onto a full file system: a tmpfs of 64 KiB mounted for the test (as root), skipped when
// it cannot be mounted. An existing file must survive every failed write, the reason given.
#include "common/error.h"
#include "common/file_replace.h"
#include "results/engineering_results.h"
#include "results/results_tables.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/mount.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A small tmpfs holding target ("old contents"), then filled up: no byte (or no inode) is left.
class FullDisk {
public:
    explicit FullDisk(bool noInodes) {
        char tmpl[] = "/tmp/tc_full_XXXXXX";
        if (!mkdtemp(tmpl)) return;
        dir_ = tmpl;
        // Inodes: the root folder and the target (and the filler when space runs out).
        const std::string opts = noInodes ? "size=64k,nr_inodes=2" : "size=64k,nr_inodes=16";
        if (mount("tmpfs", tmpl, "tmpfs", 0, opts.c_str()) != 0) return;
        mounted_ = true;
        std::ofstream(target()) << "old contents";
        if (!noInodes) {
            std::ofstream fill(dir_ / "filler", std::ios::binary);
            const std::string block(4096, 'x');
            for (int i = 0; i < 64 && fill; ++i)
                fill.write(block.data(), block.size()), fill.flush();
        }
    }
    ~FullDisk() {
        if (mounted_) umount(dir_.c_str());
        std::error_code ec;
        if (!dir_.empty()) fs::remove_all(dir_, ec);
    }
    bool mounted() const { return mounted_; }
    fs::path target() const { return dir_ / "target.csv"; }
    // What the folder holds besides the filler.
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(dir_))
            if (e.path().filename() != "filler") out.push_back(e.path().filename().string());
        return out;
    }

private:
    fs::path dir_;
    bool mounted_ = false;
};

TEST(FullDisk, ExistingFileSurvivesEveryWriterWithTheReason) {
    const tc::EngineeringResults results{};
    const std::vector<std::pair<const char*, std::function<void(const fs::path&)>>> writers{
        {"small text", [](const fs::path& p) { tc::replaceFileContents(p, "X,Y\r\n1,2\r\n"); }},
        {"large text",
         [](const fs::path& p) { tc::replaceFileContents(p, std::string(200000, 'a')); }},
        {"workbook",
         [&](const fs::path& p) { tc::writeResultsWorkbook(tc::resultTables(results), p); }},
    };
    for (const bool noInodes : {false, true}) {
        for (const auto& [name, write] : writers) {
            SCOPED_TRACE(std::string(name) + (noInodes ? ", no free inodes" : ", no free space"));
            FullDisk disk(noInodes);
            if (!disk.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";
            try {
                write(disk.target());
                ADD_FAILURE() << "written onto a full disk";
            } catch (const tc::Error& e) {
                const std::string m = e.what();
                EXPECT_EQ(m.rfind("Cannot create file \"" + disk.target().string() + "\". ", 0), 0u)
                    << m;
                EXPECT_NE(m.find("No space left on device"), std::string::npos) << m;
            }
            EXPECT_EQ(contents(disk.target()), "old contents");
            EXPECT_EQ(disk.names(), std::vector<std::string>{"target.csv"}) << "temporary left";
        }
    }
}

} // namespace
#endif
