// Writes a synthetic cyclic record of N points as a two-column CSV file, for trying the program
// and measuring it on large records: make_record <points> <file>
#include "record_generator.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_record <points> <file>\n");
        return 2;
    }
    const auto n = static_cast<size_t>(std::strtoull(argv[1], nullptr, 10));
    std::ofstream out(argv[2], std::ios::binary);
    out << tc::bench::recordText(tc::bench::makeCyclicRecord(n));
    return out ? 0 : 1;
}
