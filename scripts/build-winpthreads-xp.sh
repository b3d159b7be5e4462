#!/usr/bin/env bash
# Cross-builds a static winpthreads for i686 Windows XP from Debian's mingw-w64
# source package into CACHE/winpthreads-win32 (kept between runs). The one
# that comes with the compiler is built for later Windows and imports
# GetTickCount64, which Windows XP does not have; built for 0x0501 it keeps
# time with QueryPerformanceCounter instead. The 32-bit build links this one
# (the static libstdc++ of the posix thread model calls into it).
#   build-winpthreads-xp.sh [CACHE]
set -euo pipefail
cache="${1:-/var/cache/quillmere}"
prefix="$cache/winpthreads-win32"
stamp="$prefix/.built-0x0501"
[ -f "$stamp" ] && exit 0

work="$cache/winpthreads-src"
rm -rf "$work" "$prefix"
mkdir -p "$work"
cd "$work"
for i in 1 2 3 4 5; do
  apt-get source -q --download-only mingw-w64 && break
  [ $i = 5 ] && { echo "winpthreads: source download failed" >&2; exit 1; }
  sleep $((i * 10))
done
tar xjf mingw-w64_*.orig.tar.bz2 --wildcards '*/mingw-w64-libraries/winpthreads/*'
cd mingw-w64-*/mingw-w64-libraries/winpthreads
grep -q "_WIN32_WINNT >= _WIN32_WINNT_VISTA" src/misc.c || { echo "winpthreads: unexpected source" >&2; exit 1; }
./configure -q --host=i686-w64-mingw32 --prefix="$prefix" --disable-shared --enable-static \
  CC=i686-w64-mingw32-gcc-posix CFLAGS="-O2 -D_WIN32_WINNT=0x0501 -DWINVER=0x0501" >/dev/null
make -s -j "$(nproc)" >/dev/null 2>&1
make -s install >/dev/null 2>&1
touch "$stamp"
cd /
rm -rf "$work"
echo "winpthreads for Windows XP in $prefix"
