#!/usr/bin/env bash
# Prepares a Debian 12 machine for building and testing Quillmere.
# Idempotent: packages already there and the cached library builds are kept.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
top="$(dirname "$here")"
cache="${QUILLMERE_CACHE:-/var/cache/quillmere}"

packages=(
  build-essential cmake ninja-build pkg-config python3
  googletest libgtest-dev libgmock-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  libz-mingw-w64-dev
  wine64 xvfb xdotool x11-utils imagemagick locales
  libzip-dev zlib1g-dev zip unzip 7zip
  dpkg-dev fp-utils
  clang
)

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

apt_retry() {
  local i
  for i in 1 2 3 4 5; do
    if as_root env DEBIAN_FRONTEND=noninteractive "$@"; then return 0; fi
    echo "setup: '$*' failed (try $i), retrying" >&2
    sleep $((i * 10))
  done
  return 1
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

src_list=/etc/apt/sources.list.d/quillmere-src.sources
need_update=0
if [ ! -f "$src_list" ]; then
  as_root tee "$src_list" >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  need_update=1
fi

if [ ${#missing[@]} -gt 0 ] || [ $need_update = 1 ]; then
  for i in 1 2 3 4 5; do
    if as_root apt-get update -q && \
       { [ ${#missing[@]} -eq 0 ] || as_root env DEBIAN_FRONTEND=noninteractive \
           apt-get install -y -q --no-install-recommends "${missing[@]}"; }; then
      break
    fi
    [ $i = 5 ] && { echo "setup: package installation failed" >&2; exit 1; }
    echo "setup: apt failed (try $i), retrying" >&2
    sleep $((i * 10))
  done
fi

# libzip for the Windows build, cross-compiled from Debian's own source
# package, with AES encryption from mbed TLS built the same way before it.
for arch in win64 win32; do
  "$here/build-mbedtls-win.sh" "$arch" "$cache"
  "$here/build-libzip-win.sh" "$arch" "$cache"
done
"$here/build-winpthreads-xp.sh" "$cache"
