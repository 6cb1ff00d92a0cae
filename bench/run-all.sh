#!/usr/bin/env bash
# Runs every benchmark in one Wine session and prints each one's figures; the last line of
# each block is its ratio. Build first: cmake --build BUILD --target bench TelvaneHost Tools setup
#   bench/run-all.sh [BUILD [BEFORE_BIN]]
# BEFORE_BIN: bin/ of an older build, measured side by side as "before" where it applies.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build-h5/x86_64}" && pwd)
before=${2:-}
arch=x86_64
[ -e /lib/ld-linux.so.2 ] && [[ $build != *x86_64* ]] && arch=i686
session=$build/bench-session
"$here/../tests/harness/wine-session.sh" start "$session" "$arch" >/dev/null
trap '"$here/../tests/harness/wine-session.sh" stop "$session"' EXIT
export TELVANE_SESSION=$session
extra=()
[ -n "$before" ] && extra=(--before "$before")
for bench in host_startup host_ping host_fanout host_throughput; do
  echo "== $bench"
  python3 "$here/$bench.py" --build "$build" "${extra[@]}"
done
for bench in setup_script setup_extraction setup_startup; do
  if [ -x "$here/$bench.sh" ]; then
    echo "== $bench"
    "$here/$bench.sh" "$build" ${before:+"$before"}
  elif [ -f "$here/$bench.py" ]; then
    echo "== $bench"
    python3 "$here/$bench.py" --build "$build" "${extra[@]}"
  fi
done
