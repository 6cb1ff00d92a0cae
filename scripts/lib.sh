# Shared by the scripts: where things are built and which Wine runs the tests.
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)

# The Windows-side tests run the programs built for 32-bit Windows under 32-bit Wine.
# Some machines cannot execute 32-bit code at all (the kernel refuses every 32-bit ELF
# program, Wine's loader included); there the same sources are built for 64-bit Windows
# and the tests run under wine64. TELVANE_TEST_ARCH=i686|x86_64 forces the choice.
test_arch() {
  if [ -n "${TELVANE_TEST_ARCH:-}" ]; then
    echo "$TELVANE_TEST_ARCH"
    return
  fi
  local i
  for i in 1 2 3 4 5; do
    if ! /lib/i386-linux-gnu/ld-linux.so.2 --help >/dev/null 2>&1; then
      echo x86_64
      return
    fi
  done
  echo i686
}

# build_tree ARCH [cmake options...]: configures (once) and builds build/ARCH.
build_tree() {
  local arch=$1
  shift
  local dir=$top/build/$arch
  # Configured every time: cheap, and it picks up folders that appeared since.
  cmake -S "$top" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-$arch.cmake" "$@" >"$top/build/configure-$arch.log" 2>&1 ||
    { cat "$top/build/configure-$arch.log"; return 1; }
  cmake --build "$dir" -j "$jobs"
}
