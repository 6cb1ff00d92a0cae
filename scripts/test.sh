#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test (ctest): the native
# tests with sanitizers and fuzzers, the unit tests and the end-to-end tests under Wine.
#   scripts/test.sh [ctest options, e.g. -R host -L wine]
set -euo pipefail
. "$(dirname "$0")/lib.sh"
"$top/scripts/install-deps.sh"
mkdir -p "$top/build"

# The product is always built for 32-bit Windows, whatever runs the tests.
build_tree i686 -DTELVANE_NATIVE=OFF
arch=$(test_arch)
echo "Windows-side tests run as $arch programs under $( [ "$arch" = i686 ] && echo 'wine (32-bit)' || echo wine64 )"
if [ "$arch" = i686 ]; then
  cmake "$top/build/i686" -DTELVANE_NATIVE=ON >/dev/null
  build_tree i686
else
  # The import check reads the 32-bit binaries, the ones that ship.
  build_tree "$arch" -DTELVANE_NATIVE=ON -DTELVANE_SHIPPED_BIN_DIR="$top/build/i686/bin"
fi
cd "$top/build/$arch"
start=$(date +%s)
status=0
# One test at a time: the end-to-end tests drive real programs on one desktop and measure
# what they see in seconds; two at once on a 2-core machine made them trip over each other.
ctest --output-on-failure -j 1 "$@" || status=$?
echo "test run took $(( $(date +%s) - start )) s"
exit $status
