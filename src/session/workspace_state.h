#pragma once
#include "export/excel_options.h"
#include "results/analysis_options.h"
#include "session/state_delta.h"
#include "skeleton/skeleton_curve.h"
#include "workspace/import_settings.h"
#include "workspace/loop_analysis.h"

#include <array>
#include <string>
#include <vector>

namespace tc {

// One point of the imported record by its index in dispRaw/forceRaw.
struct RawPointValue {
    int index = 0;
    double x = 0;
    double y = 0;
};
inline bool sameBits(const RawPointValue& a, const RawPointValue& b) {
    return a.index == b.index && sameBits(a.x, b.x) && sameBits(a.y, b.y);
}

// What the last loop analysis read: the dead band and the values of the dragged points of the
// record at that moment (the analysis is not redone by later drags, so these may differ from the
// record's present values).
struct AnalysisInput {
    bool analysed = false;
    double deadBand = 0;
    std::vector<RawPointValue> drags; // ascending index
    bool operator==(const AnalysisInput& o) const {
        return analysed == o.analysed && sameBits(deadBand, o.deadBand) &&
               sameArray(drags, o.drags);
    }
};

// The texts of the window that show the workspace.
struct WorkspaceTexts {
    std::string path;                  // edt5: the imported file
    std::string loopCount;             // edt6
    int selectedLoop = -1;             // cbb1, -1 for none
    std::array<std::string, 4> values; // edt1..edt4: the selected loop's values
    std::string loopTitle;             // the selected loop's series title
    bool operator==(const WorkspaceTexts&) const = default;
};

// The options that commands and dialogs change.
struct WorkspaceSettings {
    AnalysisOptions analysis;
    ExcelExportOptions excel; // its application reference is not part of a state
    ImportSettings import;    // columns, scales, separators and units of the import
    // Equal when they are written alike into a session.
    bool operator==(const WorkspaceSettings& o) const;
};

// The parts of the workspace a step may change.
enum StatePart : unsigned {
    RecordPart = 1,   // dispRaw, forceRaw, the chart's raw points, the dragged points' originals
    AnalysisPart = 2, // the analysis arrays and what the analysis read
    SkeletonPart = 4, // the two skeleton curves
    TextsPart = 8,    // path, loop count, the loop list's selection and the value boxes
    SettingsPart = 16,
    AllParts = 31,
};

// The live workspace of the window: its arrays, and the small parts as they are now.
struct WorkspaceRefs {
    std::vector<double>* dispRaw = nullptr;
    std::vector<double>* forceRaw = nullptr;
    std::vector<int>* rawSource = nullptr;              // per chart point, its record index
    std::vector<RawPointValue>* rawOriginals = nullptr; // imported values of dragged points
    LoopAnalysis* analysis = nullptr;
    AnalysisInput* analysisInput = nullptr;
    SkeletonCurves skeleton;
    WorkspaceTexts texts;
    WorkspaceSettings settings;
};

// A copy of the parts of the workspace that a step is about to change.
struct WorkspaceState {
    unsigned parts = 0;
    std::vector<double> dispRaw, forceRaw;
    std::vector<int> rawSource;
    std::vector<RawPointValue> rawOriginals;
    LoopAnalysis analysis;
    AnalysisInput analysisInput;
    SkeletonCurves skeleton;
    WorkspaceTexts texts;
    WorkspaceSettings settings;
};

WorkspaceState captureState(const WorkspaceRefs& now, unsigned parts);

// What one step changed: for every array the stretch that differs, for the small parts both
// versions when they differ.
struct WorkspaceDelta {
    Splice<double> dispRaw, forceRaw;
    Splice<int> rawSource;
    Splice<RawPointValue> rawOriginals;
    Splice<double> loopDisp, loopForce;
    Splice<int> crossIndex, peakIndex1, peakIndex2;
    Splice<double> maxDisp1, maxDispForce1, maxDisp2, maxDispForce2;
    Change<int> loopCount;
    Change<AnalysisInput> analysisInput;
    Splice<CurvePoint> positive, negative;
    Change<WorkspaceTexts> texts;
    Change<WorkspaceSettings> settings;

    bool empty() const;
    bool changesRecord() const;
    bool changesAnalysis() const;
    bool changesSkeleton() const;
    // Memory the step holds, about.
    std::size_t bytes() const;
};

// The change from `before` (captured with its parts) to the workspace as it is now.
WorkspaceDelta makeDelta(const WorkspaceState& before, const WorkspaceRefs& now);

// Puts the arrays of the live workspace into the other version (forward: after the step). The
// small parts are the caller's: set them from delta.texts, delta.skeleton and delta.settings.
void applyDelta(const WorkspaceRefs& now, const WorkspaceDelta& delta, bool forward);

// The skeleton curves of the other version, from the present ones.
SkeletonCurves applySkeleton(const SkeletonCurves& now, const WorkspaceDelta& delta, bool forward);

} // namespace tc
