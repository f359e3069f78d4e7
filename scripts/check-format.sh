#!/usr/bin/env bash
# Checks that the C++ files are formatted as .clang-format says, and names any that are not.
#   scripts/check-format.sh [BASE]    the files changed since the commit BASE (with uncommitted
#                                     changes), or without BASE every C++ file git tracks
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

if [ $# -gt 0 ]; then
    mapfile -t files < <(git diff --name-only --diff-filter=d "$1" -- '*.cpp' '*.h')
else
    mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
fi
if [ ${#files[@]} -eq 0 ]; then
    echo "No C++ files to check."
    exit 0
fi
unformatted=()
for file in "${files[@]}"; do
    if ! clang-format --dry-run --Werror "$file" >/dev/null 2>&1; then
        unformatted+=("$file")
    fi
done
if [ ${#unformatted[@]} -ne 0 ]; then
    echo "Not formatted as .clang-format says (run clang-format -i on them):" >&2
    printf '  %s\n' "${unformatted[@]}" >&2
    exit 1
fi
echo "${#files[@]} C++ files formatted as .clang-format says."
