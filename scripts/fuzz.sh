#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each over its seed corpus plus fresh fuzzing.
#   scripts/fuzz.sh [SECONDS]     SECONDS of fresh fuzzing per target (default 60)
# New inputs go to a scratch folder, never into fuzz/corpus; a crash leaves its input in the
# current folder (crash-*) and fails the run.
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

cmake --preset fuzz >/dev/null
targets=(library check import codepage notes)
cmake --build build-fuzz --target "${targets[@]/#/fuzz_}"

for target in "${targets[@]}"; do
    scratch=$(mktemp -d)
    echo "fuzz_$target: ${seconds}s over fuzz/corpus/$target"
    status=0
    build-fuzz/fuzz/fuzz_"$target" -close_fd_mask=3 -max_total_time="$seconds" \
        -rss_limit_mb=2048 -print_final_stats=1 "$scratch" "fuzz/corpus/$target" \
        >"$scratch.log" 2>&1 || status=$?
    grep -E '^#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units' "$scratch.log" || true
    rm -rf "$scratch"
    if [ "$status" -ne 0 ]; then
        tail -n 60 "$scratch.log" >&2
        echo "fuzz_$target found a problem (exit $status)" >&2
        exit 1
    fi
    rm -f "$scratch.log"
done
