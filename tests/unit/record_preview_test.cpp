#include "common/error.h"
#include "workspace/import_settings.h"
#include "workspace/record_preview.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace {

std::string readData(const std::string& name) {
    std::ifstream in(std::string(TC_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string preview(const std::string& name) {
    return tc::decodeRecordText(readData("preview/" + name));
}

using Names = std::vector<std::string>;

TEST(RecordPreview, RecordShapes) {
    const struct {
        const char* file;
        int begin;
        size_t columns;
        Names names;
        Names units;
        int dispColumn, forceColumn; // suggested, 0 when none
    } cases[] = {
        {"force_first_units.csv",
         3,
         6, // the blanks in the names line split it into six fields for the import's rule
         {"Lead Actuator Force", "Lead Actuator Displacment", "", "", "", ""},
         {"kN", "mm", "", "", "", ""},
         2,
         1},
        {"header_names.csv", 2, 2, {"disp_mm", "force_kN"}, {"mm", "kN"}, 1, 2},
        {"inch_kip.csv", 2, 2, {"disp_in", "friction_force_kip"}, {"in", "kip"}, 1, 2},
        {"scientific.csv", 1, 2, {"", ""}, {"", ""}, 0, 0},
        {"bracket_units.txt",
         2,
         4,
         {"Disp (mm)", "Force (kN)", "", ""},
         {"mm", "kN", "", ""},
         1,
         2},
        {"stray_number_header.txt", 5, 3, {"disp", "force", ""}, {"", "", ""}, 1, 2},
        {"three_columns.csv", 2, 3, {"time", "disp", "force"}, {"", "", ""}, 2, 3},
        {"noisy_prefix.csv", 1, 2, {"", ""}, {"", ""}, 0, 0},
        {"no_numbers.txt", 0, 1, {""}, {""}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const tc::RecordPreview p = tc::previewRecord(preview(c.file), tc::ImportSettings{}, '.');
        EXPECT_EQ(p.suggestedBegin, c.begin);
        EXPECT_EQ(p.columnCount, c.columns);
        EXPECT_EQ(p.columnNames, c.names);
        EXPECT_EQ(p.columnUnits, c.units);
        EXPECT_EQ(p.suggestedDispColumn, c.dispColumn);
        EXPECT_EQ(p.suggestedForceColumn, c.forceColumn);
        EXPECT_EQ(p.fields.size(), p.lines.size());
    }
}

TEST(RecordPreview, CommaDecimalsSplitAtTheFieldSeparator) {
    tc::ImportSettings s;
    s.decimal = tc::DecimalMode::Comma;
    const tc::RecordPreview p = tc::previewRecord(preview("comma_semicolon.csv"), s, '.');
    EXPECT_EQ(p.suggestedBegin, 2);
    EXPECT_EQ(p.fields[1], (Names{"1,5", "-20,3"}));
    EXPECT_EQ(p.columnNames, (Names{"Weg [mm]", "Kraft [kN]", "", ""}));
    EXPECT_EQ(p.columnUnits, (Names{"mm", "kN", "", ""}));
    // The default rule cannot read these lines at all.
    EXPECT_EQ(tc::previewRecord(preview("comma_semicolon.csv"), {}, '.').suggestedBegin, 0);
}

TEST(RecordPreview, OnlyTheFirstTwoHundredLinesAreSplit) {
    std::string text;
    for (int i = 0; i < 5000; ++i)
        text += std::to_string(i) + "," + std::to_string(-i) + "\n";
    const tc::RecordPreview p = tc::previewRecord(text, {}, '.');
    EXPECT_EQ(p.lines.size(), 200u);
    EXPECT_EQ(p.lines.back(), "199,-199");
}

TEST(SuggestDecimalMode, Shapes) {
    const struct {
        const char* file;
        bool suggested;
        tc::CommaFieldSeparator separator;
    } cases[] = {
        {"comma_semicolon.csv", true, tc::CommaFieldSeparator::Semicolon},
        {"comma_tab.txt", true, tc::CommaFieldSeparator::Tab},
        {"header_names.csv", false, {}},
        {"bracket_units.txt", false, {}}, // tabs, but whole numbers without commas
        {"scientific.csv", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        tc::DecimalMode mode = tc::DecimalMode::User;
        tc::CommaFieldSeparator sep = tc::CommaFieldSeparator::Semicolon;
        EXPECT_EQ(tc::suggestDecimalMode(preview(c.file), mode, sep), c.suggested);
        if (c.suggested) {
            EXPECT_EQ(mode, tc::DecimalMode::Comma);
            EXPECT_EQ(sep, c.separator);
        }
    }
}

TEST(UnitInHeader, Forms) {
    const struct {
        const char* name;
        const char* unit;
    } cases[] = {
        {"disp_mm", "mm"},
        {"force_kN", "kN"},
        {"Disp (mm)", "mm"},
        {"F [kN]", "kN"},
        {"kN", "kN"},
        {"friction_force_kip", "kip"},
        {"force kN", "kN"},
        {"Displacement", ""},
        {"disp_xyz", ""},
        {"Drift ( % )", "%"},
        {"", ""},
        {"  mm  ", "mm"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(tc::unitInHeader(c.name), c.unit);
    }
}

TEST(RecordHead, DecodesOnlyTheHeadAsTheWholeFileWouldBe) {
    EXPECT_EQ(tc::recordHead("a\nb\r\nc\rd\n", 2), "a\nb\r\n");
    EXPECT_EQ(tc::recordHead("a\nb", 5), "a\nb");
    // UTF-16 LE with a mark: the head keeps whole units.
    const std::string le("\xFF\xFE"
                         "1\0,\0"
                         "2\0\n\0"
                         "3\0,\0"
                         "4\0\n\0",
                         18);
    EXPECT_EQ(tc::recordHead(le, 1), "1,2\n");
    const std::string be("\xFE\xFF\0"
                         "1\0\r\0\n\0"
                         "2",
                         10);
    EXPECT_EQ(tc::recordHead(be, 1), "1\r\n");
    // A Latin-1 byte after the head still makes the whole file Latin-1.
    EXPECT_EQ(tc::recordHead("\xC2\xB0\nx\n\xB0\n", 1), "\xC3\x82\xC2\xB0\n");
    EXPECT_EQ(tc::recordHead("\xC2\xB0\nx\n", 1), "\xC2\xB0\n");
}

TEST(ReadRecordWith, DefaultsReadExactlyAsReadRecord) {
    for (const char* name : {"ten_lines.txt", "header_line.csv", "extra_columns.csv",
                             "blank_line.txt", "one_field.txt", "bad_force.txt", "quoted.csv",
                             "preview/force_first_units.csv", "preview/short_line.txt"}) {
        SCOPED_TRACE(name);
        const std::string text = tc::decodeRecordText(readData(name));
        for (const auto& [b, s] : {std::pair{1, 1}, {2, 1}, {3, 2}, {1, 3}}) {
            for (const char sep : {'.', ','}) {
                const tc::RecordReadResult a = tc::readRecord(text, b, s, sep);
                const tc::RecordReadResult w = tc::readRecordWith(text, b, s, sep, {});
                EXPECT_EQ(w.disp, a.disp);
                EXPECT_EQ(w.force, a.force);
                EXPECT_EQ(w.warning, a.warning);
                EXPECT_EQ(w.badLine, a.badLine);
            }
        }
    }
}

TEST(ReadRecordWith, ColumnsScalesSignsAndSeparators) {
    using V = std::vector<double>;
    auto settings = [](int dc, double ds, bool dn, int fc, double fs, bool fn) {
        tc::ImportSettings s;
        s.disp = {dc, ds, dn};
        s.force = {fc, fs, fn};
        return s;
    };
    tc::ImportSettings comma = settings(1, 1, false, 2, 1, false);
    comma.decimal = tc::DecimalMode::Comma;
    tc::ImportSettings commaTab = comma;
    commaTab.commaSeparator = tc::CommaFieldSeparator::Tab;
    tc::ImportSettings point;
    point.decimal = tc::DecimalMode::Point;
    const struct {
        const char* file;
        int begin;
        tc::ImportSettings s;
        char userSep;
        V disp, force;
        const char* warning;
        int badLine;
    } cases[] = {
        {"force_first_units.csv", 3, settings(2, 1, false, 1, 1, false), '.', V{0, 0, 2.25},
         V{0.02, 0.01, -1.5}, "", 0},
        {"header_names.csv", 2, settings(1, 1000, false, 2, 1, true), '.', V{0, 250, -500},
         V{-0.376939149, -22.63949544, 30.7}, "", 0},
        {"three_columns.csv", 2, settings(2, 1, false, 3, 1, false), '.', V{1.5, 2.5},
         V{-20.3, -10}, "", 0},
        {"comma_semicolon.csv", 2, comma, '.', V{1.5, 2.5}, V{-20.3, -10}, "", 0},
        {"comma_tab.txt", 1, commaTab, '.', V{1.5, 2.5}, V{-20.3, -10}, "", 0},
        // Decimal point although the user writes a comma.
        {"three_columns.csv", 2, point, ',', V{0, 0.1}, V{1.5, 2.5}, "", 0},
        // A column beyond the last field stops at the first line.
        {"header_names.csv", 2, settings(1, 1, false, 3, 1, false), '.', V{}, V{},
         "List index out of bounds (2)", 2},
        {"header_names.csv", 1, settings(2, 1, false, 1, 1, false), '.', V{}, V{},
         "'force_kN' is not a valid floating point value", 1},
        // A scaled value beyond the number range.
        {"scientific.csv", 1, settings(1, 1, false, 2, 1e305, false), '.',
         V{-3.131820000000000003e-03, -3.091179999999999796e-03},
         V{7.124894999999999357e+306, 4.475365000000000038e+306},
         "A value times its scale is beyond the number range.", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string text = preview(c.file);
        const tc::RecordReadResult r = tc::readRecordWith(text, c.begin, 1, c.userSep, c.s);
        ASSERT_EQ(r.disp.size(), c.disp.size());
        for (size_t i = 0; i < c.disp.size(); ++i) {
            EXPECT_DOUBLE_EQ(r.disp[i], c.disp[i]);
            EXPECT_DOUBLE_EQ(r.force[i], c.force[i]);
        }
        EXPECT_EQ(r.warning, c.warning);
        EXPECT_EQ(r.badLine, c.badLine);
    }
}

TEST(ReadRecordWith, BlankLinesEndTheDataOnlyAtTheVeryEnd) {
    const tc::RecordReadResult end =
        tc::readRecordWith(preview("trailing_blanks.txt"), 1, 1, '.', {});
    EXPECT_EQ(end.disp, (std::vector<double>{1, 3}));
    EXPECT_EQ(end.warning, "");
    EXPECT_EQ(end.badLine, 0);
    const tc::RecordReadResult mid =
        tc::readRecordWith(preview("blank_then_data.txt"), 1, 1, '.', {});
    EXPECT_EQ(mid.disp, (std::vector<double>{1}));
    EXPECT_EQ(mid.warning, "List index out of bounds (0)");
    EXPECT_EQ(mid.badLine, 2);
}

TEST(CheckSettings, RefusesColumnsBelowOneAndZeroOrEndlessScales) {
    tc::ImportSettings s;
    EXPECT_NO_THROW(tc::checkSettings(s));
    s.disp.column = 0;
    EXPECT_THROW(tc::checkSettings(s), tc::Error);
    s = {};
    s.force.scale = 0;
    EXPECT_THROW(tc::checkSettings(s), tc::Error);
    s.force.scale = std::nan("");
    EXPECT_THROW(tc::checkSettings(s), tc::Error);
}

TEST(SuggestLoopDirection, FirstExcursionBeyondTwoPercent) {
    using V = std::vector<double>;
    const struct {
        V disp;
        tc::RecordDirection dir;
    } cases[] = {
        {{0, 1, -1}, tc::RecordDirection::Positive},
        {{0, -0.01, 0.01, -1, 1}, tc::RecordDirection::Negative}, // jitter within 2 % first
        {{5, 5.01, 4.99, 7, 3}, tc::RecordDirection::Positive},
        {{1, 1, 1}, tc::RecordDirection::None},
        {{1}, tc::RecordDirection::None},
        {{}, tc::RecordDirection::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tc::suggestLoopDirection(c.disp), c.dir);
    // The long noisy prefix: negative first.
    const tc::RecordReadResult r = tc::readRecordWith(preview("noisy_prefix.csv"), 1, 1, '.', {});
    EXPECT_EQ(tc::suggestLoopDirection(r.disp), tc::RecordDirection::Negative);
}

TEST(ExplainStop, WhereAndWhatToDo) {
    const struct {
        const char* file;
        int begin;
        const char* text;
        bool notANumber;
    } cases[] = {
        {"header_names.csv", 1,
         "Line 1 of f.csv:\ndisp_mm,force_kN\nThe line looks like a header: set F-D Curve Begin "
         "Line to 2, or use File \u2192 Import with Preview.",
         true},
        {"short_line.txt", 1, "Line 3 of f.csv:\n5\nLine 3 has only one field.", false},
        {"comma_semicolon.csv", 2,
         "Line 2 of f.csv:\n1,5;-20,3\nThe file uses ';' between fields: use Import with Preview "
         "and choose comma decimals.",
         true},
        {"blank_then_data.txt", 1, "Line 2 of f.csv:\n(blank line)\nLine 2 is blank.", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string text = preview(c.file);
        const tc::RecordReadResult r = tc::readRecordWith(text, c.begin, 1, '.', {});
        const tc::StopExplanation e =
            tc::explainStop(text, r, c.begin, {}, "f.csv", tc::suggestBeginLine(text, {}, '.'));
        EXPECT_EQ(e.text, c.text);
        EXPECT_EQ(e.notANumber, c.notANumber);
    }
    // A long line is cut at 80 characters.
    const std::string longLine = "x" + std::string(100, 'y') + ",1\n";
    const tc::RecordReadResult r = tc::readRecordWith(longLine, 1, 1, '.', {});
    const tc::StopExplanation e = tc::explainStop(longLine, r, 1, {}, "f", 0);
    EXPECT_NE(e.text.find("\nx" + std::string(79, 'y') + "...\n"), std::string::npos) << e.text;
}

TEST(DescribeSettings, NamesWhatIsNotDefault) {
    EXPECT_EQ(tc::describeSettings({}), "");
    tc::ImportSettings s;
    s.disp = {2, 1000, false};
    s.force = {1, 1, true};
    s.decimal = tc::DecimalMode::Comma;
    s.dispUnit = "mm";
    EXPECT_EQ(tc::describeSettings(s),
              "Import options: disp field 2 x 1000; force field 1 negated; "
              "decimal comma, ';' between fields; units mm / -");
    EXPECT_EQ(tc::dispAxisTitle(s), "Disp (mm)");
    EXPECT_EQ(tc::forceAxisTitle(s), "Force");
    EXPECT_FALSE(s.isDefault());
    tc::ImportSettings unitsOnly;
    unitsOnly.forceUnit = "kN";
    EXPECT_FALSE(unitsOnly.changesReading());
}

// The six real records, where the machine has them: the preview finds the data and the columns.
TEST(RecordPreview, RealRecords) {
    const struct {
        const char* file;
        int begin, dispColumn, forceColumn;
        const char* dispUnit;
        const char* forceUnit;
        tc::RecordDirection dir;
    } cases[] = {
        {"SPC1_CLT_connection_Tannert.csv", 3, 2, 1, "mm", "kN", tc::RecordDirection::Positive},
        {"TS1_wall_Ganey2015.csv", 1, 0, 0, "", "", tc::RecordDirection::Negative},
        {"PEER_BG8_Saatcioglu_Grira1999.csv", 2, 1, 2, "mm", "kN", tc::RecordDirection::Positive},
        {"PEER_NH2_Vu1998.csv", 2, 1, 2, "mm", "kN", tc::RecordDirection::Positive},
        {"PEER_10-1-2.25N_Pujol2002.csv", 2, 1, 2, "mm", "kN", tc::RecordDirection::Positive},
        {"BRFD_damper_1Hz_1in.csv", 2, 1, 2, "in", "kip", tc::RecordDirection::Positive},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        std::ifstream in(std::string(TC_REAL_DATA_DIR) + "/" + c.file, std::ios::binary);
        if (!in) GTEST_SKIP() << "the real records are not on this machine: " << TC_REAL_DATA_DIR;
        std::stringstream ss;
        ss << in.rdbuf();
        const std::string bytes = ss.str();
        const tc::RecordPreview p = tc::previewRecord(tc::recordHead(bytes, 200), {}, '.');
        EXPECT_EQ(p.suggestedBegin, c.begin);
        EXPECT_EQ(p.suggestedDispColumn, c.dispColumn);
        EXPECT_EQ(p.suggestedForceColumn, c.forceColumn);
        const size_t d = static_cast<size_t>((c.dispColumn ? c.dispColumn : 1) - 1);
        const size_t f = static_cast<size_t>((c.forceColumn ? c.forceColumn : 2) - 1);
        EXPECT_EQ(p.columnUnits.at(d), c.dispUnit);
        EXPECT_EQ(p.columnUnits.at(f), c.forceUnit);
        tc::ImportSettings s;
        s.disp.column = static_cast<int>(d + 1);
        s.force.column = static_cast<int>(f + 1);
        const tc::RecordReadResult r =
            tc::readRecordWith(tc::decodeRecordText(bytes), c.begin, 1, '.', s);
        EXPECT_EQ(r.warning, "");
        EXPECT_EQ(tc::suggestLoopDirection(r.disp), c.dir);
    }
}

} // namespace
