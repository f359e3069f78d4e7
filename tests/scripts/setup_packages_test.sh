#!/usr/bin/env bash
# scripts/setup.sh installs only what is missing, and runs no package command when nothing is.
# The package database and apt-get are stand-ins on PATH: dpkg-query prints the packages named in
# $FAKE_INSTALLED as installed, plus the lines in $FAKE_EXTRA; apt-get and sudo only log.
#   setup_packages_test.sh SOURCE_DIR
set -euo pipefail

source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"

cat >"$work/bin/dpkg-query" <<'STUB'
#!/usr/bin/env bash
for name in $FAKE_INSTALLED; do
    echo "ii |$name|"
done
printf '%b' "${FAKE_EXTRA:-}"
STUB
cat >"$work/bin/apt-get" <<'STUB'
#!/usr/bin/env bash
echo "apt-get $*" >>"$FAKE_LOG"
STUB
cat >"$work/bin/sudo" <<'STUB'
#!/usr/bin/env bash
echo "sudo $*" >>"$FAKE_LOG"
STUB
chmod +x "$work/bin"/*

export FAKE_LOG=$work/log FAKE_INSTALLED="" FAKE_EXTRA=""
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

deps() {
    : >"$FAKE_LOG"
    PATH="$work/bin:$PATH" bash "$source_dir/scripts/setup.sh" deps >"$work/out" 2>&1
}

# Nothing installed: one update and one install of the whole list.
deps
everything=$(sed -n 's/^Installing: //p' "$work/out")
[ -n "$everything" ] || fail "with nothing installed, nothing was installed: $(cat "$work/out")"
grep -q 'apt-get update' "$FAKE_LOG" || fail "no apt-get update before installing"
grep -q "apt-get install -y $everything" "$FAKE_LOG" || fail "the install did not name the list"

# Every name installed: no package command at all.
export FAKE_INSTALLED=$everything
deps
[ ! -s "$FAKE_LOG" ] || fail "a package command ran with nothing missing: $(cat "$FAKE_LOG")"
[ ! -s "$work/out" ] || fail "output with nothing missing: $(cat "$work/out")"

# One name answered only by another package that provides it (a virtual name), one package
# removed with its configuration left (status rc), and one truly missing.
set -- $everything
provided=$1 removed=$2 absent=$3
shift 3
export FAKE_INSTALLED="$*"
export FAKE_EXTRA="ii |some-provider|other (>= 1), $provided (= 2.0), more:any\nrc |$removed|\n"
deps
grep -qx "Installing: $removed $absent" "$work/out" ||
    fail "expected to install exactly '$removed $absent', got: $(cat "$work/out")"

# Every name of the list is a package that can be installed, or a name another package provides.
# (Only where the package lists are there to ask; one question for the whole list.)
if command -v apt-cache >/dev/null && apt-cache show bash >/dev/null 2>&1; then
    declare -A candidate=()
    while read -r name version; do
        candidate[$name]=$version
    done < <(apt-cache policy $everything 2>/dev/null |
        awk '/^[^ ]/ { sub(/:$/, "", $1); name = $1 } /Candidate:/ { print name, $2 }')
    for name in $everything; do
        version=${candidate[$name]:-}
        if [ -z "$version" ] || { [ "$version" = "(none)" ] &&
            [ -z "$(apt-cache showpkg "$name" | sed -n '/^Reverse Provides:/,$p' | sed 1d)" ]; }; then
            fail "$name is neither a package nor provided by one"
        fi
    done
fi

if [ "$failures" -ne 0 ]; then
    exit 1
fi
echo "setup.sh installs only what is missing"
