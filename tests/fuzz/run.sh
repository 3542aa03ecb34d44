#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang (in build-fuzz/ at the top of the project) and runs
# each one for a few seconds, starting from its seed inputs in corpus/. Without clang or its
# fuzzer runtime the step is skipped with a line saying so. Seconds per harness: $TC_FUZZ_SECONDS
# (default 5).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="${TC_FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${TC_FUZZ_SECONDS:-5}"

cxx="$(command -v clang++ || true)"
if [ -z "$cxx" ]; then
    echo "skipped: fuzzing (no clang++ on this machine)"
    exit 0
fi
if ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' |
    "$cxx" -x c++ -fsanitize=fuzzer - -o /dev/null 2>/dev/null; then
    echo "skipped: fuzzing (clang++ has no libFuzzer runtime: install libclang-rt-dev)"
    exit 0
fi

if [ ! -f "$build/CMakeCache.txt" ]; then
    CXX="$cxx" cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTC_FUZZ=ON \
        >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target fuzz_import fuzz_analysis fuzz_workbook >/dev/null

# The workbook seeds are real files of a few kilobytes.
max_len() { [ "$1" = fuzz_workbook ] && echo 8192 || echo 4096; }

status=0
for name in fuzz_import fuzz_analysis fuzz_workbook; do
    # New inputs the run finds go to a scratch folder, never into the seed corpus.
    scratch="$(mktemp -d)"
    log="$scratch/log"
    if "$build/bin/$name" -max_total_time="$seconds" -runs=2000000 -max_len="$(max_len "$name")" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/$name-" \
        "$scratch" "$here/corpus/${name#fuzz_}" >"$log" 2>&1; then
        runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
        echo "fuzz: $name ${runs:-?} runs in ${seconds} s, no fault"
    else
        echo "fuzz: $name FAILED (input kept as $build/$name-*)"
        tail -40 "$log"
        status=1
    fi
    rm -rf "$scratch"
done
exit $status
