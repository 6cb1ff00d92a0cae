#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine.
# Safe to run again: it only installs what is missing.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)
export DEBIAN_FRONTEND=noninteractive

sudo_cmd=""
if [ "$(id -u)" != 0 ]; then sudo_cmd="sudo"; fi

packages=(cmake make g++ g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-win32
          libz-mingw-w64-dev googletest
          wine wine32:i386 wine64 xvfb x11-utils imagemagick python3 zip unzip liblnk-utils
          dpkg-dev clang)

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo_cmd dpkg --add-architecture i386
  need_update=1
fi
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

src_list=/etc/apt/sources.list.d/telvane-src.sources
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  $sudo_cmd tee "$src_list" >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  need_update=1
fi

if [ ${#missing[@]} -gt 0 ] || [ "${need_update:-0}" = 1 ]; then
  $sudo_cmd apt-get update -q
fi
if [ ${#missing[@]} -gt 0 ]; then
  $sudo_cmd apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# minizip's unzip side is compiled from Debian's zlib source; fetch the source once.
third=$top/build-deps
if [ ! -f "$third/zlib-src/contrib/minizip/unzip.c" ]; then
  rm -rf "$third/zlib-fetch"
  mkdir -p "$third/zlib-fetch"
  (cd "$third/zlib-fetch" && apt-get source -q --download-only zlib >/dev/null && dpkg-source -x --no-check ./*.dsc src >/dev/null)
  rm -rf "$third/zlib-src"
  mv "$third/zlib-fetch/src" "$third/zlib-src"
  rm -rf "$third/zlib-fetch"
fi
echo "dependencies ready"
