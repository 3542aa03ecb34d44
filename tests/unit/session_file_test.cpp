#include "session/session_file.h"

#include "workspace/loop_analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

namespace {

std::string dataPath(const std::string& name) {
    return std::string(TC_TEST_DATA_DIR) + "/session/" + name;
}

// A session with something in every member, with values that round-trip only when they are
// stored bit for bit.
tc::Session sampleSession() {
    tc::Session s;
    s.record.path = "/home/eng/Prüfung 3/rec.txt";
    s.record.beginLine = " 2";
    s.record.step = "3";
    s.record.disp = {0, 0.1, 1e-300, -0.0, 5, 0, -5, 0, 1.0 / 3};
    s.record.force = {0, 10, -1e300, 2, 50, 0, -50, 0.5, std::nextafter(1.0, 2.0)};
    s.record.drags = {{1, 0.2, 11}, {4, 6, 60}};
    s.record.deleted = {2, 7};
    s.analysis.analysed = true;
    s.analysis.deadBand = 0.05;
    s.analysis.drags = {{1, 0.15, 10.5}};
    s.selectedLoop = 1;
    s.skeleton.positive = {{0, 0}, {5, 50}, {5, 49.999999999999993}};
    s.skeleton.negative = {{0, 0}, {-0.0, -1}};
    s.controls = {1, 4, true, "-1", "10", "0.25"};
    tc::InitExcelExportOptions(s.settings.excel);
    s.settings.excel.titleText = "Specimen \"A\"";
    s.settings.excel.lineWeight = 0.1f;
    s.settings.excel.combinedOutput = 1;
    s.settings.analysis.deadBand = 0.125;
    s.settings.analysis.levelTolerancePercent = 7.5;
    s.settings.analysis.yieldMethod = tc::YieldMethod::Eccs;
    s.settings.analysis.evaluationCurve = tc::EvaluationCurve::SkeletonOnChart;
    s.settings.import.force = {3, -1000, true};
    s.settings.import.decimal = tc::DecimalMode::Comma;
    s.settings.import.commaSeparator = tc::CommaFieldSeparator::Tab;
    s.settings.import.sheet = 2;
    s.settings.import.dispUnit = "mm";
    s.settings.import.forceUnit = "kN";
    return s;
}

void expectSame(const std::vector<double>& a, const std::vector<double>& b) {
    EXPECT_TRUE(tc::sameArray(a, b));
}

TEST(SessionFile, EveryMemberComesBackBitForBit) {
    const tc::Session s = sampleSession();
    const tc::Session r = tc::parseSession(tc::sessionText(s), "x");
    EXPECT_EQ(r.record.path, s.record.path);
    EXPECT_EQ(r.record.beginLine, s.record.beginLine);
    EXPECT_EQ(r.record.step, s.record.step);
    expectSame(r.record.disp, s.record.disp);
    expectSame(r.record.force, s.record.force);
    EXPECT_TRUE(tc::sameArray(r.record.drags, s.record.drags));
    EXPECT_EQ(r.record.deleted, s.record.deleted);
    EXPECT_TRUE(r.analysis == s.analysis);
    EXPECT_EQ(r.selectedLoop, s.selectedLoop);
    EXPECT_TRUE(tc::sameArray(r.skeleton.positive, s.skeleton.positive));
    EXPECT_TRUE(tc::sameArray(r.skeleton.negative, s.skeleton.negative));
    EXPECT_EQ(r.controls.loopDirection, 1);
    EXPECT_EQ(r.controls.rule, 4);
    EXPECT_TRUE(r.controls.increasing);
    EXPECT_EQ(r.controls.rangeFrom, "-1");
    EXPECT_EQ(r.controls.rangeTo, "10");
    EXPECT_EQ(r.controls.tolerance, "0.25");
    EXPECT_TRUE(r.settings == s.settings);
    EXPECT_EQ(r.settings.excel.lineWeight, 0.1f);
    EXPECT_EQ(r.settings.analysis.yieldMethod, tc::YieldMethod::Eccs);
    EXPECT_EQ(r.settings.analysis.evaluationCurve, tc::EvaluationCurve::SkeletonOnChart);
    EXPECT_EQ(r.settings.import, s.settings.import);
    // Written twice alike: a saved session that is opened and saved again is the same file.
    EXPECT_EQ(tc::sessionText(r), tc::sessionText(s));
}

TEST(SessionFile, EmptyWorkspace) {
    tc::Session s;
    tc::InitExcelExportOptions(s.settings.excel);
    const tc::Session r = tc::parseSession(tc::sessionText(s), "x");
    EXPECT_TRUE(r.record.disp.empty());
    EXPECT_FALSE(r.analysis.analysed);
    EXPECT_EQ(r.selectedLoop, -1);
    const tc::RestoredWorkspace w = tc::restoreWorkspace(r, "x");
    EXPECT_TRUE(w.dispRaw.empty());
    EXPECT_TRUE(w.analysis.empty());
}

TEST(SessionFile, SavedFileOpens) {
    const tc::Session s = tc::readSessionFile(dataPath("valid.tcsession"));
    EXPECT_EQ(s.record.disp.size(), 5u);
    EXPECT_EQ(s.record.drags.size(), 1u);
    EXPECT_EQ(s.record.deleted, std::vector<int>{3});
    EXPECT_EQ(s.skeleton.negative.size(), 2u);
}

// Every damaged or foreign file: the error's kind and the problem named after the file.
TEST(SessionFile, DamagedFiles) {
    enum Kind { Damaged, Foreign, Newer, Unreadable };
    const struct {
        const char* file;
        Kind kind;
        const char* problem;
    } cases[] = {
        {"empty.tcsession", Damaged, "The file is empty."},
        {"cut_short.tcsession", Damaged, "cut short or not JSON text"},
        {"not_json.tcsession", Foreign, "It is not a TarvelCurve session."},
        {"other_json.tcsession", Foreign, "It is not a TarvelCurve session."},
        {"newer_version.tcsession", Newer,
         "saved by a newer version of TarvelCurve (session "
         "version 2; this version opens version 1)"},
        {"version_zero.tcsession", Damaged, "\"version\" is 0, not from 1"},
        {"no_record.tcsession", Damaged, "\"record\" is missing"},
        {"text_count.tcsession", Damaged, "\"record.count\" is not a whole number"},
        {"short_disp.tcsession", Damaged, "\"record.disp\" holds 4 values instead of 5"},
        {"bad_base64.tcsession", Damaged, "\"record.force\" is not base64 text"},
        {"infinite_force.tcsession", Damaged,
         "\"record.force\" holds a value that is not a "
         "finite number (2)"},
        {"drag_out_of_range.tcsession", Damaged,
         "\"record.drags.index\" names point 7 of a record of 5 points"},
        {"deleted_unsorted.tcsession", Damaged, "\"record.deleted.index\" is not ascending"},
        {"rule_six.tcsession", Damaged, "\"controls.rule\" is 6, not from 1 to 5"},
        {"selected_loop_beyond.tcsession", Damaged,
         "the selected loop 5 is not one of the 1 loops"},
        {"analysed_two_points.tcsession", Damaged, "fewer than 3 points"},
        {"yield_method_nine.tcsession", Damaged, "\"analysisOptions.yieldMethod\" is 9"},
        {"scale_zero.tcsession", Damaged, "\"importSettings.force.scale\" is 0"},
        {"skeleton_wrong_type.tcsession", Damaged, "\"skeleton.positive\" is not an object"},
        {"missing.tcsession", Unreadable, "The file does not exist."},
        {"", Unreadable, "It is not a regular file."}, // the folder itself
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = dataPath(c.file);
        try {
            const tc::Session s = tc::readSessionFile(path);
            (void)tc::restoreWorkspace(s, path);
            ADD_FAILURE() << "opened";
        } catch (const tc::SessionError& e) {
            const std::string m = e.what();
            EXPECT_EQ(m.rfind("Cannot open session \"" + path + "\". ", 0), 0u) << m;
            EXPECT_NE(m.find(c.problem), std::string::npos) << m;
            switch (c.kind) {
            case Damaged:
                EXPECT_NE(dynamic_cast<const tc::SessionDamagedError*>(&e), nullptr) << m;
                break;
            case Foreign:
                EXPECT_NE(dynamic_cast<const tc::NotASessionError*>(&e), nullptr) << m;
                break;
            case Newer:
                EXPECT_NE(dynamic_cast<const tc::SessionVersionError*>(&e), nullptr) << m;
                break;
            case Unreadable:
                EXPECT_NE(dynamic_cast<const tc::SessionReadError*>(&e), nullptr) << m;
                break;
            }
        }
    }
}

TEST(SessionFile, WrittenThroughATemporaryFile) {
    const auto dir = std::filesystem::temp_directory_path() / "tc_session_test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const auto path = dir / "work.tcsession";
    tc::writeSessionFile(path, sampleSession());
    tc::writeSessionFile(path, sampleSession()); // replaces the file
    EXPECT_EQ(tc::readSessionFile(path).record.disp.size(), 9u);
    size_t files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir))
        ++files;
    EXPECT_EQ(files, 1u); // no temporary left beside it
    // A folder that does not exist: an error, and nothing made.
    EXPECT_THROW(tc::writeSessionFile(dir / "no" / "work.tcsession", sampleSession()), tc::Error);
    std::filesystem::remove_all(dir);
}

