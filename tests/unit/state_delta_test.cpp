#include "session/workspace_state.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

namespace {

// Every kind of change between two versions of an array: the splice holds only the stretch
// between their common start and end, and turns either version into the other.
TEST(Splice, EveryKindOfChange) {
    using V = std::vector<double>;
    const double nan = std::nan("");
    const struct {
        const char* what;
        V before, after;
        size_t at, removed, added;
    } cases[] = {
        {"nothing", {1, 2, 3}, {1, 2, 3}, 3, 0, 0},
        {"one moved", {1, 2, 3, 4}, {1, 2.5, 3, 4}, 1, 1, 1},
        {"one added", {1, 2, 4}, {1, 2, 3, 4}, 2, 0, 1},
        {"one deleted", {1, 2, 3, 4}, {1, 3, 4}, 1, 1, 0},
        {"at the end", {1, 2}, {1, 2, 3}, 2, 0, 1},
        {"whole", {1, 2}, {7, 8, 9}, 0, 2, 3},
        {"from empty", {}, {1, 2}, 0, 0, 2},
        {"to empty", {1, 2}, {}, 0, 2, 0},
        {"repeated values", {5, 5, 5}, {5, 5}, 2, 1, 0},
        {"minus zero", {0.0, 1}, {-0.0, 1}, 0, 1, 1},
        {"not a number stays", {nan, 1}, {nan, 2}, 1, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const tc::Splice<double> s = tc::makeSplice(c.before, c.after);
        if (c.removed + c.added) {
            EXPECT_EQ(s.at, c.at);
        }
        EXPECT_EQ(s.before.size(), c.removed);
        EXPECT_EQ(s.after.size(), c.added);
        V v = c.before;
        tc::applySplice(v, s, true);
        EXPECT_TRUE(tc::sameArray(v, c.after));
        tc::applySplice(v, s, false);
        EXPECT_TRUE(tc::sameArray(v, c.before));
    }
}

struct Workspace {
    std::vector<double> disp, force;
    std::vector<int> source;
    std::vector<tc::RawPointValue> originals;
    tc::LoopAnalysis analysis;
    tc::AnalysisInput input;
    tc::SkeletonCurves skeleton;
    tc::WorkspaceTexts texts;
    tc::WorkspaceSettings settings;

    tc::WorkspaceRefs refs() {
        tc::WorkspaceRefs r;
        r.dispRaw = &disp;
        r.forceRaw = &force;
        r.rawSource = &source;
        r.rawOriginals = &originals;
        r.analysis = &analysis;
        r.analysisInput = &input;
        r.skeleton = skeleton;
        r.texts = texts;
        r.settings = settings;
        return r;
    }
};

Workspace bigWorkspace(size_t n) {
    Workspace w;
    w.disp.resize(n);
    w.force.resize(n);
    for (size_t i = 0; i < n; ++i) {
        w.disp[i] = std::sin(static_cast<double>(i) * 0.01) * static_cast<double>(i % 1000);
        w.force[i] = 10 * w.disp[i];
    }
    w.source.resize(n);
    std::iota(w.source.begin(), w.source.end(), 0);
    w.analysis = tc::analyzeLoops(w.disp, w.force);
    w.skeleton.positive = {{0, 0}, {1, 10}};
    return w;
}

// A dragged point of a long record costs a few bytes, and undo and redo give back each version
// exactly.
TEST(WorkspaceDelta, DraggedPointOfALongRecord) {
    Workspace w = bigWorkspace(200000);
    const Workspace original = w;
    const tc::WorkspaceState before = tc::captureState(w.refs(), tc::RecordPart);
    w.disp[1234] = 99;
    w.force[1234] = -99;
    w.originals.push_back({1234, original.disp[1234], original.force[1234]});
    const Workspace edited = w;
    const tc::WorkspaceDelta d = tc::makeDelta(before, w.refs());
    EXPECT_TRUE(d.changesRecord());
    EXPECT_FALSE(d.changesAnalysis());
    EXPECT_LT(d.bytes(), 4096u); // the step itself and two points, whatever the record
    tc::applyDelta(w.refs(), d, false);
    EXPECT_TRUE(tc::sameArray(w.disp, original.disp));
    EXPECT_TRUE(w.originals.empty());
    tc::applyDelta(w.refs(), d, true);
    EXPECT_TRUE(tc::sameArray(w.force, edited.force));
    EXPECT_EQ(w.originals.size(), 1u);
}

// A new analysis, extraction and the texts: the changed parts come back, the others are left.
TEST(WorkspaceDelta, AnalysisSkeletonTextsAndSettings) {
    Workspace w = bigWorkspace(5000);
    const Workspace original = w;
    const tc::WorkspaceState before = tc::captureState(w.refs(), tc::AllParts);
    w.analysis = tc::analyzeLoops(w.disp, w.force, 50);
    w.input = {true, 50, {}};
    w.skeleton.positive.push_back({2, 20});
    w.texts.loopCount = "7";
    w.texts.selectedLoop = 0;
    w.settings.analysis.deadBand = 50;
    const Workspace after = w;
    const tc::WorkspaceDelta d = tc::makeDelta(before, w.refs());
    EXPECT_FALSE(d.changesRecord());
    EXPECT_TRUE(d.changesAnalysis());
    EXPECT_TRUE(d.changesSkeleton());
    EXPECT_TRUE(d.texts.changed);
    EXPECT_TRUE(d.settings.changed);
    EXPECT_FALSE(d.empty());

    tc::applyDelta(w.refs(), d, false);
    EXPECT_EQ(w.analysis.loopDisp, original.analysis.loopDisp);
    EXPECT_EQ(w.analysis.crossIndex, original.analysis.crossIndex);
    EXPECT_EQ(w.analysis.loopCount, original.analysis.loopCount);
    EXPECT_FALSE(w.input.analysed);
    EXPECT_TRUE(tc::sameArray(tc::applySkeleton(after.skeleton, d, false).positive,
                              original.skeleton.positive));
    EXPECT_EQ(d.texts.value(false), original.texts);
    EXPECT_TRUE(d.settings.value(false) == original.settings);
    tc::applyDelta(w.refs(), d, true);
    EXPECT_EQ(w.analysis.maxDisp2, after.analysis.maxDisp2);
    EXPECT_TRUE(w.input == after.input);
}

TEST(WorkspaceDelta, NothingChanged) {
    Workspace w = bigWorkspace(100);
    const tc::WorkspaceState before = tc::captureState(w.refs(), tc::AllParts);
    EXPECT_TRUE(tc::makeDelta(before, w.refs()).empty());
}

} // namespace
