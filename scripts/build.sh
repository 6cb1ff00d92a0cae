#!/usr/bin/env bash
# Builds the product: TelvaneHost.exe, TelvaneClient.exe, Tools.dll and setup.exe for
# 32-bit Windows, into build/i686/bin.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
"$top/scripts/install-deps.sh"
mkdir -p "$top/build"
build_tree i686 -DTELVANE_NATIVE=OFF
echo "built: $top/build/i686/bin"
