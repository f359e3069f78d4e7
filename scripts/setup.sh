#!/usr/bin/env bash
# Sets up a Debian machine for Lomeva, builds it, and then either starts the reader (run) or runs
# every test (test). Installs only the packages that are missing.
set -euo pipefail

mode=${1:-run}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

packages=(
    # building (clang and its runtime for the fuzz targets)
    g++ cmake ninja-build pkg-config clang libclang-rt-14-dev
    libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
    # the window, the viewer, sound, and the fonts of the "宋体" face
    qt6-base-dev qt6-multimedia-dev libqt6svg6-dev fonts-arphic-uming fonts-arphic-ukai
    fonts-urw-base35
    fonts-noto-cjk
    # Qt's own pieces (the colour chooser, an edit's menu) in Simplified Chinese
    qt6-translations-l10n
    # traditional to simplified characters for imports
    libopencc-dev
    # the check of the curated poems under data/kavro
    nodejs
    # the reader on a machine without a display: a virtual display reachable on 127.0.0.1 only
    xvfb x11vnc xauth novnc websockify
)

install_missing() {
    local missing=()
    for package in "${packages[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return
    fi
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y "${missing[@]}"
}

build() {
    cmake -S . -B build -G Ninja
    cmake --build build
}

# The library, the command line and their tests once more under AddressSanitizer and
# UndefinedBehaviorSanitizer, in a tree of their own without the window.
build_sanitized() {
    cmake -S . -B build-asan -G Ninja -DLOMEVA_WITH_UI=OFF -DLOMEVA_SANITIZE=ON \
        -DLOMEVA_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
    cmake --build build-asan
}

start_reader() {
    if [ -x build/lomeva/lomeva ] && [ -x scripts/run-reader.sh ]; then
        exec scripts/run-reader.sh build/lomeva/lomeva
    fi
    if [ -f build/lomeva/kavro.idx ]; then
        build/bin/poemlib info build/lomeva/kavro.idx
    else
        echo "The reader's window is not built yet, and there is no default library (kavro.idx) yet."
    fi
}

run_tests() {
    export QT_QPA_PLATFORM=offscreen
    node data/kavro/curate.mjs --check
    node --test data/kavro/
    ctest --test-dir build --output-on-failure -j2
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir build-asan --output-on-failure -j2
    scripts/fuzz.sh 60
}

case "$mode" in
run)
    install_missing
    build
    start_reader
    ;;
test)
    install_missing
    build
    build_sanitized
    run_tests
    ;;
*)
    echo "usage: scripts/setup.sh [run|test]" >&2
    exit 2
    ;;
esac
