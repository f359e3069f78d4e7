#!/usr/bin/env bash
# The install script of the program folder's files, run on a folder of its own: every library with
# its notes is installed, and an index without its data file and the favourites library are not.
#   install_files_test.sh SOURCE_DIR
set -uo pipefail

source=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
program=$work/program
installed=$work/installed
mkdir -p "$program"
for file in kavro.idx kavro.dat kavro.notes 全唐诗.idx 全唐诗.dat alone.idx \
    收藏.idx 收藏.dat 收藏.notes bgpic1.jpg sound1.wav authors.htm; do
    printf '%s\n' "$file" >"$program/$file"
done

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

if ! cmake -DLOMEVA_PROGRAM_DIR="$program" -DLOMEVA_INSTALL_PROGRAM_DIR="$installed" \
    -P "$source/cmake/InstallProgramFiles.cmake" >"$work/install.log" 2>&1; then
    cat "$work/install.log"
    echo "FAIL: the install script failed"
    exit 1
fi
for file in kavro.idx kavro.dat kavro.notes 全唐诗.idx 全唐诗.dat bgpic1.jpg sound1.wav authors.htm; do
    cmp -s "$program/$file" "$installed/$file" || fail "$file is not installed as it is"
done
for file in alone.idx 收藏.idx 收藏.dat 收藏.notes; do
    [ ! -e "$installed/$file" ] || fail "$file is installed"
done
for file in "$installed"/*; do
    [ -e "$program/${file##*/}" ] || fail "${file##*/} is installed from nowhere"
done

if [ "$failures" -ne 0 ]; then
    exit 1
fi
echo "the install script installs the libraries and leaves out the favourites"
