#!/usr/bin/env bash
# Start-up of the installed reader against the build tree's, in one run: the time from launch to
# the first painted main screen (the preloaded first-paint library tells), median of RUNS, for
#   - the build tree's reader, started directly (the reference: how it starts today);
#   - the installed reader (lomeva on PATH), for a user who may not write the installed folder
#     and so runs on a folder of their own (made before the timed runs), whose every start
#     looks over that folder against the installed one;
#   - the same user's very first start, which makes that folder (once, not a median);
#   - in process (program_folder_bench), what looking over and making that folder costs.
# Both run under the offscreen platform, as nobody when run as root (root may write anything).
#   bench/install-startup.sh [BUILD] [RUNS] [REFERENCE]
#     BUILD the build folder (default build), RUNS (default 15), REFERENCE the reader to compare
#     with (default BUILD/lomeva/lomeva; e.g. an older build's, in a program folder of its own)
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
runs=${2:-15}
reference=${3:-$build/lomeva/lomeva}
preload=$build/bench/liblomeva_first_paint.so
[ -f "$preload" ] || { echo "build $build/bench first (the first-paint library)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
cmake --install "$build" --prefix "$work/usr" >/dev/null
chmod -R a-w "$work/usr/lib/lomeva"
mkdir -p "$work/home"
as_user=(env HOME="$work/home" XDG_DATA_HOME="$work/home/data" QT_QPA_PLATFORM=offscreen)
if [ "$(id -u)" -eq 0 ]; then
    chown 65534:65534 "$work/home"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups "${as_user[@]}")
fi
mkfifo "$work/painted"
chmod 666 "$work/painted"

# Milliseconds from launch to the first paint of PROGRAM.
first_paint() {
    local start=$EPOCHREALTIME line pid
    "${as_user[@]}" LD_PRELOAD="$preload" LOMEVA_FIRST_PAINT_FD=3 "$@" \
        3>"$work/painted" >/dev/null 2>&1 &
    pid=$!
    if ! read -r -t 20 line <"$work/painted" || [ "$line" != painted ]; then
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        echo "no paint from $*" >&2
        return 1
    fi
    local end=$EPOCHREALTIME
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null || true
    echo "$start $end" | awk '{ printf "%.1f\n", ($2 - $1) * 1000 }'
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

first=$(first_paint "$work/usr/bin/lomeva")
built=() installed=()
for _ in $(seq "$runs"); do
    # Alternated, so that a busy moment of the machine falls on both alike.
    built+=("$(first_paint "$reference")")
    installed+=("$(first_paint "$work/usr/bin/lomeva")")
done
built_ms=$(printf '%s\n' "${built[@]}" | median)
installed_ms=$(printf '%s\n' "${installed[@]}" | median)
echo "| What | Lomeva | Reference | Ratio | Target |"
echo "|---|---|---|---|---|"
awk -v a="$installed_ms" -v b="$built_ms" -v ref="$reference" 'BEGIN {
    printf "| Start-up, installed, on a folder of the user\047s own | %.1f ms | %.1f ms (%s) | %.2f | <= 1.10 |\n", a, b, ref, a / b }'
"$build/bench/program_folder_bench" "$work/usr/lib/lomeva"
echo "First start, making the user's folder, end to end: $first ms (runs: $runs)"
