#include "export/text_export.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

namespace {

using tc::TextFileType;

std::string readExpected(const std::string& name) {
    std::ifstream in(std::string(TC_TEST_DATA_DIR) + "/export/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Two complete loops and an unfinished third with no middle crossing.
const std::vector<double> kMaxDisp1{10, 20}, kMaxForce1{125.5, 230};
const std::vector<double> kMaxDisp2{-9.5, -19.5}, kMaxForce2{-118, -221};

tc::LoopExtremes threeLoops() {
    return {3, kMaxDisp1, kMaxForce1, kMaxDisp2, kMaxForce2};
}

TEST(TextExport, AnalysisResultsCsvMatchesTheExampleByteForByte) {
    const auto bytes = tc::fileBytes(tc::analysisResultLines(threeLoops(), TextFileType::Csv, '.'));
    EXPECT_EQ(bytes, readExpected("analysis_results.csv"));
    EXPECT_EQ(bytes, "LoopNo.,1stMaxDisp,1stMaxDispForce,2ndMaxDisp,2ndMaxDispForce\r\n"
                     "1,10,125.5,-9.5,-118,\r\n"
                     "2,20,230,-19.5,-221,\r\n"
                     "3,--,--,--,--,\r\n");
}

TEST(TextExport, AnalysisResultsTextSeparatesHeaderByOneSpaceAndFieldsByTwo) {
    const auto bytes =
        tc::fileBytes(tc::analysisResultLines(threeLoops(), TextFileType::Text, '.'));
    EXPECT_EQ(bytes, readExpected("analysis_results.txt"));
    EXPECT_EQ(bytes, "LoopNo. 1stMaxDisp 1stMaxDispForce 2ndMaxDisp 2ndMaxDispForce\r\n"
                     "1  10  125.5  -9.5  -118  \r\n"
                     "2  20  230  -19.5  -221  \r\n"
                     "3  --  --  --  --  \r\n");
}

TEST(TextExport, LoopWithEmptySecondHalfHasDashesOnlyInItsLastFields) {
    const std::vector<double> d2{-9.5}, f2{-118};
    const tc::LoopExtremes loops{2, kMaxDisp1, kMaxForce1, d2, f2};
    const auto lines = tc::analysisResultLines(loops, TextFileType::Csv, '.');
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2], "2,20,230,--,--,");
}

TEST(TextExport, ModifiedLoopFilesMatchTheirExamples) {
    const std::vector<double> disp{0, 0.00001, 0.0001, 1234567.5, -3.25};
    const std::vector<double> force{0, 1.0 / 3.0, 12, -0.000015, 1e15};
    struct Case {
        TextFileType type;
        const char* file;
    };
    for (const Case c : {Case{TextFileType::Text, "modified_loop.txt"},
                         Case{TextFileType::Csv, "modified_loop.csv"}}) {
        const auto lines = tc::modifiedLoopLines(disp, force, c.type, '.');
        EXPECT_EQ(lines.size(), disp.size() + 1) << "one line more than points";
        EXPECT_EQ(tc::fileBytes(lines), readExpected(c.file)) << c.file;
        EXPECT_EQ(tc::modifiedLoopFileBytes(disp, force, c.type, '.'), tc::fileBytes(lines))
            << c.file;
    }
}

// A long curve is written in two halves at once: the file is the same as line by line.
TEST(TextExport, LongModifiedLoopFileIsTheSameAsItsLines) {
    std::vector<double> disp, force;
    for (int i = 0; i < 150'001; ++i) {
        disp.push_back(i * 0.001 - 7);
        force.push_back(i % 7 == 0 ? -1.0 / (i + 1) : 1e17 * i);
    }
    for (const TextFileType type : {TextFileType::Text, TextFileType::Csv})
        for (const char separator : {'.', ','})
            EXPECT_EQ(tc::modifiedLoopFileBytes(disp, force, type, separator),
                      tc::fileBytes(tc::modifiedLoopLines(disp, force, type, separator)));
}

TEST(TextExport, NumbersFollowTheNumberRule) {
    const std::vector<double> d{0.00001, 0.0001, 1234567.5};
    const std::vector<double> f{0, 0, 0};
    const auto lines = tc::modifiedLoopLines(d, f, TextFileType::Text, '.');
    EXPECT_EQ(lines[1], "1E-5 0");
    EXPECT_EQ(lines[2], "0.0001 0");
    EXPECT_EQ(lines[3], "1234567.5 0");
}

TEST(TextExport, BeforeAnAnalysisEachFileHoldsItsHeaderAlone) {
    EXPECT_EQ(tc::fileBytes(tc::modifiedLoopLines({}, {}, TextFileType::Csv, '.')), "X,Y\r\n");
    EXPECT_EQ(tc::fileBytes(tc::modifiedLoopLines({}, {}, TextFileType::Text, '.')), "X Y\r\n");
    EXPECT_EQ(tc::modifiedLoopFileBytes({}, {}, TextFileType::Text, '.'), "X Y\r\n");
    EXPECT_EQ(tc::fileBytes(tc::analysisResultLines({}, TextFileType::Text, '.')),
              "LoopNo. 1stMaxDisp 1stMaxDispForce 2ndMaxDisp 2ndMaxDispForce\r\n");
}

TEST(TextExport, CommaDecimalSeparatorKeepsCsvFieldsApart) {
    const std::vector<double> d{1.5, 2}, f{-20.25, 3};
    // CSV: a number that holds the separator is quoted, so the file still has two fields a line.
    EXPECT_EQ(tc::modifiedLoopFileBytes(d, f, TextFileType::Csv, ','),
              "X,Y\r\n\"1,5\",\"-20,25\"\r\n2,3\r\n");
    // Text: space-separated, nothing to quote.
    EXPECT_EQ(tc::modifiedLoopFileBytes(d, f, TextFileType::Text, ','),
              "X Y\r\n1,5 -20,25\r\n2 3\r\n");
    const std::vector<double> one{0.5}, two{-1};
    const tc::LoopExtremes loops{1, one, two, {}, {}};
    EXPECT_EQ(tc::analysisResultLines(loops, TextFileType::Csv, ',')[1], "1,\"0,5\",-1,--,--,");
}

TEST(TextExport, MismatchedCurveIsRefused) {
    const std::vector<double> d{1, 2}, f{1};
    EXPECT_THROW(tc::modifiedLoopLines(d, f, TextFileType::Text, '.'), std::invalid_argument);
    EXPECT_THROW(tc::modifiedLoopFileBytes(d, f, TextFileType::Text, '.'), std::invalid_argument);
}

TEST(TextExport, SuggestedNames) {
    const struct {
        const char* path;
        std::string_view suffix;
        const char* name;
    } cases[] = {
        {"C:\\data\\test1.txt", tc::kModifiedLoopsSuffix, "test1_ModifiedLoops"},
        {"C:\\data\\test1.txt", tc::kAnalysisResultsSuffix, "test1_TarvelCurveAnalysisResults"},
        {"/home/u/run.2.csv", tc::kModifiedLoopsSuffix, "run.2_ModifiedLoops"},
        {"C:record", tc::kModifiedLoopsSuffix, "record_ModifiedLoops"},
        {"D:\\x.y\\noext", tc::kModifiedLoopsSuffix, "noext_ModifiedLoops"},
        {"", tc::kModifiedLoopsSuffix, "_ModifiedLoops"},
        {"dir/.hidden", tc::kModifiedLoopsSuffix, "_ModifiedLoops"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tc::suggestedExportName(c.path, c.suffix), c.name) << c.path;
}

TEST(TextExport, TargetNameAlwaysGetsTheExtensionOfTheFileType) {
    EXPECT_EQ(tc::exportTargetName("out.csv", TextFileType::Csv), "out.csv.csv");
    EXPECT_EQ(tc::exportTargetName("out", TextFileType::Csv), "out.csv");
    EXPECT_EQ(tc::exportTargetName("test1_ModifiedLoops", TextFileType::Text),
              "test1_ModifiedLoops.txt");
    EXPECT_EQ(tc::textFileTypeFromFilterIndex(2), TextFileType::Csv);
    EXPECT_EQ(tc::textFileTypeFromFilterIndex(1), TextFileType::Text);
    EXPECT_EQ(tc::textFileTypeFromFilterIndex(0), TextFileType::Text);
}

} // namespace
