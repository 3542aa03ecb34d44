#!/usr/bin/env bash
# Installs whatever the build, the program and the tests need and is not there yet (Debian 12 /
# Ubuntu 22.04 or later). Runs apt as root, or through sudo.
set -euo pipefail
packages=(build-essential cmake pkg-config qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev
          libgl-dev libqcustomplot-dev libxlsxwriter-dev zlib1g-dev libgtest-dev libgmock-dev
          libbenchmark-dev libfast-float-dev nlohmann-json3-dev libzip-dev libexpat1-dev libfreexl-dev
          fonts-noto-cjk fonts-wine xvfb xauth g++-mingw-w64-x86-64 dpkg-dev ccache)
# The Windows cross build of the core (zlib for MinGW) and its test run (wine) need the first two;
# where one cannot be installed, that step of the test command is skipped. The user guide's
# pictures (scripts/docs_screenshots.sh) need xdotool and ImageMagick; the report test reads the
# PDF's text with pdftotext (poppler-utils) and skips that check without it; the fuzz harnesses
# (tests/fuzz/run.sh) need clang and its libFuzzer runtime.
optional=(libz-mingw-w64-dev wine64 xdotool imagemagick poppler-utils clang libclang-rt-dev)
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
missing=()
for p in "${packages[@]}"; do
    installed "$p" || missing+=("$p")
done
missing_optional=()
for p in "${optional[@]}"; do
    installed "$p" || missing_optional+=("$p")
done
[ ${#missing[@]} -eq 0 ] && [ ${#missing_optional[@]} -eq 0 ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
# Another apt run (an update, a second set-up) may hold the lock: wait for it.
lock=(-o DPkg::Lock::Timeout=900)
$SUDO apt-get "${lock[@]}" update -qq
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $SUDO apt-get "${lock[@]}" install -y -qq --no-install-recommends "${missing[@]}"
fi
for p in "${missing_optional[@]}"; do
    echo "Installing: $p"
    $SUDO apt-get "${lock[@]}" install -y -qq --no-install-recommends "$p" ||
        echo "skipped: $p could not be installed; the step of the test command that needs it is skipped"
done