// The record with its edits, from the workspace and back.
TEST(SessionRecord, ImportedValuesDragsAndDeletes) {
    const std::vector<double> disp = {0, 6, 0, -5, 0}; // point 1 dragged from (5, 50)
    const std::vector<double> force = {0, 60, 1, -50, 0};
    const std::vector<int> source = {0, 1, 2, 4}; // point 3 deleted from the chart
    const std::vector<tc::RawPointValue> originals = {{1, 5, 50}};
    const tc::SessionRecord r = tc::sessionRecord(disp, force, source, originals);
    EXPECT_EQ(r.disp, (std::vector<double>{0, 5, 0, -5, 0}));
    EXPECT_EQ(r.force, (std::vector<double>{0, 50, 1, -50, 0}));
    ASSERT_EQ(r.drags.size(), 1u);
    EXPECT_TRUE(tc::sameBits(r.drags[0], tc::RawPointValue{1, 6, 60}));
    EXPECT_EQ(r.deleted, std::vector<int>{3});

    tc::Session s;
    s.record = r;
    const tc::RestoredWorkspace w = tc::restoreWorkspace(s, "x");
    EXPECT_EQ(w.dispRaw, disp);
    EXPECT_EQ(w.forceRaw, force);
    EXPECT_EQ(w.rawSource, source);
    EXPECT_TRUE(tc::sameArray(w.rawOriginals, originals));
}

