#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
cd ..
# The fuzz harnesses of the import and the analysis, a few seconds each (skipped without clang).
tests/fuzz/run.sh
# The core and its unit tests built for Windows (MinGW-w64) and run under wine.
.ci/mingw_build.sh build-mingw
