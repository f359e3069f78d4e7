#!/usr/bin/env bash
# Builds, once, the large library of the performance benchmark outside the repository: every Tang
# and Song shi and every Song ci of the open "chinese-poetry" collection (npm package, from the
# cache that scripts/build-libraries.sh fills, so that it runs offline), imported
# with poemlib (characters outside GB2312 simplified), plus the UTF-8 files the reference tools
# read: the texts (poemlib export --format text) and one file per field, one line a poem.
#   bench/make-large-library.sh [BUILD_DIR]     (default build)
# The files go to ${LOMEVA_BENCH_DIR:-~/.cache/lomeva-bench}.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
poemlib=$build/bin/poemlib
out=${LOMEVA_BENCH_DIR:-$HOME/.cache/lomeva-bench}
mkdir -p "$out"

if [ -f "$out/large.idx" ] && [ -f "$out/large.txt" ]; then
    echo "the large library is already in $out"
    exit 0
fi
# The package that scripts/build-libraries.sh keeps (bash scripts/setup.sh libraries fetches it
# once); fetched here only when it is not there yet.
package=${XDG_CACHE_HOME:-$HOME/.cache}/lomeva/chinese-poetry-2.0.1.tgz
if [ ! -f "$package" ]; then
    mkdir -p "$(dirname "$package")"
    (cd "$(dirname "$package")" && npm pack --silent chinese-poetry@2.0.1 >/dev/null)
fi
rm -rf "$out/package"
tar -xzf "$package" -C "$out"
dist=$out/package/dist

rm -f "$out/large.idx" "$out/large.dat"
"$poemlib" create "$out/large.idx" --name 全唐诗全宋诗全宋词 --author bench --version 1.0.0 \
    --date 2026-12-07
# Some poems cannot be stored (titles longer than a record holds, characters outside the code
# page); import says which and adds the rest.
"$poemlib" import "$out/large.idx" "$dist"/quantangshi/poet.tang.*.json --dynasty 唐代 \
    2>"$out/import-tang.log" | tail -n 1 || true
"$poemlib" import "$out/large.idx" "$dist"/quantangshi/poet.song.*.json --dynasty 宋代 \
    2>"$out/import-song.log" | tail -n 1 || true
"$poemlib" import "$out/large.idx" "$dist"/songci/ci.song.*.json --dynasty 宋代 \
    2>"$out/import-ci.log" | tail -n 1 || true

"$poemlib" export "$out/large.idx" --format text >"$out/large.txt"
"$poemlib" list "$out/large.idx" >"$out/list.tsv"
cut -f2 "$out/list.tsv" >"$out/titles.txt"
cut -f3 "$out/list.tsv" >"$out/authors.txt"
cut -f5 "$out/list.tsv" >"$out/forms.txt"
rm -rf "$out/package"
"$poemlib" info "$out/large.idx"
