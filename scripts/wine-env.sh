# Sourced by the scripts: a virtual display and a Wine prefix of our own.
# Sets DISPLAY, WINEPREFIX, WINEDEBUG and the function qm_wine; stops what it
# started when the calling script exits.
QM_WINE=/usr/lib/wine/wine64
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

qm_cleanup_pids=()
qm_cleanup() {
  [ -n "${WINEPREFIX:-}" ] && WINEPREFIX="$WINEPREFIX" /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  for p in "${qm_cleanup_pids[@]}"; do kill "$p" >/dev/null 2>&1 || true; done
}
trap qm_cleanup EXIT

qm_start_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local n
  for n in $(seq 90 130); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    qm_cleanup_pids+=($!)
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
  done
  echo "no virtual display could be started" >&2
  return 1
}

# qm_start_prefix FOLDER: a Wine prefix, created on first use.
qm_start_prefix() {
  export WINEPREFIX="$1"
  export QM_WINEPREFIX="$1"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    "$QM_WINE" wineboot -i >/dev/null 2>&1 || true
    /usr/lib/wine/wineserver -w
  fi
  /usr/lib/wine/wineserver -p >/dev/null 2>&1 || true
  # Start the prefix's background services now, with no inherited pipes:
  # started by the first test instead, they would hold ctest's output pipe
  # open and ctest would wait on them until its timeout.
  "$QM_WINE" wineboot >/dev/null 2>&1 </dev/null || true
}

qm_wine() { "$QM_WINE" "$@"; }
