#!/usr/bin/env bash
# The Debian package, unpacked into a temporary root with dpkg-deb -x, holds the installed tree
# and runs from there, headless: the reader starts, and users who may not write the installed
# program folder each get a folder of their own. One adds a poem and finds it after a restart;
# a newer default library the package brings later renews the other's untouched copy and leaves
# the first one's alone; a library a user puts there stays.
#   package_test.sh BUILD_DIR NUMBERED...   (exit 77, a skip, when dpkg-deb is missing)
# NUMBERED are the bare names of the program folder's pictures and music, as the build knows them.
set -uo pipefail

build=$(cd "$1" && pwd)
shift
numbered=("$@")
if ! command -v dpkg-deb >/dev/null; then
    echo "SKIP: dpkg-deb is not installed, so the package cannot be made or unpacked"
    exit 77
fi

work=$(mktemp -d)
reader_pid=""
cleanup() {
    if [ -n "$reader_pid" ]; then
        kill "$reader_pid" 2>/dev/null
        wait "$reader_pid" 2>/dev/null
    fi
    chmod -R u+w "$work" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
check() { # check MESSAGE COMMAND...
    local message=$1
    shift
    "$@" || fail "$message"
}

# --- The package -------------------------------------------------------------------------------
# gzip rather than the release's xz: the same package, made in a fraction of the time.
if ! cpack -G DEB -B "$work/package" --config "$build/CPackConfig.cmake" \
    -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    echo "FAIL: cpack could not make the package"
    exit 1
fi
deb=$(ls "$work"/package/lomeva_*.deb)
info=$(dpkg-deb -I "$deb")
for field in 'Package: lomeva' 'Section: text' 'Depends: .*libqt6widgets6' \
    'Depends: .*libqt6multimedia6' 'Depends: .*fonts-arphic-uming' 'Description: reader for'; do
    grep -q "^ *$field" <<<"$info" || fail "the control file lacks '$field'"
done
for script in preinst postinst prerm postrm; do
    ! grep -q " $script" <<<"$info" || fail "the package has a $script script"
done
if command -v lintian >/dev/null; then
    lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 ||
        fail "lintian finds errors: $(grep '^E:' "$work/lintian.log")"
fi
root=$work/root
dpkg-deb -x "$deb" "$root"
program=$root/usr/lib/lomeva

for file in usr/bin/lomeva usr/bin/poemlib usr/lib/lomeva/lomeva usr/lib/lomeva/pimg; do
    check "$file is not an executable" test -x "$root/$file"
done
for file in liblomeva_sound.so kavro.idx kavro.dat kavro.search authors.htm geti.htm \
    "${numbered[@]}"; do
    check "the program folder lacks $file" test -f "$program/$file"
done
# Favourites made while trying the reader in the build's program folder are that person's own.
for file in 收藏.idx 收藏.dat 收藏.notes; do
    check "the package holds $file" test ! -e "$program/$file"
done
for page in poets/唐代/李白.htm forms/五言绝句.htm; do
    check "the program folder lacks the page $page" test -f "$program/$page"
done
for file in applications/org.lomeva.Lomeva.desktop metainfo/org.lomeva.Lomeva.metainfo.xml \
    man/man1/poemlib.1.gz man/man1/lomeva.1.gz doc/lomeva/copyright doc/lomeva/changelog.gz; do
    check "the package lacks /usr/share/$file" test -f "$root/usr/share/$file"
done
for size in 16 24 32 48 64 128 256; do
    icon=$root/usr/share/icons/hicolor/${size}x$size/apps/lomeva.png
    check "no $size pixel icon" test -f "$icon"
    if command -v file >/dev/null && [ -f "$icon" ]; then
        file "$icon" | grep -q "$size x $size" || fail "the $size pixel icon is $(file -b "$icon")"
    fi
done
if command -v desktop-file-validate >/dev/null; then
    check "desktop-file-validate refuses the entry" \
        desktop-file-validate "$root/usr/share/applications/org.lomeva.Lomeva.desktop"
fi
if command -v appstreamcli >/dev/null; then
    check "appstreamcli refuses the metadata" appstreamcli validate --no-net \
        "$root/usr/share/metainfo/org.lomeva.Lomeva.metainfo.xml" >"$work/appstream.log" 2>&1 ||
        cat "$work/appstream.log"
fi

# --- Users who may not write the program folder ----------------------------------------------------
# Run as nobody when the test runs as root, who may write anything; the folder is read-only too.
chmod -R a-w "$program"
shipped_sum=$(cat "$program/kavro.idx" "$program/kavro.dat" | sha256sum)

# The command line that runs what follows it as user NAME, with their own HOME and data folder,
# into the array `run_as`.
user_command() {
    local home=$work/home-$1
    mkdir -p "$home"
    run_as=(env HOME="$home" XDG_DATA_HOME="$home/data" QT_QPA_PLATFORM=offscreen
        PATH="$root/usr/bin:$PATH")
    if [ "$(id -u)" -eq 0 ]; then
        chown 65534:65534 "$home"
        run_as=(setpriv --reuid=65534 --regid=65534 --clear-groups "${run_as[@]}")
    fi
}

as_user() { # as_user NAME COMMAND...
    user_command "$1"
    shift
    "${run_as[@]}" "$@"
}

poems() { "$root/usr/bin/poemlib" info "$1" --json | sed -n 's/.*"count": *\([0-9]*\).*/\1/p'; }

# The data file the process holds open for reading and writing, as an open library does (a first
# start's copies of the libraries are open for reading or for writing only).
library_data_file() {
    local fd flags
    for fd in /proc/"$1"/fd/*; do
        case $(readlink "$fd" 2>/dev/null) in *.dat) ;; *) continue ;; esac
        flags=$(sed -n 's/^flags:[[:space:]]*//p' "/proc/$1/fdinfo/${fd##*/}" 2>/dev/null)
        if [ -n "$flags" ] && [ $((8#$flags & 3)) -eq 2 ]; then
            readlink "$fd"
            return
        fi
    done
}

# Starts the reader as it is installed (lomeva on PATH) and waits (at most 15 s) until it holds the data file
# it reads from open; prints that file and ends the reader.
reader_data_file() {
    user_command "$1"
    # Each program execs the next, so this is the reader's process once it runs.
    "${run_as[@]}" lomeva >"$work/reader.log" 2>&1 &
    reader_pid=$!
    local tries=150 open=""
    while [ "$tries" -gt 0 ] && kill -0 "$reader_pid" 2>/dev/null; do
        open=$(library_data_file "$reader_pid")
        [ -n "$open" ] && break
        sleep 0.1
        tries=$((tries - 1))
    done
    if ! kill -0 "$reader_pid" 2>/dev/null; then
        echo "the reader ended: $(cat "$work/reader.log")" >&2
    fi
    kill "$reader_pid" 2>/dev/null
    wait "$reader_pid" 2>/dev/null
    reader_pid=""
    echo "$open"
}

ann=$work/home-ann/data/lomeva
bo=$work/home-bo/data/lomeva
check "lomeva on PATH is not a link to the reader" \
    test "$(readlink "$root/usr/bin/lomeva")" = ../lib/lomeva/lomeva

# The first start: the reader runs on a folder of one's own, with a copy of each library and
# links to everything else.
opened=$(reader_data_file ann)
check "the reader did not open ann's library (it opened '$opened')" test "$opened" = "$ann/kavro.dat"
reader_data_file bo >/dev/null
check "ann's kavro.idx is not a copy of her own" test -f "$ann/kavro.idx" -a ! -L "$ann/kavro.idx"
check "ann's kavro copy differs from the installed one" \
    test "$(cat "$ann/kavro.idx" "$ann/kavro.dat" | sha256sum)" = "$shipped_sum"
check "ann's kavro.search is not a copy of her own" test -f "$ann/kavro.search" -a ! -L "$ann/kavro.search"
for file in lomeva pimg liblomeva_sound.so "${numbered[@]}" authors.htm geti.htm; do
    check "ann's $file is not a link to the installed one" \
        test "$(readlink "$ann/$file")" = "$program/$file"
done
for folder in poets forms; do
    check "ann's $folder is not a link to the installed pages" \
        test "$(readlink "$ann/$folder")" = "$program/$folder"
done
check "ann cannot read the page of 李白" test -f "$ann/poets/唐代/李白.htm"

# The notes of every library the build's program folder holds (the collection's, once it is
# built) are installed with it and copied with it, never linked.
for notes in "$build"/lomeva/*.notes; do
    [ -f "$notes" ] && [ -f "${notes%.notes}.idx" ] && [ -f "${notes%.notes}.dat" ] || continue
    name=${notes##*/}
    check "the package lacks $name" cmp -s "$notes" "$program/$name"
    check "ann's $name is not a copy of the installed one" \
        test ! -L "$ann/$name" -a -f "$ann/$name" -a "$(cat "$ann/$name" 2>/dev/null | sha256sum)" = \
        "$(sha256sum <"$notes")"
done

# She adds a poem; after a restart it is there, and the installed library has not changed.
before=$(poems "$ann/kavro.idx")
check "poemlib could not add to ann's library" \
    as_user ann sh -c 'printf "一行新诗\n" | poemlib add "$XDG_DATA_HOME/lomeva/kavro.idx" \
        --title 安的诗 --author 安' >/dev/null
opened=$(reader_data_file ann)
check "after the restart the reader did not open ann's library" test "$opened" = "$ann/kavro.dat"
check "ann's poem is not there after the restart" test "$(poems "$ann/kavro.idx")" = $((before + 1))
"$root/usr/bin/poemlib" search "$ann/kavro.idx" title 安的诗 | grep -q 安的诗 ||
    fail "ann's poem is not found by its title"
"$root/usr/bin/poemlib" search "$ann/kavro.idx" text 一行新诗 | grep -q 安的诗 ||
    fail "ann's poem is not found by its text"
check "ann's search index is not up to date with her poem" \
    "$root/usr/bin/poemlib" check "$ann/kavro.idx"
check "the installed library changed" \
    test "$(cat "$program/kavro.idx" "$program/kavro.dat" | sha256sum)" = "$shipped_sum"

# A library of her own in her folder stays, beside the others.
"$root/usr/bin/poemlib" create "$ann/mine.idx" --name 我的 --author 安 --version 1.0.0 \
    --date 2026-12-07 >/dev/null
[ "$(id -u)" -eq 0 ] && chown 65534:65534 "$ann/mine.idx" "$ann/mine.dat"
reader_data_file ann >/dev/null
check "ann's own library went" test -f "$ann/mine.idx" -a -f "$ann/mine.dat"

# The package brings a newer default library.
chmod u+w "$program" "$program/kavro.idx" "$program/kavro.dat"
printf "新版之诗\n" | "$root/usr/bin/poemlib" add "$program/kavro.idx" --title 新版 --author 编者 \
    >/dev/null
chmod a-w "$program" "$program/kavro.idx" "$program/kavro.dat"
newer=$(poems "$program/kavro.idx")
reader_data_file ann >/dev/null
cp "$work/reader.log" "$work/ann.log"
reader_data_file bo >/dev/null
check "ann's copy with her poem was overwritten" test "$(poems "$ann/kavro.idx")" = $((before + 1))
check "ann was not told that her copy stays" grep -q "library kavro differs" "$work/ann.log"
check "bo's untouched copy was not renewed" test "$(poems "$bo/kavro.idx")" = "$newer"
check "bo's renewed copy has no search index" test -f "$bo/kavro.search"
check "bo's renewed copy has no search index up to date" "$root/usr/bin/poemlib" check "$bo/kavro.idx"
# And again: nothing changes once more.
reader_data_file ann >/dev/null
check "ann's copy changed at the next start" test "$(poems "$ann/kavro.idx")" = $((before + 1))

# A user who removed their copy gets a fresh one.
rm -f "$bo/kavro.idx" "$bo/kavro.dat"
reader_data_file bo >/dev/null
check "bo's removed library did not come back" test "$(poems "$bo/kavro.idx")" = "$newer"

if [ "$failures" -ne 0 ]; then
    exit 1
fi
echo "the package installs and runs; each user keeps a program folder of their own"
