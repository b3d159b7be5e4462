#!/usr/bin/env bash
# Seeds the Wine prefix in WINEPREFIX with the demo profile of the fixtures:
# identities and their registry data, message stores, the address book and
# signature files.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
fixtures="$top/tests/fixtures/profile"
: "${WINEPREFIX:?WINEPREFIX must be set}"
cp -a "$fixtures/drive_c/." "$WINEPREFIX/drive_c/"
cp "$fixtures/profile.reg" "$WINEPREFIX/drive_c/qm-profile.reg"
/usr/lib/wine/wine64 regedit /s 'C:\qm-profile.reg'
rm -f "$WINEPREFIX/drive_c/qm-profile.reg"
