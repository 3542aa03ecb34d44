#include "workspace/record_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

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

} // namespace
