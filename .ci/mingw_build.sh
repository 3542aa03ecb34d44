#!/usr/bin/env bash
# Cross-builds the core and its unit tests for 64-bit Windows with MinGW-w64 and runs the tests
# under wine: the evidence that the core builds and works on Windows.
#   .ci/mingw_build.sh [build dir]        (default: build-mingw in the source tree)
# libxlsxwriter and libzip have no MinGW packages: their Debian sources (apt-get source) are
# built into <build dir>/deps once. What cannot be done on this machine is skipped with a line
# "skipped: ..."; the exit status is that of the build and of the tests.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(mkdir -p "${1:-$root/build-mingw}" && cd "${1:-$root/build-mingw}" && pwd)"
triplet=x86_64-w64-mingw32
jobs=2
start=$SECONDS

done_in() { echo "mingw: $1 ($((SECONDS - start)) s)"; }

# A step's output goes to a log, shown only when the step fails.
run_logged() {
    local log="$1"
    shift
    if ! "$@" >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "FAILED: $* (log: $log)"
        exit 1
    fi
}

if ! command -v $triplet-g++-posix >/dev/null 2>&1 && ! command -v $triplet-g++ >/dev/null 2>&1; then
    echo "skipped: Windows cross build: no MinGW-w64 compiler (g++-mingw-w64-x86-64)"
    exit 0
fi
if [ ! -f /usr/$triplet/include/zlib.h ]; then
    echo "skipped: Windows cross build: no zlib for MinGW-w64 (libz-mingw-w64-dev)"
    exit 0
fi

# libxlsxwriter and libzip for MinGW, from their Debian source packages, with the system's own
# archives turned into deb-src entries in a private apt state (the system's apt set-up is left
# alone). Each is built into <build dir>/deps/prefix once.
deps="$build/deps"
apt="$deps/apt"
aptopts=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$apt/sources.list.d"
         -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache"
         -o Debug::NoLocking=1 -o APT::Sandbox::User="$(id -un)")
apt_ready=
prepare_apt() {
    [ -n "$apt_ready" ] && return 0
    rm -rf "$apt"
    mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/sources.list.d"
    [ -f /etc/apt/sources.list ] && sed -n 's/^deb /deb-src /p' /etc/apt/sources.list \
        >"$apt/sources.list.d/system.list"
    for f in /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] && sed -n 's/^deb /deb-src /p' "$f" >"$apt/sources.list.d/$(basename "$f")"
    done
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] && sed 's/^Types:.*/Types: deb-src/' "$f" >"$apt/sources.list.d/$(basename "$f")"
    done
    apt-get "${aptopts[@]}" -qq update >"$deps/apt-update.log" 2>&1 || true
    apt_ready=1
}

# cross_build_source <source package> <installed library> [cmake options...]
cross_build_source() {
    local package="$1" library="$2"
    shift 2
    [ -f "$deps/prefix/lib/$library" ] && return 0
    mkdir -p "$deps"
    prepare_apt
    rm -rf "$deps/src-$package" "$deps/$package-build"
    mkdir -p "$deps/src-$package"
    if ! (cd "$deps/src-$package" && apt-get "${aptopts[@]}" -qq source "$package") \
        >"$deps/apt-source-$package.log" 2>&1; then
        tail -n 5 "$deps/apt-source-$package.log"
        echo "skipped: Windows cross build: the $package source (apt-get source) is not available"
        exit 0
    fi
    local src
    src="$(find "$deps/src-$package" -mindepth 1 -maxdepth 1 -type d -name "$package*" | head -n 1)"
    # Third-party C code: its warnings are not ours to fix.
    run_logged "$deps/$package.log" cmake -S "$src" -B "$deps/$package-build" \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
        -DBUILD_SHARED_LIBS=OFF -DCMAKE_C_FLAGS=-w -DCMAKE_INSTALL_PREFIX="$deps/prefix" "$@"
    run_logged "$deps/$package-make.log" cmake --build "$deps/$package-build" -j$jobs
    run_logged "$deps/$package-install.log" cmake --install "$deps/$package-build"
    done_in "$package $(basename "$src") built for Windows"
}

cross_build_source libxlsxwriter libxlsxwriter.a
# The workbook writer mends chart parts with libzip: only the zip format, no crypto, no tools.
cross_build_source libzip libzip.a -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF \
    -DENABLE_OPENSSL=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF -DENABLE_WINDOWS_CRYPTO=OFF \
    -DENABLE_COMMONCRYPTO=OFF -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF \
    -DBUILD_DOC=OFF -DBUILD_OSSFUZZ=OFF

# The project itself: the core and the unit tests (GoogleTest from /usr/src/googletest).
# Unoptimised and without debug information (asserts on): the check is that it builds and passes,
# and this compiles in half the time of a release build.
run_logged "$build/configure.log" cmake -S "$root" -B "$build" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS_DEBUG=-O0 \
    -DTC_BUILD_GUI=OFF -DTC_BUILD_BENCH=OFF -DCMAKE_PREFIX_PATH="$deps/prefix"
run_logged "$build/build.log" cmake --build "$build" -j$jobs --target unit_tests
grep -E 'warning:' "$build/build.log" || true
done_in "core and unit tests built for Windows"

wine="$(command -v wine || command -v wine64 || ls /usr/lib/wine/wine64 2>/dev/null || true)"
if [ -z "$wine" ]; then
    echo "skipped: Windows unit tests built but not run: wine is not installed (wine64)"
    exit 0
fi
wineserver="$(command -v wineserver || ls /usr/lib/wine/wineserver64 2>/dev/null || true)"
export WINEPREFIX="$build/wine" WINEDEBUG=-all
# The first start creates the prefix: slow and noisy, so once and quietly.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$wine" wineboot -i >"$build/wineboot.log" 2>&1 || true
fi
status=0
"$wine" "$build/bin/unit_tests.exe" --gtest_brief=1 >"$build/wine-tests.log" 2>&1 || status=$?
[ -n "$wineserver" ] && "$wineserver" -k >/dev/null 2>&1 || true
# Brief: failures and skips with their reasons, then the summary.
grep -v '^Running main()' "$build/wine-tests.log" || true
done_in "unit tests run under wine"
exit $status
