#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace tc::bench {

// A synthetic cyclic record: a bilinear spring under a cyclic protocol of growing amplitude,
// with a little noise, n points.
struct Record {
    std::vector<double> disp, force;
};
Record makeCyclicRecord(size_t n, unsigned seed = 1);

// The same record as the text of a two-column comma-separated file.
std::string recordText(const Record& r);

} // namespace tc::bench
