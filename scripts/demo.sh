#!/usr/bin/env bash
# The main job: builds the product and starts it under Wine on the demo
# profile (a Wine prefix seeded with sample identities). With a display it
# runs there until closed; without one it runs in a virtual display, saves a
# screenshot and closes the program again.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
"$top/scripts/setup.sh"
source "$top/scripts/wine-env.sh"

cmake --preset win64 >/dev/null
cmake --build --preset win64 --target quillmere -j "$(nproc)"

had_display=0
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then had_display=1; fi
qm_start_display

prefix="$top/build/demo-prefix"
fresh=0
[ -f "$prefix/system.reg" ] || fresh=1
qm_start_prefix "$prefix"
[ $fresh = 1 ] && "$top/scripts/seed-profile.sh"

exe="$top/build/win64/bin/quillmere.exe"
if [ $had_display = 1 ]; then
  qm_wine "$exe"
  exit 0
fi

qm_wine "$exe" &
pid=$!
mkdir -p "$top/build/demo"
for i in $(seq 1 100); do
  win=$(xdotool search --name '^Quillmere$' 2>/dev/null | head -1 || true)
  [ -n "$win" ] && break
  sleep 0.2
done
sleep 2
import -window root "$top/build/demo/quillmere.png"
echo "Quillmere ran on the demo profile; screenshot: $top/build/demo/quillmere.png"
# Close it as a user would: Cancel, then Yes to the close question.
for w in $(xdotool search --name '^Quillmere$' 2>/dev/null); do xdotool key --window "$w" Escape 2>/dev/null || true; done
sleep 1
for w in $(xdotool search --name '^Quillmere$' 2>/dev/null); do xdotool key --window "$w" Return 2>/dev/null || true; done
for i in $(seq 1 50); do kill -0 $pid 2>/dev/null || break; sleep 0.2; done
kill $pid 2>/dev/null || true
# Give the exit clean-up its time before Wine is stopped.
for i in $(seq 1 50); do
  ls "$WINEPREFIX"/drive_c/users/*/AppData/Local/Quillmere/*.dll >/dev/null 2>&1 || break
  sleep 0.2
done
sleep 2
