#!/usr/bin/env bash
# Cross-builds a static libzip for x86_64 Windows from Debian's libzip source
# package into CACHE/libzip-win64 (kept between runs).
set -euo pipefail
cache="${1:-/var/cache/quillmere}"
prefix="$cache/libzip-win64"
# The stamp names the configuration: a changed configuration builds anew.
stamp="$prefix/.built-cng-crctable"
[ -f "$stamp" ] && exit 0

work="$cache/libzip-src"
rm -rf "$work" "$prefix"
mkdir -p "$work"
cd "$work"
for i in 1 2 3 4 5; do
  apt-get source -q --download-only libzip && break
  [ $i = 5 ] && { echo "libzip: source download failed" >&2; exit 1; }
  sleep $((i * 10))
done
dpkg-source -x --no-check libzip_*.dsc src >/dev/null
cd src

# Traditional encryption updates its keys with zlib's crc32() called on one
# byte at a time, twice per byte: most of the time of packing or extracting
# with a password. The same update from zlib's CRC table, fetched once per
# buffer. Refuses to build if the source does not look as expected.
python3 - lib/zip_pkware.c <<'PY'
import sys
path = sys.argv[1]
s = open(path).read()
edits = [
    ("static void\nupdate_keys(zip_pkware_keys_t *keys, zip_uint8_t b) {\n"
     "    keys->key[0] = (zip_uint32_t)crc32(keys->key[0] ^ 0xffffffffUL, &b, 1) ^ 0xffffffffUL;",
     "static void\nupdate_keys(zip_pkware_keys_t *keys, zip_uint8_t b, const z_crc_t *crc) {\n"
     "    keys->key[0] = (keys->key[0] >> 8) ^ (zip_uint32_t)crc[(keys->key[0] ^ b) & 0xff];"),
    ("    keys->key[2] = (zip_uint32_t)crc32(keys->key[2] ^ 0xffffffffUL, &b, 1) ^ 0xffffffffUL;",
     "    keys->key[2] = (keys->key[2] >> 8) ^ (zip_uint32_t)crc[(keys->key[2] ^ b) & 0xff];"),
    ("    zip_uint8_t tmp;\n\n    for (i = 0; i < len; i++) {",
     "    zip_uint8_t tmp;\n    const z_crc_t *crc = get_crc_table();\n\n    for (i = 0; i < len; i++) {"),
    ("update_keys(keys, b);", "update_keys(keys, b, crc);"),
]
for old, new in edits:
    if old not in s:
        sys.exit("zip_pkware.c: unexpected source, not patched")
    s = s.replace(old, new)
open(path, "w").write(s)
PY

cat > "$work/toolchain.cmake" <<'TC'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
TC

# Windows CNG (bcrypt) stays on: with it the random bytes that start every
# password-protected entry come from BCryptGenRandom; without it libzip opens
# and closes a CryptoAPI provider for every entry (milliseconds apiece).
cmake -S . -B build -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DBUILD_SHARED_LIBS=OFF \
  -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF \
  -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF \
  -DENABLE_OPENSSL=OFF -DENABLE_WINDOWS_CRYPTO=ON \
  -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF \
  -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a \
  -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include >/dev/null
cmake --build build
cmake --install build >/dev/null
touch "$stamp"
rm -rf "$work"
echo "libzip for win64 in $prefix"
