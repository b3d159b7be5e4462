#!/usr/bin/env bash
# Cross-builds a static libzip for Windows from Debian's libzip source package
# into CACHE/libzip-win64 or CACHE/libzip-win32 (kept between runs), with AES
# encryption from the mbed TLS that build-mbedtls-win.sh put in
# CACHE/mbedtls-<arch> (or MBEDTLS, when given).
#   build-libzip-win.sh win64|win32 [CACHE [MBEDTLS]]
set -euo pipefail
arch="${1:?win64 or win32}"
cache="${2:-/var/cache/quillmere}"
case "$arch" in
  win64) triple=x86_64-w64-mingw32 processor=x86_64 ;;
  win32) triple=i686-w64-mingw32 processor=x86 ;;
  *) echo "libzip: unknown architecture $arch" >&2; exit 1 ;;
esac
prefix="$cache/libzip-$arch"
mbedtls="${3:-$cache/mbedtls-$arch}"
mbedtls_stamp=$(cd "$mbedtls" 2>/dev/null && ls -d .built-* 2>/dev/null | head -1 || true)
[ -n "$mbedtls_stamp" ] && [ -f "$mbedtls/lib/libmbedcrypto.a" ] ||
  { echo "libzip: no mbed TLS in $mbedtls: run build-mbedtls-win.sh $arch first" >&2; exit 1; }
# The stamp names the configuration and holds the name of the mbed TLS build
# it was made against: a change of either builds anew.
stamp="$prefix/.built-mbedtls-rtlgenrandom-crctable-xp-rawcomment-ae2hmac"
[ -f "$stamp" ] && [ "$(cat "$stamp")" = "$mbedtls_stamp" ] && exit 0

work="$cache/libzip-src-$arch"
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

# The random bytes that start every password-protected entry (and the salt of
# every AES entry): libzip's own Windows code either needs CNG (bcrypt.dll,
# Vista and later) or opens and closes a CryptoAPI provider for every entry
# (milliseconds apiece). Both give way to RtlGenRandom (advapi32
# SystemFunction036, there since Windows XP).
python3 - lib/zip_random_win32.c <<'PY'
import sys
path = sys.argv[1]
s = open(path).read()
start = s.index("#include <wincrypt.h>")
end = s.index("#endif", start)
body = """#include <ntsecapi.h>

ZIP_EXTERN bool
zip_secure_random(zip_uint8_t *buffer, zip_uint16_t length) {
    return RtlGenRandom(buffer, length) != FALSE;
}
"""
if "CryptGenRandom" not in s[start:end]:
    sys.exit("zip_random_win32.c: unexpected source, not patched")
open(path, "w").write(s[:start] + body + s[end:])
PY

# With mbed TLS, libzip would take them from a random generator of its own
# instead, seeded on first use and shared by every thread without a lock: the
# one above stays. Refuses to build if the source does not look as expected.
python3 - lib/zip_crypto_mbedtls.h lib/zip_crypto_mbedtls.c <<'PY'
import sys
h, c = sys.argv[1], sys.argv[2]
s = open(h).read()
if "#define HAVE_SECURE_RANDOM\n" not in s:
    sys.exit("zip_crypto_mbedtls.h: unexpected source, not patched")
open(h, "w").write(s.replace("#define HAVE_SECURE_RANDOM\n", ""))
s = open(c).read()
start = s.find("typedef struct {\n    mbedtls_entropy_context entropy;")
includes = "#include <mbedtls/ctr_drbg.h>\n#include <mbedtls/entropy.h>\n"
if start < 0 or includes not in s or "zip_secure_random" not in s[start:]:
    sys.exit("zip_crypto_mbedtls.c: unexpected source, not patched")
open(c, "w").write(s[:start].replace(includes, ""))
PY

# An AE-2 entry (WinZip AES) may keep no CRC (7-Zip writes 0 there; its
# authentication code stands for it). This libzip trusts the CRC of AE-2
# entries of 20 bytes and more, and so takes every such entry of 7-Zip for
# damaged: a CRC of 0 is not checked. The authentication code is then what
# finds damage, and this libzip checks it only when a reader asks for more
# after the last byte (the inflater does not): it is checked as the last
# byte is decrypted instead.
python3 - lib/zip_dirent.c lib/zip_source_winzip_aes_decode.c <<'PY'
import sys
dirent, decode = sys.argv[1], sys.argv[2]
s = open(dirent).read()
old = """    case 2:
\tif (de->uncomp_size < 20 /* TODO: constant */) {
"""
if old not in s:
    sys.exit("zip_dirent.c: unexpected source, not patched")
