#include "workspace/record_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

std::string readData(const std::string& name) {
    std::ifstream in(std::string(TC_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

tc::RecordReadResult readFile(const std::string& name, int begin = 1, int step = 1) {
    return tc::readRecord(tc::decodeRecordText(readData(name)), begin, step, '.');
}

TEST(SplitFields, SeparatorForms) {
    using V = std::vector<std::string>;
    const struct {
        const char* line;
        V fields;
    } cases[] = {
        {"1.5,-20.3", {"1.5", "-20.3"}},
        {"1.5  -20.3", {"1.5", "-20.3"}},
        {"1.5\t-20.3", {"1.5", "-20.3"}},
        {"1.5 , -20.3", {"1.5", "-20.3"}},
        {"1.5,-20.3,7", {"1.5", "-20.3", "7"}},
        {"1,,3", {"1", "", "3"}},
        {"1,2,", {"1", "2", ""}},
        {"\"a,b\",\"say \"\"hi\"\"\"", {"a,b", "say \"hi\""}},
        {"  lead trail  ", {"lead", "trail"}},
        {"", {}},
        {",", {"", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(tc::splitFields(c.line), c.fields);
    }
    EXPECT_EQ(tc::splitFields("1 2 3 4", 2), (V{"1", "2"}));
    EXPECT_EQ(tc::splitFields(std::string_view("1\0 2", 4)), V{"1"}); // NUL ends the line
}

TEST(SplitLines, AllLineEndsAndNoExtraLineAtTheEnd) {
    using V = std::vector<std::string_view>;
    EXPECT_EQ(tc::splitLines("a\r\nb\nc\rd"), (V{"a", "b", "c", "d"}));
    EXPECT_EQ(tc::splitLines("a\n"), (V{"a"}));
    EXPECT_EQ(tc::splitLines("a\n\n"), (V{"a", ""}));
    EXPECT_EQ(tc::splitLines(""), V{});
    EXPECT_EQ(tc::splitLines("\r\n"), (V{""}));
}

TEST(DecodeRecordText, ByteOrderMarksUtf8AndLatin1) {
    EXPECT_EQ(tc::decodeRecordText("\xEF\xBB\xBF" "a"), "a");
    EXPECT_EQ(tc::decodeRecordText(std::string("\xFF\xFE" "a\0\xAC\x20", 6)), "a\xE2\x82\xAC");
    EXPECT_EQ(tc::decodeRecordText(std::string("\xFE\xFF\0a\x20\xAC", 6)), "a\xE2\x82\xAC");
    EXPECT_EQ(tc::decodeRecordText("\xC2\xB0" "C"), "\xC2\xB0" "C"); // valid UTF-8 stays
    EXPECT_EQ(tc::decodeRecordText("\xB0" "C"), "\xC2\xB0" "C");      // Latin-1 degree sign
    EXPECT_EQ(tc::decodeRecordText(std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6)), "\xF0\x9F\x98\x80");
}

struct FileCase {
    const char* file;
    int begin, step;
    std::vector<double> disp, force;
    std::string warning;
};

class ReadRecordFile : public ::testing::TestWithParam<FileCase> {};

TEST_P(ReadRecordFile, KeepsWhatWasReadAndSaysWhyItStopped) {
    const auto& c = GetParam();
    const auto r = readFile(c.file, c.begin, c.step);
    EXPECT_EQ(r.disp, c.disp);
    EXPECT_EQ(r.force, c.force);
    EXPECT_EQ(r.warning, c.warning);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadRecordFile,
    ::testing::Values(
        FileCase{"ten_lines.txt", 3, 2, {3, 5, 7, 9}, {30, 50, 70, 90}, ""},
        FileCase{"header_line.csv", 1, 1, {}, {}, "'Disp' is not a valid floating point value"},
        FileCase{"header_line.csv", 2, 1, {0, 1.5, 2}, {0, -20.3, 5}, ""},
        FileCase{"blank_line.txt", 1, 1, {0, 1}, {0, 1}, "List index out of bounds (0)"},
        FileCase{"one_field.txt", 1, 1, {0}, {0}, "List index out of bounds (1)"},
        FileCase{"bad_force.txt", 1, 1, {0}, {0}, "'x' is not a valid floating point value"},
        FileCase{"quoted.csv", 1, 1, {0, 1.5}, {1, -20.3}, ""},
        FileCase{"cr_only.txt", 1, 1, {0, 1, 2}, {0, 10, 20}, ""},
        FileCase{"utf16le.csv", 1, 1, {0, 1.5}, {1, -20.3}, ""},
        FileCase{"utf16be.csv", 1, 1, {0, 1.5}, {1, -20.3}, ""},
        FileCase{"utf8_bom.csv", 1, 1, {0, 1.5}, {1, -20.3}, ""},
        FileCase{"latin1_header.csv", 1, 1, {}, {},
                 "'\xC2\xB0" "C' is not a valid floating point value"},
        FileCase{"nan.csv", 1, 1, {0}, {0}, "'nan' is not a valid floating point value"},
        FileCase{"inf.csv", 1, 1, {0}, {0}, "'inf' is not a valid floating point value"},
        FileCase{"extra_columns.csv", 1, 1, {0, 1.5}, {0, -20.3}, ""},
        FileCase{"empty.txt", 1, 1, {}, {}, ""},
        FileCase{"ten_lines.txt", 11, 1, {}, {}, ""}));

TEST(ReadRecord, HostileInputEndsWithAWarningNotACrash) {
    const auto bin = readFile("random_bytes.bin");
    EXPECT_EQ(bin.disp.size(), bin.force.size());
    EXPECT_FALSE(bin.warning.empty());

    const auto longLine = readFile("long_line.txt");
    EXPECT_EQ(longLine.disp, std::vector<double>{0});
    EXPECT_EQ(longLine.warning.substr(0, 6), "'11111");
    EXPECT_EQ(longLine.badLine, 2);
}

TEST(ReadRecord, DecimalCommaLocaleReadsSemicolonFreeRecords) {
    const auto r = tc::readRecord("1,5 -20,3\n", 1, 1, ',');
    // The comma separates fields before it can be a decimal separator.
    EXPECT_EQ(r.disp, std::vector<double>{1});
    EXPECT_EQ(r.force, std::vector<double>{5});
}

// The same files read from disk by the file reader give the same points and warnings.
TEST_P(ReadRecordFile, SameThroughTheFileReader) {
    const auto& c = GetParam();
    const auto r =
        tc::readRecordFile(std::string(TC_TEST_DATA_DIR) + "/" + c.file, c.begin, c.step, '.');
    EXPECT_EQ(r.disp, c.disp);
    EXPECT_EQ(r.force, c.force);
    EXPECT_EQ(r.warning, c.warning);
    EXPECT_FALSE(r.cancelled);
    EXPECT_EQ(r.disp.capacity(), r.disp.size());
}

INSTANTIATE_TEST_SUITE_P(
    OddFiles, ReadRecordFile,
    ::testing::Values(
        // A NUL ends the line inside quotes as everywhere else.
        FileCase{"nul_in_quotes.csv", 1, 1, {0}, {0}, "List index out of bounds (1)"},
        // Bytes behind a UTF-8 mark that are not UTF-8 are Latin-1, as without the mark.
        FileCase{"utf8_bom_latin1.csv",
                 1,
                 1,
                 {},
                 {},
                 "'\xC2\xB0"
                 "C' is not a valid floating point value"},
        FileCase{"utf8_bom_latin1.csv", 2, 1, {0}, {1}, ""},
        // 1 followed by 400 zeros and e-1 is 1E399: refused, quoted by its first 60 characters.
        FileCase{"overflow_exponent.csv",
                 1,
                 1,
                 {0},
                 {0},
                 "'1" + std::string(59, '0') + "\xE2\x80\xA6' is not a valid floating point value"},
        // Values below the smallest double read as 0, with or without an exponent.
        FileCase{"underflow_no_exponent.csv", 1, 1, {0, 0}, {0, 0}, ""}));

TEST(SplitFields, NulInsideQuotesEndsTheLine) {
    using V = std::vector<std::string>;
    EXPECT_EQ(tc::splitFields(std::string_view("\"1\0\",2", 6)), V{"1"});
    EXPECT_EQ(tc::splitFields(std::string_view("\"a\"\"\0b\",2", 9)), V{"a\""});
}

TEST(DecodeRecordText, InvalidUtf8BehindAByteOrderMarkIsLatin1) {
    EXPECT_EQ(tc::decodeRecordText("\xEF\xBB\xBF"
                                   "\xB0"
                                   "C"),
              "\xC2\xB0"
              "C");
    EXPECT_EQ(tc::decodeRecordText("\xEF\xBB\xBF"
                                   "\xC2\xB0"
                                   "C"),
              "\xC2\xB0"
              "C");
}

// The common lines go through a quicker reading than the rest; both give the same points, and the
// same warnings, for every form of line.
TEST(ReadRecord, EveryLineFormReadsAsTheFieldRuleSays) {
    const struct {
        std::string_view line;
        char sep;
        double disp, force;
        const char* warning;
    } cases[] = {
        {"1.5,-20.3", '.', 1.5, -20.3, ""},
        {"  +1.5 \t, -20.3 ,7,x", '.', 1.5, -20.3, ""},
        {"1e3 2E-3", '.', 1000, 0.002, ""},
        {"5. .5", '.', 5, 0.5, ""},
        {"1, ,2", '.', 0, 0, "'' is not a valid floating point value"},
        {std::string_view("\0 1,2\0x", 7), '.', 1, 2, ""},
        {"\"1.5\",\"-20.3\"", '.', 1.5, -20.3, ""},
        {"\"1,5\";\"-20,3\"", ',', 0, 0, "';\"-20' is not a valid floating point value"},
        {"\"1,5\" \"-20,3\"", ',', 1.5, -20.3, ""},
        {"1,5 -20,3", ',', 1, 5, ""},
        {"1.5,-20.3", ',', 0, 0, "'1.5' is not a valid floating point value"},
        {"1,2x", '.', 0, 0, "'2x' is not a valid floating point value"},
        {"1x,2", '.', 0, 0, "'1x' is not a valid floating point value"},
        {"+-1,2", '.', 0, 0, "'+-1' is not a valid floating point value"},
        {"-,2", '.', 0, 0, "'-' is not a valid floating point value"},
        {"inf,2", '.', 0, 0, "'inf' is not a valid floating point value"},
        {"1,-nan", '.', 0, 0, "'-nan' is not a valid floating point value"},
        {"1e,2", '.', 0, 0, "'1e' is not a valid floating point value"},
        {"1,1e400", '.', 0, 0, "'1e400' is not a valid floating point value"},
        {"1,,2", '.', 0, 0, "'' is not a valid floating point value"},
        {"1,", '.', 0, 0, "'' is not a valid floating point value"},
        {",1", '.', 0, 0, "'' is not a valid floating point value"},
        {"1 ", '.', 0, 0, "List index out of bounds (1)"},
        {std::string_view("1\0,2", 4), '.', 0, 0, "List index out of bounds (1)"},
        {" \t ", '.', 0, 0, "List index out of bounds (0)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.line));
        // The line between good lines, with each kind of line end.
        for (const char* br : {"\n", "\r\n", "\r"}) {
            const std::string text =
                std::string("0,0") + br + std::string(c.line) + br + "9,9" + br;
            const auto r = tc::readRecord(text, 1, 1, c.sep);
            EXPECT_EQ(r.warning, c.warning);
            if (*c.warning) {
                EXPECT_EQ(r.disp, std::vector<double>{0});
                EXPECT_EQ(r.badLine, 2);
            } else {
                EXPECT_EQ(r.disp, (std::vector<double>{0, c.disp, 9}));
                EXPECT_EQ(r.force, (std::vector<double>{0, c.force, 9}));
            }
        }
    }
}

TEST(ReadRecord, HugeFirstFieldGivesAShortWarning) {
    const std::string ellipsis = "\xE2\x80\xA6";
    for (const char c : {'1', 'a'}) {
        SCOPED_TRACE(c);
        const std::string text = std::string(1 << 20, c) + ",2\r\n3,4\r\n";
        const auto r = tc::readRecord(text, 1, 1, '.');
        EXPECT_TRUE(r.disp.empty());
        EXPECT_EQ(r.badLine, 1);
        EXPECT_EQ(r.warning,
                  "'" + std::string(60, c) + ellipsis + "' is not a valid floating point value");
    }
}

TEST(ReadRecord, ProgressReportsTheBytesAndCanCancel) {
    std::string text;
    for (int i = 0; i < 1'000'000; ++i)
        text += std::to_string(i) + ",1.25\n";
    std::vector<tc::ImportProgress> seen;
    auto all = tc::readRecord(text, 1, 1, '.', [&](const tc::ImportProgress& p) {
        seen.push_back(p);
        return true;
    });
    EXPECT_FALSE(all.cancelled);
    EXPECT_EQ(all.disp.size(), 1'000'000u);
    ASSERT_GE(seen.size(), 2u);
    for (size_t i = 1; i < seen.size(); ++i)
        EXPECT_GT(seen[i].bytesDone, seen[i - 1].bytesDone);
    EXPECT_EQ(seen.back().bytesDone, text.size());
    EXPECT_EQ(seen.back().linesDone, 1'000'000u);
    EXPECT_DOUBLE_EQ(seen.back().fraction(), 1.0);

    int calls = 0;
    const auto stopped =
        tc::readRecord(text, 1, 1, '.', [&](const tc::ImportProgress&) { return ++calls < 2; });
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_EQ(calls, 2);
    EXPECT_LT(stopped.disp.size(), 1'000'000u);
}

TEST(ReadRecordFile, ReadingTheFileCanBeCancelledToo) {
    const auto path = std::filesystem::temp_directory_path() / "tc_record_cancel.csv";
    {
        std::ofstream out(path, std::ios::binary);
        for (int i = 0; i < 2'000'000; ++i)
            out << i << ",1.25\r\n";
    }
    tc::ImportProgress::Stage stage = tc::ImportProgress::Stage::Parsing;
    const auto r = tc::readRecordFile(path, 1, 1, '.', [&](const tc::ImportProgress& p) {
        stage = p.stage;
        return false;
    });
    std::filesystem::remove(path);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(stage, tc::ImportProgress::Stage::Reading);
    EXPECT_TRUE(r.disp.empty());
}

TEST(ReadRecordFile, OnlyRegularFilesAreRead) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "tc_record_odd_files";
    fs::remove_all(dir);
    fs::create_directories(dir);
    auto expectRefused = [](const fs::path& p) {
        SCOPED_TRACE(p.string());
        try {
            tc::readRecordFile(p, 1, 1, '.');
            ADD_FAILURE() << "read";
        } catch (const tc::NotRegularFileError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Cannot open file \"" + p.string() + "\". It is not a regular file.");
        }
    };
    expectRefused(dir);
#ifndef _WIN32
    // A named pipe with no writer would block the opening for ever.
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
    expectRefused(dir / "pipe");
    if (fs::exists("/dev/zero")) {
        fs::create_symlink("/dev/zero", dir / "zero.csv");
        expectRefused(dir / "zero.csv");
    }
#endif
    try {
        tc::readRecordFile(dir / "missing.csv", 1, 1, '.');
        ADD_FAILURE() << "read";
    } catch (const tc::NotRegularFileError&) {
        ADD_FAILURE() << "a missing file is not a file that is not regular";
    } catch (const tc::FileOpenError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + (dir / "missing.csv").string() +
                                             "\". No such file or directory");
    }
    fs::remove_all(dir);
}

} // namespace

// Texts of a few megabytes are read in two parts at once. Whatever the line break at the middle
// and wherever a bad line lies, the points and the warning are those of reading line by line.
namespace large {

constexpr int kLines = 300'000; // about 5 MB

struct Case {
    const char* name;
    const char* eol;
    int begin, step;
    std::vector<int> badLines; // 0-based; a bad line holds "x,1"
};

std::string makeText(const Case& c, int padding) {
    std::string text(static_cast<size_t>(padding), ' ');
    text.reserve(static_cast<size_t>(kLines) * 16);
    for (int i = 0; i < kLines; ++i) {
        const bool bad = std::find(c.badLines.begin(), c.badLines.end(), i) != c.badLines.end();
        text += bad ? "x,1" : std::to_string(i) + ",-" + std::to_string(i) + ".5";
        text += c.eol;
    }
    return text;
}

// What reading the selected lines one after another gives.
tc::RecordReadResult expected(const Case& c) {
    tc::RecordReadResult r;
    for (int i = c.begin - 1; i < kLines; i += c.step) {
        if (std::find(c.badLines.begin(), c.badLines.end(), i) != c.badLines.end()) {
            r.warning = "'x' is not a valid floating point value";
            r.badLine = i + 1;
            break;
        }
        r.disp.push_back(i);
        r.force.push_back(-i - 0.5);
    }
    return r;
}

} // namespace large

TEST(ReadRecord, LargeTextsReadInTwoPartsAsInOne) {
    using large::Case;
    const int middle = large::kLines / 2;
    const Case cases[] = {
        {"LF", "\n", 1, 1, {}},
        {"CR LF", "\r\n", 1, 1, {}},
        {"CR", "\r", 1, 1, {}},
        {"begin and step", "\r\n", 4, 7, {}},
        {"bad line early", "\n", 1, 1, {5}},
        {"bad line past the middle", "\r\n", 1, 1, {middle + 40}},
        {"bad line last", "\n", 1, 1, {large::kLines - 1}},
        {"the first of two bad lines", "\n", 1, 1, {middle - 40, middle + 40}},
        {"a bad line skipped by the step", "\n", 1, 2, {middle + 41}},
        {"begin past the middle", "\n", middle + 100, 3, {}},
    };
    for (const Case& c : cases) {
        const tc::RecordReadResult want = large::expected(c);
        // Leading blanks on the first line move the middle through every place in a line, the
        // two bytes of a CR LF among them.
        const bool sweep = std::string_view(c.name) == "CR LF";
        for (int padding = 0; padding < 36; padding += sweep ? 1 : 17) {
            SCOPED_TRACE(std::string(c.name) + ", padding " + std::to_string(padding));
            const std::string text = large::makeText(c, padding);
            const auto r = tc::readRecord(text, c.begin, c.step, '.');
            ASSERT_EQ(r.disp, want.disp);
            ASSERT_EQ(r.force, want.force);
            EXPECT_EQ(r.warning, want.warning);
            EXPECT_EQ(r.badLine, want.badLine);
            EXPECT_EQ(r.disp.capacity(), r.disp.size());
        }
    }
}

TEST(ReadRecordFile, LargeFilesReadInTwoHalvesAsInOne) {
    const auto path = std::filesystem::temp_directory_path() / "tc_record_halves.csv";
    const large::Case c{"file", "\r\n", 2, 3, {large::kLines - 10}};
    {
        std::ofstream out(path, std::ios::binary);
        out << "\xEF\xBB\xBF" << large::makeText(c, 3);
    }
    std::vector<size_t> done;
    const auto r = tc::readRecordFile(path, c.begin, c.step, '.', [&](const tc::ImportProgress& p) {
        if (p.stage == tc::ImportProgress::Stage::Reading) done.push_back(p.bytesDone);
        return true;
    });
    const auto size = std::filesystem::file_size(path);
    std::filesystem::remove(path);
    const tc::RecordReadResult want = large::expected(c);
    EXPECT_EQ(r.disp, want.disp);
    EXPECT_EQ(r.force, want.force);
    EXPECT_EQ(r.badLine, want.badLine);
    ASSERT_FALSE(done.empty());
    EXPECT_TRUE(std::is_sorted(done.begin(), done.end()));
    EXPECT_EQ(done.back(), size);
}
