#!/usr/bin/env bash
# Runs a Windows program under wine64 for ctest. Uses the display in DISPLAY
# (the test script starts Xvfb) and the prefix in WINEPREFIX, which defaults
# to a prefix kept beside the build.
set -u
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEPREFIX="${WINEPREFIX:-${QM_WINEPREFIX:-$HOME/.quillmere-wine}}"
wine=/usr/lib/wine/wine64
# QM_CODE_PAGE_LOCALE (say ja_JP) runs the program in that locale's ANSI
# code page (932 for Japanese), the locale made beside the prefix once.
if [ -n "${QM_CODE_PAGE_LOCALE:-}" ]; then
  export LOCPATH="$WINEPREFIX.locales"
  if [ ! -d "$LOCPATH/$QM_CODE_PAGE_LOCALE.UTF-8" ]; then
    mkdir -p "$LOCPATH" && localedef -i "$QM_CODE_PAGE_LOCALE" -f UTF-8 "$LOCPATH/$QM_CODE_PAGE_LOCALE.UTF-8" || exit 1
  fi
  export LC_ALL="$QM_CODE_PAGE_LOCALE.UTF-8"
fi
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$wine" "$@"
fi
exec "$wine" "$@"
