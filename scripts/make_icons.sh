#!/usr/bin/env bash
# Draws the program icon (src/app/artwork.cpp) into data/icons: the PNG sizes that desktops use
# and the Windows .ico. Run after changing the drawing, from any folder; commit the result.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target render_icons
rm -rf data/icons
QT_QPA_PLATFORM=offscreen "$build"/bin/render_icons data/icons
find data/icons -type f | sort
