#!/usr/bin/env bash
# The main job: installs what is missing, builds the product and its installer package, then
# in a fresh Wine prefix runs the package's setup.exe through its wizard, checks the
# installation, runs the installed TelvaneHost (with the dial-up simulator) and two installed
# TelvaneClients on 127.0.0.1, lets one client connect while the other sees the line on-line,
# runs the uninstaller and checks that nothing is left. Report and screenshots: build/demo/.
#   scripts/demo.sh    (TELVANE_BUILD_DIR=folder builds elsewhere than build/)
set -euo pipefail
. "$(dirname "$0")/lib.sh"
build=${TELVANE_BUILD_DIR:-$top/build}
out=$build/demo
started=$(date +%s)
step() { echo "[$(date +%H:%M:%S)] $*"; }

# configure_and_build ARCH TARGET...: the build tree build/ARCH, only the targets named.
configure_and_build() {
  local arch=$1 dir=$build/$1
  shift
  cmake -S "$top" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-$arch.cmake" -DTELVANE_NATIVE=OFF \
    >"$build/configure-$arch.log" 2>&1 || { cat "$build/configure-$arch.log"; return 1; }
  local target known
  known=$(cmake --build "$dir" --target help)
  for target in "$@"; do
    if ! grep -qx "\.\.\. $target" <<<"$known"; then
      echo "The build has no target $target yet (see $build/configure-$arch.log)." >&2
      return 1
    fi
  done
  cmake --build "$dir" -j "$jobs" --target "$@" >"$build/build-$arch.log" 2>&1 ||
    { tail -40 "$build/build-$arch.log"; echo "build failed: $build/build-$arch.log" >&2; return 1; }
}

step "Installing what is missing (scripts/install-deps.sh)"
"$top/scripts/install-deps.sh"
mkdir -p "$build"

product=(TelvaneHost TelvaneClient Tools setup uninstall suite_package)
step "Building the product and its package for 32-bit Windows: $build/i686/bin, $build/i686/package"
configure_and_build i686 "${product[@]}"
arch=$(test_arch)
tools=(rassim winctl clientctl wizardctl)
if [ "$arch" = i686 ]; then
  step "Building the test tools (dial-up simulator, window drivers)"
  configure_and_build i686 "${tools[@]}"
else
  step "This machine cannot run 32-bit programs: the same sources for 64-bit Windows, run under wine64 ($build/x86_64)"
  configure_and_build x86_64 "${product[@]}" "${tools[@]}"
fi
package=$build/$arch/package
step "The package that is installed here: $package ($(ls "$package" | tr '\n' ' '))"

rm -rf "$out"
mkdir -p "$out"
session=$build/demo-session
step "Creating a fresh Wine prefix and virtual display ($session)"
"$top/tests/harness/wine-session.sh" start "$session" "$arch" >/dev/null
trap '"$top/tests/harness/wine-session.sh" stop "$session"' EXIT
export TELVANE_SESSION=$session TELVANE_WINE_RUN=$top/tests/harness/wine-run.sh TELVANE_BIN=$build/$arch/bin
# The dial-up line is the simulator's (tests/rassim): Wine has no dial-up service.
export TELVANE_RASSIM=$build/$arch/tests/rassim/rasapi32.dll

status=0
python3 -u "$top/tests/packaging/main_job.py" "$package" "$out" || status=$?
step "Finished in $(( $(date +%s) - started )) s; report and screenshots in $out"
exit $status