open(dirent, "w").write(s.replace(old, """    case 2:
\tif (de->uncomp_size < 20 /* TODO: constant */ || de->crc == 0) {
"""))
s = open(decode).read()
edits = [
    ("""\tif (len == 0) {
\t    if (!verify_hmac(src, ctx)) {
\t\treturn -1;
\t    }
\t    return 0;
\t}
""", """\tif (len == 0) {
\t    if (ctx->aes_ctx != NULL && !verify_hmac(src, ctx)) {
\t\treturn -1;
\t    }
\t    return 0;
\t}
"""),
    ("""\tif (!_zip_winzip_aes_decrypt(ctx->aes_ctx, (zip_uint8_t *)data, (zip_uint64_t)n)) {
\t    zip_error_set(&ctx->error, ZIP_ER_INTERNAL, 0);
\t    return -1;
\t}
""", """\tif (!_zip_winzip_aes_decrypt(ctx->aes_ctx, (zip_uint8_t *)data, (zip_uint64_t)n)) {
\t    zip_error_set(&ctx->error, ZIP_ER_INTERNAL, 0);
\t    return -1;
\t}
\tif (ctx->current_position == ctx->data_length && !verify_hmac(src, ctx)) {
\t    return -1;
\t}
"""),
]
for old, new in edits:
    if old not in s:
        sys.exit("zip_source_winzip_aes_decode.c: unexpected source, not patched")
    s = s.replace(old, new)
open(decode, "w").write(s)
PY

# The archive comment is written as given, in the ANSI code page like the
# rest of the program's text; libzip takes only UTF-8 comments otherwise.
python3 - lib/zip_set_archive_comment.c <<'PY'
import sys
path = sys.argv[1]
s = open(path).read()
old = """	if (_zip_guess_encoding(cstr, ZIP_ENCODING_UNKNOWN) == ZIP_ENCODING_CP437) {
	    _zip_string_free(cstr);
	    zip_error_set(&za->error, ZIP_ER_INVAL, 0);
	    return -1;
	}
"""
if old not in s:
    sys.exit("zip_set_archive_comment.c: unexpected source, not patched")
open(path, "w").write(s.replace(old, ""))
PY

cat > "$work/toolchain.cmake" <<TC
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR $processor)
set(CMAKE_C_COMPILER $triple-gcc-posix)
set(CMAKE_CXX_COMPILER $triple-g++-posix)
set(CMAKE_RC_COMPILER $triple-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$triple)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
TC

# Traditional encryption is libzip's own, AES comes from mbed TLS; nothing
# newer than Windows XP is called.
cmake -S . -B build -G Ninja \
  -DCMAKE_C_FLAGS="-D_WIN32_WINNT=0x0501 -DWINVER=0x0501" \
  -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DBUILD_SHARED_LIBS=OFF \
  -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF \
  -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=ON \
  -DENABLE_OPENSSL=OFF -DENABLE_WINDOWS_CRYPTO=OFF \
  -DMbedTLS_INCLUDE_DIR="$mbedtls/include" \
  -DMbedTLS_LIBRARY="$mbedtls/lib/libmbedcrypto.a" \
  -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF \
  -DZLIB_LIBRARY=/usr/$triple/lib/libz.a \
  -DZLIB_INCLUDE_DIR=/usr/$triple/include >/dev/null
grep -q "^#define HAVE_MBEDTLS" build/config.h ||
  { echo "libzip: configured without mbed TLS" >&2; exit 1; }
cmake --build build -j "$(nproc)"
# The random bytes come from RtlGenRandom, not from a generator of mbed TLS.
symbols=$($triple-nm -A build/lib/libzip.a)
grep -q "zip_random_win32.*SystemFunction036" <<<"$symbols" &&
  ! grep -q "mbedtls_ctr_drbg\|mbedtls_entropy" <<<"$symbols" ||
  { echo "libzip: random bytes not from RtlGenRandom" >&2; exit 1; }
cmake --install build >/dev/null
echo "$mbedtls_stamp" > "$stamp"
rm -rf "$work"
echo "libzip for $arch in $prefix"
