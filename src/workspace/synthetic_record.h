#pragma once
#include <cstddef>
#include <string>
#include <vector>

// Synthetic cyclic records: the program's pictures, the sample records and the benchmarks are
// all made here, so they show the same kind of test.
namespace tc {

struct SyntheticRecord {
    std::vector<double> disp, force;
};

// n points of a bilinear spring under a cyclic protocol of growing amplitude (40 cycles, each
// amplitude twice), with a little noise; starts at displacement 0.
SyntheticRecord makeCyclicRecord(std::size_t n, unsigned seed = 1);

// A Bouc-Wen spring that loses a little strength as it dissipates energy, under sine cycles of
// amplitudes 1, 2, 4, 6, 8 and 10, each twice, pointsPerCycle points a cycle, ending back at 0.
SyntheticRecord makeSampleRecord(int pointsPerCycle);

// The record as the text of a two-column comma-separated file, CR LF line ends.
std::string recordText(const SyntheticRecord& r);

} // namespace tc
