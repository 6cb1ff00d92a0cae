#!/bin/bash
# Checks that our own C and C++ sources are formatted as .clang-format says: names every
# file that clang-format would change and fails if there is one. Sources of dependencies
# unpacked under build-deps/ are not ours and are left out.
# Usage: scripts/check-format.sh [clang-format program]
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
format=${1:-${CLANG_FORMAT:-clang-format}}
if ! command -v "$format" >/dev/null 2>&1; then
    echo "check-format: $format not found" >&2
    exit 77 # skipped, not failed: the machine lacks the tool
fi
cd "$top" || exit 2
files=()
while IFS= read -r -d '' file; do
    [ -f "$file" ] && files+=("$file") # a file deleted in the working tree is not checked
done < <(git ls-files -z -- '*.c' '*.cpp' '*.h' ':!:build-deps/')
if [ "${#files[@]}" -eq 0 ]; then
    echo "check-format: no sources found" >&2
    exit 2
fi
# One run over all files; each violation is reported as "file:line:col: error: ...".
report=$("$format" --dry-run --Werror "${files[@]}" 2>&1)
status=$?
bad=$(printf '%s\n' "$report" | sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: .*clang-format-violations.*/\1/p' | sort -u)
if [ -n "$bad" ]; then
    printf '%s\n' "$bad" | sed 's/^/not formatted: /'
elif [ "$status" -ne 0 ]; then
    printf '%s\n' "$report" >&2 # clang-format failed for another reason
    exit 2
fi
count=$(printf '%s' "$bad" | grep -c .)
echo "check-format: ${#files[@]} files checked, $count not formatted"
[ "$count" -eq 0 ]
