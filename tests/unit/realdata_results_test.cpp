// The engineering results of the six real test records beside the project (reinforced concrete
// columns, timber connections, a rocking wall, a friction damper), with the suggested dead band
// and the default evaluation curve.
#include "results/engineering_results.h"
#include "workspace/record_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

namespace {

struct RealRecord {
    const char* name;
    const char* file;
    int firstLine;   // the first data line, after the header lines
    bool forceFirst; // column 1 holds the force, column 2 the displacement
};

// clang-format off
const RealRecord kRecords[] = {
    {"SPC1", "SPC1_CLT_connection_Tannert.csv", 3, true},
    {"TS1", "TS1_wall_Ganey2015.csv", 1, false},
    {"BG8", "PEER_BG8_Saatcioglu_Grira1999.csv", 2, false},
    {"NH2", "PEER_NH2_Vu1998.csv", 2, false},
    {"Pujol", "PEER_10-1-2.25N_Pujol2002.csv", 2, false},
    {"BRFD", "BRFD_damper_1Hz_1in.csv", 2, false},
};
// clang-format on

std::filesystem::path realDataDir() {
    return std::filesystem::path(TC_REAL_DATA_DIR);
}

class RealRecords : public ::testing::TestWithParam<RealRecord> {};

TEST_P(RealRecords, SoundResultsWithTheSuggestedDeadBand) {
    const RealRecord& rec = GetParam();
    const auto path = realDataDir() / rec.file;
    if (!std::filesystem::exists(path))
        GTEST_SKIP() << "real records not found at " << path.string() << ": test skipped";
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string text = tc::decodeRecordText(bytes.str());
    tc::RecordReadResult r = tc::readRecord(text, rec.firstLine, 1, '.');
    ASSERT_TRUE(r.warning.empty()) << r.warning;
    if (rec.forceFirst) std::swap(r.disp, r.force);
    ASSERT_GT(r.disp.size(), 1000u);

    const tc::DeadBandSuggestion band = tc::suggestDeadBand(r.disp, r.force);
    if (band.band > 0) {
        // A record that jitters is told so without the dead band.
        const tc::LoopAnalysis plain = tc::analyzeLoops(r.disp, r.force);
        tc::ResultSettings s;
        s.direction = tc::firstHalfSide(plain, plain.loopCount) < 0 ? tc::LoopDirection::Negative
                                                                    : tc::LoopDirection::Positive;
        const auto e = tc::engineeringResults(plain, plain.loopCount, {}, s);
        ASSERT_FALSE(e.warnings.empty());
        EXPECT_NE(e.warnings.back().find("Set a dead band in Options"), std::string::npos)
            << e.warnings.back();
        EXPECT_LT(band.loops, band.loopsWithout);
    }
    const tc::LoopAnalysis a = tc::analyzeLoops(r.disp, r.force, band.band);
    EXPECT_EQ(a.loopCount, band.loops);
    // The Loop Direction the record asks for: no warning about it.
    const int side = tc::firstHalfSide(a, a.loopCount);
    ASSERT_NE(side, 0);
    tc::ResultSettings s;
    s.direction = side > 0 ? tc::LoopDirection::Positive : tc::LoopDirection::Negative;
    for (int m = 0; m < 6; ++m) {
        s.method = static_cast<tc::YieldMethod>(m);
        const tc::EngineeringResults e = tc::engineeringResults(a, a.loopCount, {}, s);
        EXPECT_TRUE(e.warnings.empty()) << rec.name << ": " << e.warnings.front();
        for (const tc::SkeletonResult* b : {&e.positive, &e.negative}) {
            const char* dir = b == &e.positive ? "positive" : "negative";
            SCOPED_TRACE(std::string(rec.name) + " " + dir + ", method " + std::to_string(m));
            ASSERT_TRUE(b->valid);
            ASSERT_TRUE(b->initialStiffness);
            EXPECT_GT(*b->initialStiffness, 0);
            if (!b->yield) {
                ADD_FAILURE() << "no yield point: " << (b->notes.empty() ? "" : b->notes.back());
                continue;
            }
            ASSERT_TRUE(b->ductility);
            EXPECT_GE(*b->ductility, 1);
            EXPECT_LE(*b->ductility, 20);
            // Du >= Dy, away from the origin in the curve's direction.
            const double sign = b == &e.positive ? 1 : -1;
            EXPECT_GE(sign * (b->ultimate.x - b->origin.x), sign * (b->yield->x - b->origin.x));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(SixRecords, RealRecords, ::testing::ValuesIn(kRecords),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
