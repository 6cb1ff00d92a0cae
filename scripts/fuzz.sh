#!/usr/bin/env bash
# Runs every fuzz target for the given number of seconds each (default 60), starting from the
# seeds in tests/fuzz/corpus and keeping what it finds in build/native-fuzz/fuzz/corpus.
#   scripts/fuzz.sh [seconds] [target name pattern]
# A crash or hang leaves its input in build/native-fuzz/fuzz/artifacts; put it into the
# target's seed folder, so every later run (and the test command) tries it again.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
seconds=${1:-60}
pattern=${2:-}
"$top/scripts/install-deps.sh" >/dev/null
dir=$top/build/native-fuzz
mkdir -p "$dir"
cmake -S "$top/native" -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ \
  -DTELVANE_SOURCE_DIR="$top" >"$dir/configure.log" 2>&1 || { cat "$dir/configure.log"; exit 1; }
cmake --build "$dir" -j "$jobs" >/dev/null
mkdir -p "$dir/fuzz/artifacts"
failed=0
for target in "$dir"/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  [ -n "$pattern" ] && [[ "$name" != *$pattern* ]] && continue
  seeds=$top/tests/fuzz/corpus/$name
  [ -d "$seeds" ] || seeds=
  mkdir -p "$dir/fuzz/corpus/$name"
  echo "== $name: $seconds s"
  if "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 -max_len=4096 \
       -artifact_prefix="$dir/fuzz/artifacts/$name-" "$dir/fuzz/corpus/$name" $seeds \
       >"$dir/fuzz/$name.log" 2>&1; then
    tail -n 1 "$dir/fuzz/$name.log"
  else
    failed=1
    echo "$name FAILED, see $dir/fuzz/$name.log"
    grep -E 'ERROR|SUMMARY|Test unit written' "$dir/fuzz/$name.log" | head -n 5
  fi
done
[ $failed = 0 ] && echo "every fuzz target ran $seconds s without a failure"
exit $failed
