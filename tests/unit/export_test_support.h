#pragma once
// Test helpers for the chart export: a temporary folder and a recorded workbook host.
#include "export/chart_export.h"
#include "export/platform_host.h"
#include "export/workbook_host.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace tc::test {

// A fresh folder, removed with everything in it at the end of the test.
class TempFolder {
public:
    TempFolder() {
        static const unsigned run = std::random_device{}();
        static std::atomic<int> counter{0};
        path_ = std::filesystem::temp_directory_path() /
                ("tc_export_test_" + std::to_string(run) + "_" + std::to_string(++counter));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline WorkbookHostSettings recordingSettings(const std::filesystem::path& folder,
                                              std::shared_ptr<CallLog> log, char sep = '.') {
    WorkbookHostSettings s;
    s.outputFolder = folder;
    s.decimalSeparator = sep;
    s.recorder = std::move(log);
    return s;
}

// The host that writes the workbook file. It is the default host, except on Windows, where the
// default drives Excel itself through COM.
inline AutomationHostFactory workbookFileHostFactory(const std::filesystem::path& folder,
                                                     char sep = '.') {
#ifdef _WIN32
    WorkbookHostSettings s;
    s.outputFolder = folder;
    s.decimalSeparator = sep;
    return workbookHostFactory(std::move(s));
#else
    return defaultExcelHostFactory(folder, sep);
#endif
}

inline std::vector<std::string> described(const CallLog& log) {
    std::vector<std::string> out;
    for (const auto& c : log)
        out.push_back(describe(c));
    return out;
}

inline ExcelExportOptions defaultOptions() {
    ExcelExportOptions o;
    InitExcelExportOptions(o);
    return o;
}

} // namespace tc::test
