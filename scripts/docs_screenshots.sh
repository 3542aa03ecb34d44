#!/usr/bin/env bash
# Takes the pictures of the user guide under Xvfb: the main window with an analysed sample record,
# its engineering results window with a plot tab, the about box and the donation box. scripts/docs_screenshots.sh [BUILD_DIR] (default: build).
# Needs xvfb, xdotool and ImageMagick; the program must be built.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
export TC_BIN="$build/bin" TC_DOCS="$PWD/docs"
# The record is opened from a neutral folder: its path shows in the window.
export TC_SAMPLE=/tmp/TarvelCurve/bilinear_clean.txt
mkdir -p /tmp/TarvelCurve && cp examples/bilinear_clean.txt "$TC_SAMPLE"
xvfb-run -a -s "-screen 0 1100x820x24" bash -c '
  set -euo pipefail
  # The id of the newest visible window whose name matches, waiting up to 10 s for it.
  wait_for() {
    for _ in $(seq 50); do
      id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1 || true)
      [ -n "$id" ] && { sleep 0.5; echo "$id"; return; }
      sleep 0.2
    done
    echo "no window \"$1\"" >&2; return 1
  }
  click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.7; }
  "$TC_BIN/tarvelcurve" & pid=$!
  trap "kill $pid 2>/dev/null || true" EXIT
  main=$(wait_for "^Tarvel Curve Analysis")
  # Buttons in window coordinates (the menu bar is above the client area).
  menu=$(( $(xdotool getwindowgeometry "$main" | sed -n "s/.*Geometry: [0-9]*x\([0-9]*\)/\1/p") - 709 ))
  click "$main" 63 $((114 + 12 + menu))              # Import Loop
  dlg=$(wait_for "^Open$")
  xdotool windowfocus --sync "$dlg"
  xdotool type --delay 10 "$TC_SAMPLE"
  xdotool key Return; sleep 1
  click "$main" 40 $((4 + menu))                     # closes the name completer the dialog left
  click "$main" 189 $((114 + 12 + menu))             # Analyze Loop
  click "$main" 121 $((345 + 157 + menu))            # 提取骨架曲线 (rule 1)
  click "$main" 175 $((145 + 59 + menu))             # Loop No.: the second largest loop
  xdotool key End Up Return; sleep 0.7
  import -window "$main" "$TC_DOCS/guide-main.png"
  xdotool windowfocus --sync "$main"; xdotool key ctrl+r   # Engineering Results
  results=$(wait_for "^Engineering Results$")
  xdotool windowsize --sync "$results" 1060 720; xdotool windowmove --sync "$results" 0 0; sleep 0.7
  import -window "$results" "$TC_DOCS/guide-results.png"
  click "$results" 503 52                            # the tab "Stiffness"
  import -window "$results" "$TC_DOCS/guide-plots.png"
  xdotool windowfocus --sync "$results"; xdotool key Escape; sleep 0.7
  click "$main" 65 $((645 + 12 + menu))              # About
  about=$(wait_for "^About$")
  import -window "$about" "$TC_DOCS/screenshot-about.png"
  xdotool windowfocus --sync "$about"; xdotool key Escape; sleep 0.7
  click "$main" 192 $((645 + 12 + menu))             # Donation (捐助)
  donation=$(wait_for "^Donation")
  import -window "$donation" "$TC_DOCS/screenshot-donation.png"
'
ls -l docs/*.png
