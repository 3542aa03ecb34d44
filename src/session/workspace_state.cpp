#include "session/workspace_state.h"

#include "session/session_file.h"

namespace tc {

bool WorkspaceSettings::operator==(const WorkspaceSettings& o) const {
    return settingsText(*this) == settingsText(o);
}

WorkspaceState captureState(const WorkspaceRefs& now, unsigned parts) {
    WorkspaceState s;
    s.parts = parts;
    if (parts & RecordPart) {
        s.dispRaw = *now.dispRaw;
        s.forceRaw = *now.forceRaw;
        s.rawSource = *now.rawSource;
        s.rawOriginals = *now.rawOriginals;
    }
    if (parts & AnalysisPart) {
        s.analysis = *now.analysis;
        s.analysisInput = *now.analysisInput;
    }
    if (parts & SkeletonPart) s.skeleton = now.skeleton;
    if (parts & TextsPart) s.texts = now.texts;
    if (parts & SettingsPart) s.settings = now.settings;
    return s;
}

WorkspaceDelta makeDelta(const WorkspaceState& before, const WorkspaceRefs& now) {
    WorkspaceDelta d;
    if (before.parts & RecordPart) {
        d.dispRaw = makeSplice(before.dispRaw, *now.dispRaw);
        d.forceRaw = makeSplice(before.forceRaw, *now.forceRaw);
        d.rawSource = makeSplice(before.rawSource, *now.rawSource);
        d.rawOriginals = makeSplice(before.rawOriginals, *now.rawOriginals);
    }
    if (before.parts & AnalysisPart) {
        const LoopAnalysis& a = before.analysis;
        const LoopAnalysis& b = *now.analysis;
        d.loopDisp = makeSplice(a.loopDisp, b.loopDisp);
        d.loopForce = makeSplice(a.loopForce, b.loopForce);
        d.crossIndex = makeSplice(a.crossIndex, b.crossIndex);
        d.peakIndex1 = makeSplice(a.peakIndex1, b.peakIndex1);
        d.peakIndex2 = makeSplice(a.peakIndex2, b.peakIndex2);
        d.maxDisp1 = makeSplice(a.maxDisp1, b.maxDisp1);
        d.maxDispForce1 = makeSplice(a.maxDispForce1, b.maxDispForce1);
        d.maxDisp2 = makeSplice(a.maxDisp2, b.maxDisp2);
        d.maxDispForce2 = makeSplice(a.maxDispForce2, b.maxDispForce2);
        d.loopCount = makeChange(a.loopCount, b.loopCount);
        d.analysisInput = makeChange(before.analysisInput, *now.analysisInput);
    }
    if (before.parts & SkeletonPart) {
        d.positive = makeSplice(before.skeleton.positive, now.skeleton.positive);
        d.negative = makeSplice(before.skeleton.negative, now.skeleton.negative);
    }
    if (before.parts & TextsPart) d.texts = makeChange(before.texts, now.texts);
    if (before.parts & SettingsPart) d.settings = makeChange(before.settings, now.settings);
    return d;
}

bool WorkspaceDelta::changesRecord() const {
    return !dispRaw.empty() || !forceRaw.empty() || !rawSource.empty() || !rawOriginals.empty();
}

bool WorkspaceDelta::changesAnalysis() const {
    return !loopDisp.empty() || !loopForce.empty() || !crossIndex.empty() || !peakIndex1.empty() ||
           !peakIndex2.empty() || !maxDisp1.empty() || !maxDispForce1.empty() ||
           !maxDisp2.empty() || !maxDispForce2.empty() || loopCount.changed ||
           analysisInput.changed;
}

bool WorkspaceDelta::changesSkeleton() const {
    return !positive.empty() || !negative.empty();
}

bool WorkspaceDelta::empty() const {
    return !changesRecord() && !changesAnalysis() && !changesSkeleton() && !texts.changed &&
           !settings.changed;
}

std::size_t WorkspaceDelta::bytes() const {
    std::size_t n = dispRaw.bytes() + forceRaw.bytes() + rawSource.bytes() + rawOriginals.bytes() +
                    loopDisp.bytes() + loopForce.bytes() + crossIndex.bytes() + peakIndex1.bytes() +
                    peakIndex2.bytes() + maxDisp1.bytes() + maxDispForce1.bytes() +
                    maxDisp2.bytes() + maxDispForce2.bytes() + positive.bytes() + negative.bytes();
    if (analysisInput.changed)
        n += (analysisInput.before.drags.size() + analysisInput.after.drags.size()) *
             sizeof(RawPointValue);
    return n + sizeof(*this);
}

void applyDelta(const WorkspaceRefs& now, const WorkspaceDelta& d, bool forward) {
    applySplice(*now.dispRaw, d.dispRaw, forward);
    applySplice(*now.forceRaw, d.forceRaw, forward);
    applySplice(*now.rawSource, d.rawSource, forward);
    applySplice(*now.rawOriginals, d.rawOriginals, forward);
    LoopAnalysis& a = *now.analysis;
    applySplice(a.loopDisp, d.loopDisp, forward);
    applySplice(a.loopForce, d.loopForce, forward);
    applySplice(a.crossIndex, d.crossIndex, forward);
    applySplice(a.peakIndex1, d.peakIndex1, forward);
    applySplice(a.peakIndex2, d.peakIndex2, forward);
    applySplice(a.maxDisp1, d.maxDisp1, forward);
    applySplice(a.maxDispForce1, d.maxDispForce1, forward);
    applySplice(a.maxDisp2, d.maxDisp2, forward);
    applySplice(a.maxDispForce2, d.maxDispForce2, forward);
    if (d.loopCount.changed) a.loopCount = d.loopCount.value(forward);
    if (d.analysisInput.changed) *now.analysisInput = d.analysisInput.value(forward);
}

SkeletonCurves applySkeleton(const SkeletonCurves& now, const WorkspaceDelta& d, bool forward) {
    SkeletonCurves s = now;
    applySplice(s.positive, d.positive, forward);
    applySplice(s.negative, d.negative, forward);
    return s;
}

} // namespace tc
