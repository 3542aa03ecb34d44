#pragma once
#include "workspace/synthetic_record.h"

// The benchmarks' records come from the program's own generator.
namespace tc::bench {

using Record = SyntheticRecord;
using tc::makeCyclicRecord;
using tc::recordText;

} // namespace tc::bench
