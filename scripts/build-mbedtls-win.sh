#!/usr/bin/env bash
# Cross-builds a static mbed TLS crypto library for Windows from Debian's
# mbedtls source package into CACHE/mbedtls-win64 or CACHE/mbedtls-win32 (kept
# between runs): what libzip's AES encryption is built on.
#   build-mbedtls-win.sh win64|win32 [CACHE]
set -euo pipefail
arch="${1:?win64 or win32}"
cache="${2:-/var/cache/quillmere}"
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
case "$arch" in
  win64) triple=x86_64-w64-mingw32 toolchain="$top/cmake/toolchain-mingw64.cmake" ;;
  win32) triple=i686-w64-mingw32 toolchain="$top/cmake/toolchain-mingw32.cmake" ;;
  *) echo "mbedtls: unknown architecture $arch" >&2; exit 1 ;;
esac
prefix="$cache/mbedtls-$arch"
# The stamp names the configuration: a changed configuration builds anew (and
# so does libzip, which records the stamp it was built against).
stamp="$prefix/.built-aes-romtables-sha1-pkcs5-xp"
[ -f "$stamp" ] && exit 0

work="$cache/mbedtls-src-$arch"
rm -rf "$work" "$prefix"
mkdir -p "$work"
cd "$work"
for i in 1 2 3 4 5; do
  apt-get source -q --download-only mbedtls && break
  [ $i = 5 ] && { echo "mbedtls: source download failed" >&2; exit 1; }
  sleep $((i * 10))
done
dpkg-source -x --no-check mbedtls_*.dsc src >/dev/null
cd src

# Only what libzip's AES encryption calls: the AES block cipher, HMAC-SHA1 and
# PBKDF2, and the platform layer every Windows build needs. The AES tables are
# the constant ones: several threads extract at once, and the tables made on
# first use are not guarded. No entropy source or random generator: libzip
# takes its random bytes from RtlGenRandom (see build-libzip-win.sh).
[ -f include/mbedtls/config.h ] && grep -Eq "define MBEDTLS_VERSION_MAJOR +2$" include/mbedtls/version.h ||
  { echo "mbedtls: unexpected source (not 2.x)" >&2; exit 1; }
cat > include/mbedtls/config.h <<'CFG'
/* What libzip's AES encryption needs, nothing else. */
#ifndef MBEDTLS_CONFIG_H
#define MBEDTLS_CONFIG_H

#define MBEDTLS_HAVE_ASM
#define MBEDTLS_PLATFORM_C
#define MBEDTLS_AESNI_C
#define MBEDTLS_PADLOCK_C
#define MBEDTLS_AES_C
#define MBEDTLS_AES_ROM_TABLES
#define MBEDTLS_MD_C
#define MBEDTLS_SHA1_C
#define MBEDTLS_PKCS5_C

#include "mbedtls/check_config.h"

#endif /* MBEDTLS_CONFIG_H */
CFG

cmake -S . -B build -G Ninja \
  -DCMAKE_C_FLAGS="-D_WIN32_WINNT=0x0501 -DWINVER=0x0501" \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release \
  -DUSE_STATIC_MBEDTLS_LIBRARY=ON -DUSE_SHARED_MBEDTLS_LIBRARY=OFF \
  -DENABLE_PROGRAMS=OFF -DENABLE_TESTING=OFF -DENABLE_ZLIB_SUPPORT=OFF \
  -DMBEDTLS_FATAL_WARNINGS=OFF >/dev/null
cmake --build build -j "$(nproc)" --target mbedcrypto
mkdir -p "$prefix/lib" "$prefix/include"
cp build/library/libmbedcrypto.a "$prefix/lib/"
cp -r include/mbedtls include/psa "$prefix/include/"
touch "$stamp"
cd /
rm -rf "$work"
echo "mbed TLS for $arch in $prefix"
