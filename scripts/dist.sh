#!/usr/bin/env bash
# Builds both Windows products and lays out the two release folders:
#   build/dist/quillmere-<version>-win32/   32-bit: Windows XP through Windows 11
#   build/dist/quillmere-<version>-win64/   64-bit: 64-bit Windows only
# each with quillmere.exe (the zip libraries and the clean-up program are
# carried inside it) and help.chm. The 32-bit files are checked for imports
# that Windows XP lacks first.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
"$top/scripts/setup.sh"
version=$(sed -nE 's/^project\(Quillmere VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
for arch in win32 win64; do
  cmake --preset "$arch" >/dev/null
  cmake --build --preset "$arch" --target quillmere -j "$(nproc)"
done
python3 "$top/scripts/check-xp-imports.py" \
  build/win32/bin/{quillmere.exe,ExitCleaner.exe,qmlibzip32.dll,qmlibunzip.dll}
for arch in win32 win64; do
  out="$top/build/dist/quillmere-$version-$arch"
  rm -rf "$out"
  mkdir -p "$out"
  cp "build/$arch/bin/quillmere.exe" "build/$arch/bin/help.chm" "$out/"
  echo "$out"
done