// The analysis is made again from the values it read: a drag before it counts, one after it
// does not.
TEST(SessionRecord, AnalysisFromTheValuesItRead) {
    tc::Session s;
    s.record.disp = {0, 5, 0, -5, 0, 6, 0, -6, 0};
    s.record.force = {0, 50, 0, -50, 0, 60, 0, -60, 0};
    s.record.drags = {{1, 7, 70}, {5, 9, 90}}; // present values
    s.analysis.analysed = true;
    s.analysis.drags = {{1, 7, 70}}; // point 5 was dragged after the analysis
    s.selectedLoop = 1;
    const tc::RestoredWorkspace w = tc::restoreWorkspace(s, "x");
    std::vector<double> analysedDisp = s.record.disp, analysedForce = s.record.force;
    analysedDisp[1] = 7;
    analysedForce[1] = 70;
    const tc::LoopAnalysis expected = tc::analyzeLoops(analysedDisp, analysedForce);
    EXPECT_EQ(w.analysis.loopDisp, expected.loopDisp);
    EXPECT_EQ(w.analysis.maxDisp1, expected.maxDisp1);
    EXPECT_EQ(w.analysis.loopCount, 2);
    EXPECT_EQ(w.dispRaw[1], 7);
    EXPECT_EQ(w.dispRaw[5], 9);
    ASSERT_EQ(w.rawOriginals.size(), 2u);
    EXPECT_EQ(w.rawOriginals[1].x, 6);
}

} // namespace
