#!/usr/bin/env bash
# A backup on the demo profile as a person does it: xdotool moves the mouse,
# clicks and types in the real windows of quillmere.exe under Wine, and a
# screenshot of every page goes to build/person/. Needs a built win64 tree
# (scripts/demo.sh builds it and seeds the demo prefix).
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
source "$top/scripts/person-lib.sh"
prefix="$top/build/demo-prefix"
person_prefix "$prefix"
out="$top/build/person"
rm -rf "$out" "$prefix/drive_c/Backups"
mkdir -p "$out"

start_wizard "$top/build/win64/bin/quillmere.exe"

shot 1-welcome;        next
shot 2-method;         next
shot 3-selection                # "Work", never opened, starts unticked
at 276 94                       # show Anna's items
shot 5-selection-chosen; next
at 386 63; xdotool key ctrl+a; xdotool type --delay 15 'C:\Backups\demo.qmb'
at 224 95                       # protect with a password
at 503 133; xdotool type --delay 15 's3cret'
at 503 153; xdotool type --delay 15 's3cret'
shot 6-destination;    next 0.4
shot 7-running-clients; sleep 2; next
shot 8-ready;          next 5
shot 9-done
at 615 352 2                    # Save Script
shot 10-save-dialog
xdotool type --delay 15 'C:\Backups\weekly.oes'; xdotool key Return; sleep 1.5
shot 11-script-saved
at 340 209 3                    # OK: the wizard closes
for i in $(seq 1 50); do kill -0 $pid 2>/dev/null || break; sleep 0.2; done

echo "screenshots in build/person/"
unzip -l "$prefix/drive_c/Backups/demo.qmb" | tail -1
7zz t -ps3cret "$prefix/drive_c/Backups/demo.qmb" | tail -2  # AES: 7-Zip reads it
ls -la "$prefix/drive_c/Backups/weekly.oes"
