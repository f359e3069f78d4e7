#!/usr/bin/env bash
# Builds the libraries of the whole open collection of poems ("chinese-poetry" 2.0.1, MIT, from
# the npm registry) into the program folder, beside the default library, so that the library
# page offers them:
#   scripts/build-libraries.sh [PROGRAM_DIR] [POEMLIB]     (default build/lomeva, build/bin/poemlib)
# The package is fetched once into ${XDG_CACHE_HOME:-~/.cache}/lomeva; later runs work offline.
# What each import counted (forms, dynasties, characters replaced, notes, each kind of mend and
# what it left out) is kept there in reports/.
# LOMEVA_POETRY_PACKAGE names a package file to use instead (the tests' small one).
# Then the reference pages of every poet and form of the folder's libraries are written with
# refpages (beside POEMLIB, or LOMEVA_REFPAGES), the same command the ordinary build runs, from
# what it converted of the package's biographies and counts into .collection-notes.json.
#
# Each library (with its notes, NAME.notes, when it has some) is built in a folder of its own
# inside the program folder and renamed into place only when it is complete, so that the page never offers half a library; a failure leaves the
# libraries already in place as they were. The libraries are the same bytes on every build from
# the same package, and a run that finds them built from the same package and tool changes nothing.
set -euo pipefail
export LC_ALL=C.UTF-8

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
program=$(realpath -m "${1:-$root/build/lomeva}")
poemlib=$(realpath -m "${2:-$root/build/bin/poemlib}")
refpages=$(realpath -m "${LOMEVA_REFPAGES:-$(dirname "$poemlib")/refpages}")
collection_notes=.collection-notes.json
cache=${XDG_CACHE_HOME:-$HOME/.cache}/lomeva
version=2.0.1
released=2026-08-11
sha512=2ad60046f57b09636d6b1d276bdf899fa3e5846812a2277b3d6c83cd72382ac0849b6a1d65ca84432bda97992868bca066733f110de57c9fffdb92bca77b8736

# name | kind | dynasty | files under dist/ | more import options
# The anthologies come last: their poets' dynasties (and names the source cut short) are read from
# the libraries built before them, which lie beside them in the same folder.
libraries=(
    "全唐诗|shi|唐代|quantangshi/poet.tang.*.json|"
    "全宋诗|shi|宋代|quantangshi/poet.song.*.json|"
    "全宋词|ci|宋代|songci/ci.song.*.json|"
    "元曲|qu|元代|yuanqu/yuanqu.json|"
    "诗经楚辞|shi|周代|shijing/shijing.json|--author 无名氏"
    "诗经楚辞|shi|战国|chuci/chuci.json|--dynasty-of 贾谊,淮南小山,东方朔,庄忌,王褒,刘向,王逸=汉代"
    "五代词|ci|五代十国|wudaishici/huajianji/huajianji-*-juan.json wudaishici/nantang/poetrys.json|"
    "纳兰性德|ci|清代|nalanxingde/*.json|"
    "曹操|shi|汉代|caocaoshiji/caocao.json|--author 曹操"
    "唐诗三百首|shi|唐代|mengxue/tangshisanbaishou.json|--dynasties-from 全唐诗,全宋诗,全宋词"
    "宋词三百首|ci|宋代|songci/宋词三百首.json|--dynasties-from 全唐诗,全宋诗,全宋词"
    "千家诗|shi||mengxue/qianjiashi.json|--dynasties-from 全唐诗,全宋诗,全宋词"
)

fail() {
    echo "build-libraries: $*" >&2
    exit 1
}

# The package file, checked against the registry's checksum; fetched when missing or damaged.
package_file() {
    if [ -n "${LOMEVA_POETRY_PACKAGE:-}" ]; then
        [ -f "$LOMEVA_POETRY_PACKAGE" ] || fail "no package file $LOMEVA_POETRY_PACKAGE"
        echo "$LOMEVA_POETRY_PACKAGE"
        return
    fi
    local file=$cache/chinese-poetry-$version.tgz
    if [ -f "$file" ] && [ "$(sha512sum "$file" | cut -d' ' -f1)" = "$sha512" ]; then
        echo "$file"
        return
    fi
    [ -f "$file" ] && echo "The cached package is damaged; fetching it again." >&2
    command -v npm >/dev/null || fail "npm is missing: bash scripts/setup.sh libraries installs it"
    mkdir -p "$cache"
    local fetch
    fetch=$(mktemp -d "$cache/fetch.XXXXXX")
    echo "Fetching chinese-poetry@$version from the npm registry (85 MB, once)..." >&2
    if ! (cd "$fetch" && npm pack --silent "chinese-poetry@$version" >/dev/null 2>"$fetch/npm.log"); then
        local why
        why=$(grep -m1 -i 'err' "$fetch/npm.log" || true)
        rm -rf "$fetch"
        fail "could not fetch chinese-poetry@$version from the npm registry${why:+: $why}"
    fi
    if [ "$(sha512sum "$fetch/chinese-poetry-$version.tgz" | cut -d' ' -f1)" != "$sha512" ]; then
        rm -rf "$fetch"
        fail "the fetched package chinese-poetry@$version does not match its checksum"
    fi
    mv "$fetch/chinese-poetry-$version.tgz" "$file"
    rm -rf "$fetch"
    echo "$file"
}

