#!/bin/sh
# Runs every benchmark row side by side in one run and prints one table: each figure, the
# reference measured in the same run, their ratio and the target. Needs the large library of
# make-large-library.sh, a build with the benchmarks (the default), and ripgrep and hyperfine
# (scripts/setup.sh installs them); the search of every library at once needs the collection's
# libraries in the program folder (bash scripts/setup.sh libraries).
#   bench/run-all.sh [BUILD] [DIR]   BUILD the build folder (default build),
#                                    DIR the large library's folder (default ~/.cache/lomeva-bench)
set -eu
build=${1:-build}
dir=${2:-$HOME/.cache/lomeva-bench}
bench=$build/bench
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

status=0
"$bench/search_bench" "$dir" >"$out/search" || status=1
"$bench/window_bench" "$build/lomeva/lomeva" "$bench/bare_widget" \
    "$bench/liblomeva_first_paint.so" "$dir" >"$out/window" || status=1
QT_QPA_PLATFORM=offscreen "$bench/screen_bench" "$dir" >"$out/screen" || status=1
# the pages of poets and forms in the build's program folder (after scripts/build-libraries.sh)
QT_QPA_PLATFORM=offscreen "$bench/refpage_bench" "$build/lomeva" >"$out/refpage" || status=1

echo "| What | Lomeva | Reference | Ratio | Target |"
echo "|---|---|---|---|---|"
grep -h '^| ' "$out/search" "$out/window" "$out/screen" "$out/refpage" | grep -v '^| What' |
    grep -v '^|---'
echo
grep -hv '^|' "$out/search" "$out/window" "$out/screen" "$out/refpage" | grep -v '^$' || true
exit $status
