#!/usr/bin/env bash
# Runs a Windows program under wine64 for ctest. Uses the display in DISPLAY
# (the test script starts Xvfb) and the prefix in WINEPREFIX, which defaults
# to a prefix kept beside the build.
set -u
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEPREFIX="${WINEPREFIX:-${QM_WINEPREFIX:-$HOME/.quillmere-wine}}"
wine=/usr/lib/wine/wine64
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$wine" "$@"
fi
exec "$wine" "$@"