# What the libraries are made from: the package and the tools. Equal stamps, equal libraries.
stamp_of() {
    { sha512sum "$1" | cut -d' ' -f1; sha256sum "$poemlib" | cut -d' ' -f1
      if [ -f "$refpages" ]; then sha256sum "$refpages" | cut -d' ' -f1; fi
      printf '%s\n' "${libraries[@]}"; } | sha256sum | cut -d' ' -f1
}

library_names() {
    printf '%s\n' "${libraries[@]}" | cut -d'|' -f1 | uniq
}

# True when every library is in place as the stamp's run built it.
up_to_date() {
    local stamp=$1 record=$program/.collection-libraries
    [ -f "$record" ] && [ "$(head -n1 "$record")" = "$stamp" ] || return 1
    (cd "$program" && tail -n +2 "$record" | sha256sum --check --status) 2>/dev/null
}

# The files of one pattern in the collection's order, whatever order the file system lists them
# in: the numbered ones by their number (poet.tang.0, poet.tang.1000, poet.tang.2000, ...), then
# any other name in byte order (ci.song.2019y, huajianji-1-juan, ...). Only the file's own name
# counts: the folders above it may hold dots and digits of their own.
in_collection_order() {
    local path name
    while IFS= read -r path; do
        name=${path##*/}
        if [[ $name =~ \.([0-9]+)\.json$ ]]; then
            printf '0\t%s\t%s\n' "${BASH_REMATCH[1]}" "$path"
        else
            printf '1\t0\t%s\n' "$path"
        fi
    done | LC_ALL=C sort -t$'\t' -k1,1n -k2,2n -k3,3 | cut -f3-
}

build_one() {
    local name=$1 stage=$2 dist=$3 report
    "$poemlib" create "$stage/$name.idx" --name "$name" --author chinese-poetry \
        --version "$version" --date "$released" >/dev/null
    local line kind dynasty files options
    for line in "${libraries[@]}"; do
        [ "${line%%|*}" = "$name" ] || continue
        IFS='|' read -r _ kind dynasty files options <<<"$line"
        local paths=()
        for pattern in $files; do
            mapfile -t -O "${#paths[@]}" paths < <(compgen -G "$dist/$pattern" | in_collection_order)
        done
        [ ${#paths[@]} -gt 0 ] || fail "the package has no $files"
        # which files made the library, in their order: the pages find the package's counts so
        printf "$name\t%s\n" "${paths[@]}" >>"$stage/sources.tsv"
        report=$stage/$name.$kind.${dynasty:-各代}.json
        # The package's table of description codes ({隽乃=冏}) serves every library's poets.
        local codes=()
        [ -f "$dist/quantangshi/表面结构字.json" ] && codes=(--codes "$dist/quantangshi/表面结构字.json")
        # shellcheck disable=SC2086 # options are words
        "$poemlib" import "$stage/$name.idx" "${paths[@]}" --kind "$kind" --dynasty "$dynasty" \
            $options "${codes[@]}" --report "$report" >"$stage/$name.log" ||
            fail "building $name failed: $(tail -n1 "$stage/$name.log")"
    done
    # The library's files take the package's release date and its search index is made for them
    # then: the same bytes on every build, and file times that an install keeps.
    TZ=UTC0 touch -d "$released" "$stage/$name.idx" "$stage/$name.dat"
    "$poemlib" index "$stage/$name.idx" || fail "the search index of $name cannot be made"
    "$poemlib" check "$stage/$name.idx" >/dev/null || fail "$name does not pass poemlib check"
}

# The sum over a library's import reports of one count of a section ("notes", "mended",
# "leftOut"), or of all the counts of the section when no count is named.
section_sum() {
    local name=$1 stage=$2 section=$3 key=${4:-[a-zA-Z]+}
    cat "$stage/$name".*.json | sed -n "/^ \"$section\": {/,/^ }/p" |
        sed -nE "s/^  \"$key\": ([0-9]+),?\$/\\1/p" | awk '{s+=$1} END {print s+0}'
}

# The sum of one count over the reports of a library's imports.
report_sum() {
    cat "$1".*.json | sed -nE "s/^ \"$2\": ([0-9]+),/\\1/p" | awk '{s+=$1} END {print s+0}'
}

# One line of the closing table from the reports of a library's imports.
table_row() {
    local name=$1 stage=$2
    local poems dynasties
    poems=$("$poemlib" info "$stage/$name.idx" --json | sed -E 's/.*"count":([0-9]+).*/\1/')
    dynasties=$(sed -n '/^ "dynasties"/,/^ }/p' "$stage/$name".*.json |
        sed -nE 's/^  "(.*)": ([0-9]+),?$/\2 \1/p' | awk '{n[$2]+=$1} END {for (d in n) print n[d], d}' |
        sort -rn | awk '{printf "%s%s", sep, $2; sep="、"}')
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$name" "$poems" "$dynasties" \
        "$(report_sum "$stage/$name" charactersReplaced)" "$(report_sum "$stage/$name" titlesCut)" \
        "$(report_sum "$stage/$name" charactersNormalised)" "$(report_sum "$stage/$name" phrasesMended)" \
        "$(section_sum "$name" "$stage" notes poems)" "$(section_sum "$name" "$stage" mended)" \
        "$(section_sum "$name" "$stage" leftOut textless)"
}

# The page of every poet and form of the folder's libraries, and authors.htm and geti.htm.
write_pages() {
    [ -x "$refpages" ] || fail "no refpages at $refpages: build first (bash scripts/setup.sh run)"
    "$refpages" "$program" "$root/data/kavro/poets.json" "$root/data/kavro/forms.json" ||
        fail "writing the reference pages failed"
}

main() {
    [ -x "$poemlib" ] || fail "no poemlib at $poemlib: build first (bash scripts/setup.sh run)"
    mkdir -p "$program"
    local package stamp
    package=$(package_file)
    stamp=$(stamp_of "$package")
    if up_to_date "$stamp"; then
        write_pages
        echo "The collection's libraries in $program are up to date."
        return
    fi
    rm -rf "$program"/.building.* # what an interrupted run left
    work=$(mktemp -d "$program/.building.XXXXXX")
    trap 'rm -rf "${work:-}"' EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    tar -xzf "$package" -C "$work" 2>"$work/tar.log" ||
        fail "the package $package is damaged: $(head -n1 "$work/tar.log")"
    local dist=$work/package/dist name rows=()
    [ -d "$dist" ] || fail "the package $package has no dist folder"
    while read -r name; do
        build_one "$name" "$work" "$dist"
        rows+=("$(table_row "$name" "$work")")
    done < <(library_names)
    [ -x "$refpages" ] || fail "no refpages at $refpages: build first (bash scripts/setup.sh run)"
    "$refpages" package "$dist" "$work/sources.tsv" "$work/$collection_notes" ||
        fail "reading the package's biographies and counts failed"
    # Every library is complete: move them in, its notes, search index and data file before its
    # index, since the page lists the index files. Notes left from a build that had some go with
    # it.
    while read -r name; do
        if [ -f "$work/$name.notes" ]; then
            mv -f "$work/$name.notes" "$program/$name.notes"
        else
            rm -f "$program/$name.notes"
        fi
        mv -f "$work/$name.search" "$program/$name.search"
        mv -f "$work/$name.dat" "$program/$name.dat"
        mv -f "$work/$name.idx" "$program/$name.idx"
    done < <(library_names)
    mv -f "$work/$collection_notes" "$program/$collection_notes"
    {
        echo "$stamp"
        (cd "$program" && library_names | while read -r name; do
            sha256sum "$name.idx" "$name.dat" "$name.search"
            [ ! -f "$name.notes" ] || sha256sum "$name.notes"
        done && sha256sum "$collection_notes")
    } >"$program/.collection-libraries"
    write_pages
    # What each import counted (forms, dynasties, every character replaced), to read at leisure.
    mkdir -p "$cache/reports"
    cp "$work"/*.json "$cache/reports/"
    {
        printf '库\t诗词\t朝代\t替换的字\t截短的标题\t规范的字\t改正的词\t有注的诗\t修补\t略去的空记录\n'
        printf '%s\n' "${rows[@]}"
    } | if command -v column >/dev/null; then column -t -s $'\t'; else cat; fi
}

main "$@"
