#!/usr/bin/env bash
# Takes the pictures of docs/screenshots/ from the program itself: the real screens over the
# default library, driven headless (Qt's offscreen platform), saved as the window shows them.
#   scripts/screenshots.sh [BUILD_DIR]     (default build; configured by scripts/setup.sh)
# README.md shows main-z2.png and poem-z2.png; beside them are the screens with lists and the
# reading pages at zoom 1 (some at 2), the reading pages in each Song face, side by side, and
# poems whose couplets are wider than a line, at zoom 1 and 2 (verses-*.png; before/ holds the
# same pages as the reader showed them before it kept verses whole), and the first poem of
# 唐诗三百首 (tang300-first-*.png).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
out=$root/docs/screenshots
shots=$build/tests/screenshots/lomeva_screenshots

cmake --build "$build" --target lomeva_screenshots >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

"$shots" "$work" --zoom 1 --zoom 2 >/dev/null
mkdir -p "$out"
cp "$work/main-z2.png" "$work/poem-z2.png" "$work/colour-chooser-z2.png" "$out/"
# The menus a tap-and-hold opens, at both zooms.
for menu in main-menu reader-menu; do
    cp "$work/$menu-z1.png" "$work/$menu-z2.png" "$out/"
done
# A 花间集 poem with its notes, once the collection's libraries are built.
for zoom in 1 2; do
    [ ! -f "$work/notes-z$zoom.png" ] || cp "$work/notes-z$zoom.png" "$out/"
done
for screen in poem reference search search-fields addpoem options-background options-library \
    colour-chooser; do
    cp "$work/$screen-z1.png" "$out/"
done

# The reading faces: every Song face Debian packages on the poem page at zoom 1; the three made
# for simplified characters on both pages at zoom 1 and on the poem page at zoom 2 and 3.
faces=("AR PL UMing CN" "Noto Serif CJK SC" "AR PL SungtiL GB" "cwTeXMing" "TW-Sung"
    "AR PL Mingti2L Big5")
args=()
for face in "${faces[@]}"; do args+=(--face "$face"); done
"$shots" "$work/all" --zoom 1 "${args[@]}" >/dev/null
cp "$work/all/faces-poem-z1.png" "$out/faces-all-poem-z1.png"
"$shots" "$work/gb" --zoom 1 --zoom 2 --zoom 3 --face "${faces[0]}" --face "${faces[1]}" \
    --face "${faces[2]}" >/dev/null
cp "$work/gb/faces-ref-z1.png" "$work/gb/faces-poem-z2.png" "$work/gb/faces-poem-z3.png" "$out/"
# Whole verses: a 七言律诗 of the default library, and the first 七言绝句 of 全宋诗 when the
# collection's libraries are built (scripts/setup.sh libraries).
poems=(--poem kavro 登高 verses-denggao)
if [ -f "$build/lomeva/全宋诗.idx" ]; then
    poems+=(--poem 全宋诗 腊月见桃花 verses-layue)
fi
"$shots" "$work/verses" --zoom 1 --zoom 2 "${poems[@]}" >/dev/null
cp "$work"/verses/verses-*.png "$out/"
# The first poem of 唐诗三百首, once the collection's libraries are built.
if [ -f "$build/lomeva/唐诗三百首.idx" ]; then
    "$shots" "$work/anthology" --zoom 1 --zoom 2 --poem 唐诗三百首 行宫 tang300-first >/dev/null
    cp "$work"/anthology/tang300-first-*.png "$out/"
fi
echo "pictures in $out"
