#!/usr/bin/env bash
# Sets up a Debian machine for Lomeva, builds it, and then starts the reader (run), runs every
# test (test), builds the libraries of the whole open collection of poems into the program folder
# (libraries), or makes the Debian package (package). Installs only the packages that are
# missing: when none is, no package command runs. `deps` installs them and stops there.
set -euo pipefail

mode=${1:-run}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

packages=(
    # building (clang and its runtime for the fuzz targets), and the check of the code's format
    g++ cmake ninja-build pkg-config clang libclang-rt-14-dev clang-format
    libgtest-dev libgmock-dev nlohmann-json3-dev
    # the window, the viewer, sound, and the fonts of the "宋体" face
    qt6-base-dev qt6-multimedia-dev qt6-svg-dev fonts-arphic-uming fonts-arphic-ukai
    fonts-urw-base35
    fonts-noto-cjk
    # Qt's own pieces (the colour chooser, an edit's menu) in Simplified Chinese
    qt6-translations-l10n
    # traditional to simplified characters for imports
    libopencc-dev
    # the check of the curated poems under data/kavro
    nodejs
    # the reference of the search benchmarks, and the timing of whole commands
    ripgrep hyperfine
    # the reader on a machine without a display: a virtual display reachable on 127.0.0.1 only
    xvfb x11vnc xauth novnc websockify
    # the Debian package and its checks; the test of the headless display's password
    dpkg-dev desktop-file-utils appstream lintian file python3-cryptography
)

# Every name the installed packages answer to: their own names and the virtual names they
# provide (a name in the list above may be either), one a line.
installed_names() {
    dpkg-query -W -f='${db:Status-Abbrev}|${Package}|${Provides}\n' 2>/dev/null |
        awk -F'|' '$1 ~ /^ii/ {
            print $2
            n = split($3, provided, ",")
            for (i = 1; i <= n; i++) {
                name = provided[i]
                sub(/\(.*/, "", name)
                sub(/:any/, "", name)
                gsub(/[ \t]/, "", name)
                if (name != "") print name
            }
        }'
}

# The packages of the list that nothing installed answers to.
missing_packages() {
    local -A installed=()
    local name
    while IFS= read -r name; do
        installed[$name]=1
    done < <(installed_names)
    for name in "${packages[@]}"; do
        if [ -z "${installed[$name]:-}" ]; then
            echo "$name"
        fi
    done
}

install_missing() {
    local missing=()
    mapfile -t missing < <(missing_packages)
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

# The trees come from CMakePresets.json, where warnings are errors.
build() {
    cmake --preset default
    cmake --build --preset default
}

# The library, the command line and their tests once more under AddressSanitizer and
# UndefinedBehaviorSanitizer, in a tree of their own without the window.
build_sanitized() {
    cmake --preset sanitizers
    cmake --build --preset sanitizers
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

# The Debian package from the install, into build/, checked by lintian.
make_package() {
    (cd build && cpack -G DEB)
    local deb
    deb=$(ls -t build/lomeva_*.deb | head -1)
    lintian --fail-on error "$deb"
    echo "The package: $deb (install it with: sudo apt install ./$deb)"
}

run_tests() {
    export QT_QPA_PLATFORM=offscreen
    node data/kavro/curate.mjs --check
    node --test data/kavro/
    ctest --preset default
    ctest --preset sanitizers
    scripts/fuzz.sh 60
}

# The libraries of the whole open collection, built into the program folder beside kavro.
build_libraries() {
    bash scripts/build-libraries.sh build/lomeva build/bin/poemlib
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
libraries)
    # npm fetches the collection; Debian's nodejs leaves it to a package of its own.
    command -v npm >/dev/null || packages+=(npm)
    install_missing
    build
    build_libraries
    ;;
deps)
    install_missing
    ;;
package)
    install_missing
    build
    make_package
    ;;
*)
    echo "usage: scripts/setup.sh [run|test|libraries|deps|package]" >&2
    exit 2
    ;;
esac
