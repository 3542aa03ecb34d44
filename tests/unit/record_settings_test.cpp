// The import with settings read in place by the record parser, against a plain line-by-line
// reading of the same rule: split every line, convert the two fields, scale them.
#include "record_reference.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

using tc::reference::lineByLine;

// Lines of a few fields made of the pieces records hold: numbers in both decimal styles,
// quotes, words, empty fields, blanks, separators of every kind, the three line breaks.
std::string randomText(std::mt19937& gen, size_t lines) {
    static const char* const kFields[] = {"1",     "-2.5",  "+3e2", ".5",    "1,5", "-0,25",
                                          "5e9",   "1e999", "abc",  "\"4\"", "",    "\"1,5\"",
                                          "12.75", "0x10",  "3.",   "-1",    "2;3", "1.5.3"};
    static const char* const kSeparators[] = {",", ";", " ", "\t", ", ", " ; ", ",,", "  "};
    static const char* const kBreaks[] = {"\n", "\r\n", "\r"};
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(gen); };
    std::string text;
    for (size_t i = 0; i < lines; ++i) {
        if (pick(4) == 0) text += ' ';
        const size_t fields = 1 + pick(4);
        for (size_t k = 0; k < fields; ++k) {
            if (k) text += kSeparators[pick(std::size(kSeparators))];
            // Mostly plain numbers, so that runs of lines are read before a stop.
            text += pick(3) ? std::to_string(static_cast<int>(pick(2000)) - 1000) + "." +
                                  std::to_string(pick(100))
                            : kFields[pick(std::size(kFields))];
        }
        if (pick(8) == 0) text += pick(2) ? "," : " ";
        text += kBreaks[pick(std::size(kBreaks))];
    }
    return text;
}

std::vector<tc::ImportSettings> settingsTable() {
    auto with = [](int dc, double ds, bool dn, int fc, double fs, bool fn, tc::DecimalMode m,
                   tc::CommaFieldSeparator cs = tc::CommaFieldSeparator::Semicolon) {
        tc::ImportSettings s;
        s.disp = {dc, ds, dn};
        s.force = {fc, fs, fn};
        s.decimal = m;
        s.commaSeparator = cs;
        return s;
    };
    using M = tc::DecimalMode;
    return {
        with(1, 1, false, 2, 1, false, M::User),
        with(2, 1000, false, 1, 1, true, M::User),
        with(1, 1, true, 2, 1000, false, M::User), // fields 1 and 2, scaled
        with(1, 1, false, 3, -2.5, false, M::Point),
        with(3, 1, true, 3, 1e300, false, M::User), // one field for both; the scale overflows
        with(1, 1, false, 2, 1, false, M::Comma),
        with(2, 0.001, false, 1, 1, false, M::Comma, tc::CommaFieldSeparator::Tab),
        with(4, 1, false, 1, 1, false, M::Comma),
    };
}

void expectSame(const tc::RecordReadResult& got, const tc::RecordReadResult& want) {
    EXPECT_EQ(got.warning, want.warning);
    EXPECT_EQ(got.badLine, want.badLine);
    ASSERT_EQ(got.disp.size(), want.disp.size());
    EXPECT_EQ(got.disp, want.disp);
    EXPECT_EQ(got.force, want.force);
}

TEST(ReadRecordWith, ReadsAsLineByLine) {
    std::mt19937 gen(14);
    for (int round = 0; round < 300; ++round) {
        const std::string text = randomText(gen, 1 + round % 40);
        for (const tc::ImportSettings& s : settingsTable())
            for (const auto& [begin, step] : {std::pair{1, 1}, {2, 1}, {1, 3}})
                for (const char userSep : {'.', ','}) {
                    SCOPED_TRACE(::testing::Message()
                                 << "round " << round << " begin " << begin << " step " << step
                                 << " sep " << userSep << " disp field " << s.disp.column);
                    expectSame(tc::readRecordWith(text, begin, step, userSep, s),
                               lineByLine(text, begin, step, userSep, s));
                }
    }
}

// Records large enough to be read in two parts, clean and with a stop in either part.
TEST(ReadRecordWith, LargeRecordsReadAsLineByLine) {
    std::string clean;
    for (int i = 0; clean.size() < (size_t(9) << 20); ++i)
        clean += std::to_string(i % 977) + ";" + std::to_string(i % 13) + ",25;x\r\n";
    std::string early = clean, late = clean;
    early.insert(early.find('\n', early.size() / 5) + 1, "1;oops;2\n");
    late.insert(late.find('\n', late.size() / 5 * 4) + 1, "1;\n");
    tc::ImportSettings s;
    s.decimal = tc::DecimalMode::Comma;
    s.disp = {2, 10, true};
    s.force = {1, 1, false};
    for (const std::string* text : {&clean, &early, &late})
        for (const auto& [begin, step] : {std::pair{1, 1}, {3, 2}})
            expectSame(tc::readRecordWith(*text, begin, step, ',', s),
                       lineByLine(*text, begin, step, ',', s));
}

// The file read in place gives what its decoded text gives: a Latin-1 word quoted in UTF-8, a
// UTF-16 file, a file whose last lines are blank (left to the caller to forgive).
TEST(ReadRecordFileWith, ReadsAsTheDecodedText) {
    const auto dir = std::filesystem::temp_directory_path() / "tc_record_settings_test";
    std::filesystem::create_directories(dir);
    const std::string utf16 = std::string("\xFF\xFE") + std::string("2\0;\0001\0,\0005\0\n\0", 12);
    const struct {
        const char* name;
        std::string bytes;
    } files[] = {
        {"latin1.csv", "1;2,5\n3;4\n5;caf\xE9\n"},
        {"utf16.csv", utf16},
        {"blanks.csv", "1;2\n3;4\n \n\n"},
    };
    tc::ImportSettings s;
    s.decimal = tc::DecimalMode::Comma;
    s.disp = {2, 1, false};
    s.force = {1, 1, false};
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        const auto path = dir / f.name;
        std::ofstream(path, std::ios::binary) << f.bytes;
        const std::string text = tc::decodeRecordText(f.bytes);
        tc::RecordReadResult r = tc::readRecordFileWith(path, 1, 1, '.', s);
        tc::forgiveTrailingBlanks(text, r);
        expectSame(r, tc::readRecordWith(text, 1, 1, '.', s));
    }
    EXPECT_EQ(tc::readRecordFileWith(dir / "latin1.csv", 1, 1, '.', s).warning,
              "'caf\xC3\xA9' is not a valid floating point value");
    // A field far beyond the line's last one is missing, with no room made for it.
    s.disp.column = 2'000'000'000;
    EXPECT_EQ(tc::readRecordFileWith(dir / "latin1.csv", 1, 1, '.', s).warning,
              "List index out of bounds (1999999999)");
    s.force.scale = 0;
    EXPECT_THROW(tc::readRecordFileWith(dir / "latin1.csv", 1, 1, '.', s), tc::Error);
    std::filesystem::remove_all(dir);
}

} // namespace
