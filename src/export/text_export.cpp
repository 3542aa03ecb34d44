#include "export/text_export.h"

#include "common/number_text.h"
#include "common/two_threads.h"

#include <algorithm>
#include <cstring>
#include <future>
#include <memory>
#include <stdexcept>

namespace tc {

namespace {

struct Layout {
    std::string_view separator;
    std::string_view loopHeader;
    std::string_view resultHeader;
};

Layout layoutFor(TextFileType type) {
    if (type == TextFileType::Csv)
        return {",", "X,Y", "LoopNo.,1stMaxDisp,1stMaxDispForce,2ndMaxDisp,2ndMaxDispForce"};
    return {" ", "X Y", "LoopNo. 1stMaxDisp 1stMaxDispForce 2ndMaxDisp 2ndMaxDispForce"};
}

// From this many lines on, a file's lines are written by two threads.
constexpr size_t kTwoThreadLines = size_t(1) << 16;

// Writes one number field at out and returns its end. Under a comma decimal separator a CSV
// field holding a number would otherwise split into two fields; such a field is quoted, as CSV
// readers (our own import included) expect. With a point as decimal separator nothing is ever
// quoted. out needs room for kMaxNumberField characters.
constexpr size_t kMaxNumberField = kMaxNumberText + 2;

char* putNumber(char* out, double value, char decimalSeparator, TextFileType type) {
    const size_t n = formatNumberTo(out, value, decimalSeparator);
    if (type == TextFileType::Csv && decimalSeparator == ',' && std::memchr(out, ',', n)) {
        std::memmove(out + 1, out, n);
        out[0] = '"';
        out[n + 1] = '"';
        return out + n + 2;
    }
    return out + n;
}

void appendNumber(std::string& out, double value, char decimalSeparator, TextFileType type) {
    char buf[kMaxNumberField];
    out.append(buf, static_cast<size_t>(putNumber(buf, value, decimalSeparator, type) - buf));
}

void requireSameLength(std::span<const double> disp, std::span<const double> force) {
    if (disp.size() != force.size())
        throw std::invalid_argument("modified loop: displacement and force differ in length");
}

void appendPointLine(std::string& out, double d, double f, const Layout& layout, TextFileType type,
                     char decimalSeparator) {
    char line[2 * kMaxNumberField + 8];
    char* o = putNumber(line, d, decimalSeparator, type);
    std::memcpy(o, layout.separator.data(), layout.separator.size());
    o = putNumber(o + layout.separator.size(), f, decimalSeparator, type);
    out.append(line, static_cast<size_t>(o - line));
}

} // namespace

TextFileType textFileTypeFromFilterIndex(int filterIndex) {
    return filterIndex == 2 ? TextFileType::Csv : TextFileType::Text;
}

std::string suggestedExportName(std::string_view importedPath, std::string_view suffix) {
    std::string_view name = importedPath;
    const size_t folderEnd = name.find_last_of("\\/:");
    if (folderEnd != std::string_view::npos) name.remove_prefix(folderEnd + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string_view::npos) name = name.substr(0, dot);
    std::string out(name);
    out += suffix;
    return out;
}

std::string exportTargetName(std::string_view chosenName, TextFileType type) {
    std::string out(chosenName);
    out += type == TextFileType::Csv ? ".csv" : ".txt";
    return out;
}

std::vector<std::string> modifiedLoopLines(std::span<const double> disp,
                                           std::span<const double> force, TextFileType type,
                                           char decimalSeparator) {
    requireSameLength(disp, force);
    const Layout layout = layoutFor(type);
    std::vector<std::string> lines;
    lines.reserve(disp.size() + 1);
    lines.emplace_back(layout.loopHeader);
    for (size_t i = 0; i < disp.size(); ++i) {
        std::string line;
        appendPointLine(line, disp[i], force[i], layout, type, decimalSeparator);
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<std::string> analysisResultLines(const LoopExtremes& loops, TextFileType type,
                                             char decimalSeparator) {
    const Layout layout = layoutFor(type);
    // In the text form the header words are one space apart, the data fields two.
    const std::string_view sep = type == TextFileType::Csv ? layout.separator : "  ";
    const size_t firstCount = std::min(loops.maxDisp1.size(), loops.maxDispForce1.size());
    const size_t secondCount = std::min(loops.maxDisp2.size(), loops.maxDispForce2.size());

    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(std::max(loops.loopCount, 0)) + 1);
    lines.emplace_back(layout.resultHeader);
    auto appendPair = [&](std::string& line, size_t i, size_t count, std::span<const double> d,
                          std::span<const double> f) {
        if (i < count) {
            appendNumber(line, d[i], decimalSeparator, type);
            line += sep;
            appendNumber(line, f[i], decimalSeparator, type);
        } else {
            line += "--";
            line += sep;
            line += "--";
        }
        line += sep;
    };
    for (int loop = 0; loop < loops.loopCount; ++loop) {
        const size_t i = static_cast<size_t>(loop);
        std::string line = std::to_string(loop + 1);
        line += sep;
        appendPair(line, i, firstCount, loops.maxDisp1, loops.maxDispForce1);
        appendPair(line, i, secondCount, loops.maxDisp2, loops.maxDispForce2);
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string fileBytes(const std::vector<std::string>& lines) {
    size_t size = 0;
    for (const auto& l : lines)
        size += l.size() + 2;
    std::string out;
    out.reserve(size);
    for (const auto& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

std::string modifiedLoopFileBytes(std::span<const double> disp, std::span<const double> force,
                                  TextFileType type, char decimalSeparator) {
    requireSameLength(disp, force);
    const Layout layout = layoutFor(type);
    const size_t longestLine = 2 * kMaxNumberField + layout.separator.size() + 2;
    // The lines [from, to) written into room for the longest ones; returns their end.
    auto writeLines = [&](size_t from, size_t to, char* o) {
        for (size_t i = from; i < to; ++i) {
            o = putNumber(o, disp[i], decimalSeparator, type);
            std::memcpy(o, layout.separator.data(), layout.separator.size());
            o = putNumber(o + layout.separator.size(), force[i], decimalSeparator, type);
            std::memcpy(o, "\r\n", 2);
            o += 2;
        }
        return o;
    };
    // Two halves written at once, each into its own room, which only the written part of
    // takes up; then joined behind the header.
    const size_t n = disp.size();
    const size_t middle = worthTwoThreads(n, kTwoThreadLines) ? n / 2 : n;
    const auto first = std::make_unique_for_overwrite<char[]>(middle * longestLine + 1);
    const auto second = std::make_unique_for_overwrite<char[]>((n - middle) * longestLine + 1);
    const char* secondEnd = second.get();
    const char* firstEnd = nullptr;
    if (middle < n) {
        auto other =
            std::async(std::launch::async, [&] { return writeLines(middle, n, second.get()); });
        firstEnd = writeLines(0, middle, first.get());
        secondEnd = other.get();
    } else {
        firstEnd = writeLines(0, n, first.get());
    }
    std::string out;
    out.reserve(layout.loopHeader.size() + 2 + static_cast<size_t>(firstEnd - first.get()) +
                static_cast<size_t>(secondEnd - second.get()));
    out += layout.loopHeader;
    out += "\r\n";
    out.append(first.get(), static_cast<size_t>(firstEnd - first.get()));
    out.append(second.get(), static_cast<size_t>(secondEnd - second.get()));
    return out;
}

} // namespace tc
