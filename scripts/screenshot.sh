#!/usr/bin/env bash
# Starts the program under Xvfb, runs an optional xdotool script against it, and saves a
# screenshot of the screen: scripts/screenshot.sh out.png [xdotool commands...]
set -euo pipefail
out=$1; shift || true
cd "$(dirname "$0")/.."
xvfb-run -a -s "-screen 0 1100x820x24" bash -c '
  "${TC_BUILD_DIR:-build}"/bin/tarvelcurve & pid=$!
  sleep 2
  for cmd in "$@"; do eval "$cmd"; sleep 0.7; done
  import -window root "'"$out"'"
  kill $pid' _ "$@"
