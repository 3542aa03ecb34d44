#!/usr/bin/env bash
# Installs whatever the build, the program and the tests need and is not there yet (Debian 12 /
# Ubuntu 22.04 or later). Runs apt as root, or through sudo.
set -euo pipefail
packages=(build-essential cmake pkg-config qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev
          libgl-dev libqcustomplot-dev libxlsxwriter-dev zlib1g-dev libzip-dev libgtest-dev libgmock-dev
          libbenchmark-dev fonts-noto-cjk fonts-wine xvfb xauth g++-mingw-w64-x86-64)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
# Another apt run (an update, a second set-up) may hold the lock: wait for it.
lock=(-o DPkg::Lock::Timeout=900)
$SUDO apt-get "${lock[@]}" update -qq
$SUDO apt-get "${lock[@]}" install -y -qq --no-install-recommends "${missing[@]}"
