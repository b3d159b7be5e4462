#!/usr/bin/env bash
# Cross-builds Info-ZIP zip.exe and unzip.exe for x86_64 Windows from Debian's
# source packages into CACHE/infozip-win64: the peer of the Windows build when
# the benchmark runs under Wine. Not part of the product or of the tests.
set -euo pipefail
cache="${1:-/var/cache/quillmere}"
prefix="$cache/infozip-win64"
[ -x "$prefix/zip.exe" ] && [ -x "$prefix/unzip.exe" ] && exit 0

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
for i in 1 2 3 4 5; do
  # Only the upstream tarballs are needed (the Debian patches are for Unix).
  apt-get source -q --download-only zip unzip >/dev/null 2>&1 || true
  ls zip_*.orig.tar.* unzip_*.orig.tar.* >/dev/null 2>&1 && break
  [ $i = 5 ] && { echo "Info-ZIP: source download failed" >&2; exit 1; }
  sleep $((i * 10))
done
tar xf zip_*.orig.tar.*
tar xf unzip_*.orig.tar.*
cc=x86_64-w64-mingw32-gcc
# windows.h first: newer headers have a structure field named CR, which
# Info-ZIP defines as a macro. No assembler parts (they are 32-bit).
(cd zip30 && make -s -f win32/makefile.gcc zip.exe CC=$cc RC=x86_64-w64-mingw32-windres \
   OBJA= CRCA_O= CRCAUO= LOCAL_ZIP="-DNO_ASM -include windows.h" >/dev/null 2>&1)
(cd unzip60 && make -s -f win32/Makefile.gcc unzip.exe CC=$cc RC=x86_64-w64-mingw32-windres \
   AR=x86_64-w64-mingw32-ar NOASM=1 CC_CPU_OPT="-O2" LOCAL_UNZIP="-include windows.h" >/dev/null 2>&1)
mkdir -p "$prefix"
cp zip30/zip.exe unzip60/unzip.exe "$prefix/"
echo "Info-ZIP for win64 in $prefix"
